#include "blade/kblade.h"
#include "blade/febuild.h"

#include "blade/kanalysis.h"
#include "blade/kbladesetting.h"
#include "blade/klayuplist.h"
#include "blade/kload.h"
#include "blade/kmaterial.h"
#include "blade/kmeshlist.h"
#include "blade/koptsetting.h"
#include "blade/kpattern.h"
#include "blade/ksamplesetting.h"
#include "blade/ksinglelayer.h"
#include "blade/kweb.h"
#include "blade/loadtable.h"
#include "blade/windiodocument.h"
#include "core/binaryio.h"
#include "core/jsonvalues.h"
#include "core/messages.h"
#include "core/parameterlist.h"
#include "core/savefile.h"
#include "core/textbuffer.h"
#include "fem/elementrow.h"
#include "fem/model.h"
#include "geometry/kkeyindlist.h"
#include "geometry/kprofile.h"
#include "geometry/kprofilelist.h"
#include "geometry/renderers.h"
#include "solver/abaquscmd.h"
#include "solver/ansyscmd.h"
#include "solver/ccxcmd.h"

#include <QColor>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <algorithm>
#include <iterator>
#include <limits>
#include <Qt3DRender/QAttribute>
#include <Qt3DRender/QGeometry>

namespace Folvane {

namespace {

// The document's lists in the order they are made: each may be made with
// the lists above it, which it reaches through the document, and all are
// deleted in the reverse order. Each has its section of the model file
// (stored files fix their order); those exchanged as JSON are read in the
// order of this table, so that later lists resolve names in earlier ones.
struct ListRow
{
    KBlade::ChildType type;
    int fileSection;
    bool inJson;
    KObjectList* (*make)(KBlade& blade);
};

const ListRow listTable[] = {
    {KBlade::Parameters, 0, false, [](KBlade& b) -> KObjectList* { return new ParameterList(&b); }},
    {KBlade::Profiles, 1, true, [](KBlade& b) -> KObjectList* { return new KProfileList(&b); }},
    {KBlade::Materials, 2, true, [](KBlade& b) -> KObjectList* { return new KMaterialList(&b); }},
    {KBlade::Patterns, 3, true, [](KBlade& b) -> KObjectList* { return new KPatternList(b.materials(), &b); }},
    {KBlade::SingleLayers, 4, true,
     [](KBlade& b) -> KObjectList* { return new KSingleLayerList(b.patterns(), &b); }},
    {KBlade::Setting, 5, true,
     [](KBlade& b) -> KObjectList* { return new KBladeSetting(b.singleLayers(), b.profiles(), &b); }},
    {KBlade::Webs, 6, true, [](KBlade& b) -> KObjectList* { return new KWebList(b.setting(), &b); }},
    {KBlade::KeyInds, 7, false, [](KBlade& b) -> KObjectList* { return new KKeyIndList(b.profiles(), &b, &b); }},
    {KBlade::Meshs, 8, false,
     [](KBlade& b) -> KObjectList* { return new KMeshList(b.profiles(), b.setting(), b.webs(), &b); }},
    {KBlade::Layups, 9, false, [](KBlade& b) -> KObjectList* { return new KLayupList(b.setting(), b.webs(), &b); }},
    {KBlade::Loads, 10, true, [](KBlade& b) -> KObjectList* { return new KLoadList(&b); }},
    {KBlade::OptSet, 11, false, [](KBlade& b) -> KObjectList* { return new KOptSetting(b.loads(), &b); }},
    {KBlade::SampleSet, 12, false, [](KBlade& b) -> KObjectList* { return new KSampleSetting(b.loads(), &b); }},
};
static_assert(std::size(listTable) == KBlade::ListCount, "every list of the document has its row");

// The lists in the order of their sections in the model file.
std::vector<KBlade::ChildType> fileOrder()
{
    std::vector<const ListRow*> rows;
    for (const ListRow& row : listTable)
        rows.push_back(&row);
    std::sort(rows.begin(), rows.end(), [](const ListRow* a, const ListRow* b) { return a->fileSection < b->fileSection; });
    std::vector<KBlade::ChildType> order;
    for (const ListRow* row : rows)
        order.push_back(row->type);
    return order;
}

} // namespace

KBlade::KBlade(QObject* parent)
    : KFile(parent)
{
    for (int i = 0; i < ListCount; ++i)
        m_models.append(nullptr);
    m_anaSet = new KAnalysis(this);
    newFile();
}

KBlade::KBlade(Scratch)
{
    // Only parsed into, never shown or meshed.
    for (int i = 0; i < ListCount; ++i)
        m_models.append(nullptr);
    makeLists();
}

KBlade::~KBlade()
{
    clearFEModel();
    deleteLists();
}

void KBlade::deleteLists()
{
    // No list outlives a list it was made with.
    for (auto row = std::rbegin(listTable); row != std::rend(listTable); ++row) {
        delete m_models[row->type];
        m_models[row->type] = nullptr;
    }
}

ParameterList* KBlade::parameters() const { return list<ParameterList>(Parameters); }
KBladeSetting* KBlade::setting() const { return list<KBladeSetting>(Setting); }
KProfileList* KBlade::profiles() const { return list<KProfileList>(Profiles); }
KKeyIndList* KBlade::keyInds() const { return list<KKeyIndList>(KeyInds); }
KWebList* KBlade::webs() const { return list<KWebList>(Webs); }
KMaterialList* KBlade::materials() const { return list<KMaterialList>(Materials); }
KPatternList* KBlade::patterns() const { return list<KPatternList>(Patterns); }
KSingleLayerList* KBlade::singleLayers() const { return list<KSingleLayerList>(SingleLayers); }
KLayupList* KBlade::layups() const { return list<KLayupList>(Layups); }
KMeshList* KBlade::meshs() const { return list<KMeshList>(Meshs); }
KLoadList* KBlade::loads() const { return list<KLoadList>(Loads); }
KOptSetting* KBlade::optSetting() const { return list<KOptSetting>(OptSet); }
KSampleSetting* KBlade::sampleSetting() const { return list<KSampleSetting>(SampleSet); }

ParameterList* KBlade::parameterList() const
{
    return parameters();
}

double KBlade::startLoc() const
{
    return profiles()->startLoc();
}

double KBlade::endLoc() const
{
    return profiles()->endLoc();
}

int KBlade::loadNum() const
{
    return loads()->count();
}

int KBlade::regionCount() const
{
    return setting() ? setting()->count() : 0;
}

QStringList KBlade::regionNames() const
{
    return setting() ? setting()->sonNames() : QStringList();
}

double KBlade::meshSize() const
{
    return setting() ? setting()->meshSize() : 0.0;
}

std::vector<LayoutWeb> KBlade::layoutWebs() const
{
    std::vector<LayoutWeb> layout;
    for (int w = 0; webs() && w < webs()->count(); ++w) {
        const KWeb* web = webs()->web(w);
        const auto [first, last] = web->profileSpan();
        layout.push_back({web->name(), first, last, web->startRegionIndex(), web->endRegionIndex()});
    }
    return layout;
}

QString KBlade::bladeName() const
{
    return setting()->bladeName();
}

void KBlade::newFile()
{
    KFile::newFile();
    // The profile view may still show the old list's renderers: the new
    // list keeps them until the view has switched over.
    KProfileList::ViewRenderers shown;
    if (profiles())
        shown = profiles()->releaseRenderers();
    beginResetModel();
    deleteLists();
    makeLists();
    endResetModel();
    profiles()->autoMesh();
    profiles()->genPro3D();
    profiles()->keepAside(shown);
    forgetFEModel();
    markSaved();
    emit ModelsChanged();
}

void KBlade::makeLists()
{
    // Each list is stored as soon as it exists, so the lists made after it
    // can reach it (the parameter list above all) through the document.
    for (const ListRow& row : listTable) {
        m_models[row.type] = row.make(*this);
        connect(m_models[row.type], &KObjectList::removalRefused, this, &KBlade::removalRefused);
    }
    profiles()->setLayout(this);
}

void KBlade::clearFEModel()
{
    ++m_feGeneration;
    // The station arrays point into the model: they go first.
    m_stationNodes.reset();
    m_stationElements.reset();
    m_model.reset();
    m_stations.resize(0);
    m_elementGroups.clear();
    m_eigen = EigenModes();
    m_resultLoadCase = -1;
    m_viewValues.resize(0);
    m_viewOffsets.resize(3, 0);
}

QStringList KBlade::buildProblems() const
{
    // Only what the layups read: an unused item may be unfinished.
    const LayupSources used = layupSources({setting(), webs()});
    return profiles()->meshProblems() + materials()->problems(used.materials) + patterns()->problems(used.patterns)
        + singleLayers()->problems(used.layers);
}

void KBlade::genFEModel()
{
    parameters()->resetEngine();
    clearFEModel();
    profiles()->SortProfiles();
    const QStringList problems = buildProblems();
    if (!problems.isEmpty()) {
        for (const QString& problem : problems)
            debugLine(QStringLiteral("KBlade - genFEModel: ") + problem);
        debugLine(QStringLiteral("KBlade - genFEModel: no FE model was built"));
        forgetFEModel();
        return;
    }
    // The model's name is the solver's job name and names files.
    m_model = std::make_unique<Model>(m_jobName.isEmpty() ? safeFileName(bladeName()) : m_jobName);
    Model& model = *m_model;
    m_stations = profiles()->meshStations().col(2);
    SurfaceMesh mesh = profiles()->genFEMesh(model, setting()->meshBySize());
    model.numberEntities();
    // Which region or web every element belongs to, for the FE view.
    m_groupNames = setting()->sonNames() + webs()->sonNames();
    m_elementGroups.assign(size_t(model.elements().count()), -1);
    auto mark = [this](const ElementArray& array, int group) {
        for (int r = 0; r < array.count(); ++r)
            for (const Element* e : array.row(r)->elements())
                m_elementGroups[size_t(e->id())] = group;
    };
    for (size_t r = 0; r < mesh.regionElements.size(); ++r)
        mark(*mesh.regionElements[r], int(r));
    for (size_t w = 0; w < mesh.webElements.size(); ++w)
        mark(*mesh.webElements[w], setting()->count() + mesh.webs[w].web);

    LayupInput input;
    input.model = &model;
    input.stations = m_stations;
    input.feMaterials = materials()->genFEMaterials(model.materials(), layupSources({setting(), webs()}).materials);
    model.materials().renumber();
    singleLayers()->computeRepetitionMatrix(m_stations);
    input.repetitions = singleLayers()->repetitionMatrix();
    const auto regionLayups = genRegionLayups(*setting(), input);
    const auto webLayups = genRegionLayups(*webs(), input);
    model.sections().renumber();

    // Every meshed web knows its own layup, so a web left out of the mesh
    // costs no other region or web its sections.
    if (regionLayups.size() == mesh.regionElements.size()) {
        for (size_t r = 0; r < regionLayups.size(); ++r)
            mesh.regionElements[r]->MapPolylayers(regionLayups[r].get());
        for (size_t w = 0; w < mesh.webs.size(); ++w) {
            const MeshWeb& web = mesh.webs[w];
            mesh.webElements[w]->MapWebPolylayers(webLayups[size_t(web.web)].get(), web.startStation, web.endStation);
        }
    } else {
        debugLine(QStringLiteral("KBlade - genFEModel: regionlayup size not correct!"));
    }

    auto* fix = new NodeBoundary(QStringLiteral("Fix"), &model);
    model.boundaries().add(fix);
    for (const auto& region : mesh.regionNodes)
        region->attachBoundary(fix);

    const std::vector<NodeLoad*> nodeLoads = loads()->genNodeLoads(m_stations, model);
    model.loads().renumber();
    for (const auto& region : mesh.regionNodes)
        region->MapNodeLoads(nodeLoads);

    m_stationNodes = std::move(mesh.stationNodes);
    m_stationElements = std::move(mesh.stationElements);
    emit FEModelChanged();
    emit ResultsChanged();
}

std::unique_ptr<FEBuild> KBlade::lendFEBuild()
{
    if (!m_model)
        return nullptr;
    auto build = std::make_unique<FEBuild>();
    build->model = std::move(m_model);
    build->stationNodes = std::move(m_stationNodes);
    build->stationElements = std::move(m_stationElements);
    build->stations = std::move(m_stations);
    build->elementGroups = std::move(m_elementGroups);
    build->groupNames = m_groupNames;
    build->eigen = std::move(m_eigen);
    build->resultLoadCase = m_resultLoadCase;
    build->generation = m_feGeneration;
    m_resultLoadCase = -1;
    m_stations.resize(0);
    m_elementGroups.clear();
    m_eigen = EigenModes();
    return build;
}

bool KBlade::takeBackFEBuild(std::unique_ptr<FEBuild> build)
{
    if (!build || m_model || build->generation != m_feGeneration)
        return false;
    m_model = std::move(build->model);
    m_stationNodes = std::move(build->stationNodes);
    m_stationElements = std::move(build->stationElements);
    m_stations = std::move(build->stations);
    m_elementGroups = std::move(build->elementGroups);
    m_groupNames = build->groupNames;
    m_eigen = std::move(build->eigen);
    m_resultLoadCase = build->resultLoadCase;
    emit ResultsChanged();
    return true;
}

void KBlade::forgetFEModel()
{
    clearFEModel();
    // The FE view must not go on showing a mesh the document no longer has.
    m_femEdge.replace(nullptr);
    m_femEle.replace(nullptr);
    emit FemEleChanged();
    emit FemEdgeChanged();
    emit FEModelChanged();
    emit ResultsChanged();
}

namespace {

QVariantList boxOf(const Eigen::Vector3d& low, const Eigen::Vector3d& high)
{
    if (!low.allFinite() || !high.allFinite() || (high - low).minCoeff() < 0)
        return {};
    return {low.x(), low.y(), low.z(), high.x(), high.y(), high.z()};
}

} // namespace

QVariantList KBlade::bladeBounds() const
{
    parameters()->resetEngine();
    Eigen::Vector3d low = Eigen::Vector3d::Constant(std::numeric_limits<double>::infinity());
    Eigen::Vector3d high = -low;
    for (int i = 0; i < profiles()->count(); ++i) {
        const Eigen::MatrixXd placed = profiles()->profile(i)->placedPoints3D();
        if (placed.rows() == 0)
            continue;
        low = low.cwiseMin(placed.colwise().minCoeff().transpose());
        high = high.cwiseMax(placed.colwise().maxCoeff().transpose());
    }
    return boxOf(low, high);
}

QVariantList KBlade::modelBounds() const
{
    if (!m_model || m_model->nodes().count() == 0)
        return {};
    Eigen::Vector3d low = m_model->nodes().at(0)->position(), high = low;
    for (int i = 1; i < m_model->nodes().count(); ++i) {
        low = low.cwiseMin(m_model->nodes().at(i)->position());
        high = high.cwiseMax(m_model->nodes().at(i)->position());
    }
    return boxOf(low, high);
}

int KBlade::nodeCount() const
{
    return m_model ? m_model->nodes().count() : 0;
}

int KBlade::elementCount() const
{
    return m_model ? m_model->elements().count() : 0;
}

Model* KBlade::builtModel(const char* operation) const
{
    if (!m_model)
        outLine(QStringLiteral("KBlade - %1: no FE model, build it first").arg(QLatin1String(operation)));
    return m_model.get();
}

bool KBlade::exportMeshObj(QString str)
{
    const Model* model = builtModel("exportMeshObj");
    if (!model)
        return false;
    const bool written = saveText(toLocalPath(str), [model](TextBuffer& text) {
        model->nodes().writeObj(text);
        model->edges().writeObj(text);
        model->elements().writeObj(text);
    });
    if (!written)
        outLine(QStringLiteral("KBlade - exportMeshObj: cannot write to file: ") + str);
    return written;
}

template <typename Writer>
bool KBlade::exportDeck(const char* operation, const QString& str, int loadInd)
{
    Model* model = builtModel(operation);
    if (!model)
        return false;
    if (loadInd >= model->loads().ReadLoadNum() && loadInd >= 0) {
        outLine(QStringLiteral("KBlade - %1: load case %2 not found").arg(QLatin1String(operation)).arg(loadInd + 1));
        return false;
    }
    Writer writer(model);
    return loadInd < 0 ? writer.BuildGeoInp(toLocalPath(str)) : writer.BuildFullInp(toLocalPath(str), loadInd);
}

bool KBlade::exportAnsysInp(QString str, int loadInd)
{
    return exportDeck<AnsysCmd>("exportAnsysInp", str, loadInd);
}

bool KBlade::exportAbaqusInp(QString str, int loadInd)
{
    return exportDeck<AbaqusCmd>("exportAbaqusInp", str, loadInd);
}

bool KBlade::exportCCXInp(QString str, int loadInd)
{
    return exportDeck<CCXCmd>("exportCCXInp", str, loadInd);
}

bool KBlade::readLists(QDataStream& in)
{
    for (ChildType type : fileOrder()) {
        m_models[type]->readBinary(in);
        if (in.status() != QDataStream::Ok)
            return false;
    }
    return true;
}

bool KBlade::readStream(QDataStream& in)
{
    // A trial read into a scratch document first: a file that fails part-way
    // leaves this document exactly as it was.
    QIODevice* device = in.device();
    const qint64 start = device->pos();
    {
        QuietDebug quiet;
        KBlade scratch{Scratch{}};
        if (!scratch.readLists(in) || !scratch.readAdditions(in) || !in.atEnd()
            || scratch.namesHoldControlCharacters())
            return false;
    }
    device->seek(start);
    in.resetStatus();
    const bool read = readLists(in) && readAdditions(in);
    // Earlier builds gave every new row the same name. The file refers to
    // rows by position, so a repeated name is not ambiguous here: the later
    // row takes a free one.
    for (KObjectList* list : qAsConst(m_models))
        list->makeNamesUnique();
    forgetFEModel();
    return read;
}

bool KBlade::namesHoldControlCharacters() const
{
    return std::any_of(m_models.begin(), m_models.end(), [](const KObjectList* list) {
        const QStringList names = list->sonNames();
        return std::any_of(names.begin(), names.end(), &KObjectList::hasControlCharacter);
    });
}

QString KBlade::jsonNamesProblem(const QJsonObject& json) const
{
    for (const ListRow& row : listTable) {
        if (!row.inJson)
            continue;
        const KObjectList* list = m_models[row.type];
        QStringList names;
        for (const QJsonValue& son : list->jsonSons(json))
            names << jsonText(son.toObject(), KObject::NameKey);
        const QString problem = list->namesProblem(names);
        if (!problem.isEmpty())
            return list->name() + QStringLiteral(": ") + problem;
    }
    return QString();
}

void KBlade::writeStream(QDataStream& out) const
{
    for (ChildType type : fileOrder())
        m_models[type]->writeBinary(out);
    if (hasAdditions())
        writeAdditions(out);
}

bool KBlade::saveJson(QString fp)
{
    const QJsonObject json = toJson();
    QSaveFile file(toLocalPath(fp));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)
        || file.write(QJsonDocument(json).toJson(QJsonDocument::Indented)) < 0 || !commitWhole(file)) {
        outLine(QStringLiteral("Cannot write to file: ") + fp);
        return false;
    }
    return true;
}

bool KBlade::loadJson(QString fp)
{
    QFile file(toLocalPath(fp));
    QByteArray bytes;
    // The bytes as they are: the JSON parser takes any line ends, and a text
    // read would drop carriage returns wherever they stand.
    if (!file.open(QIODevice::ReadOnly) || !readAtMost(file, MaxModelFileBytes, bytes)) {
        outLine(QStringLiteral("Cannot read file: ") + fp);
        return false;
    }
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (!document.isObject()) {
        // Reading a file that holds no document would empty every list.
        outLine(QStringLiteral("Cannot read file: ") + fp + QStringLiteral(" (not a JSON object)"));
        return false;
    }
    // The file refers to materials, laminates, layers and regions by name:
    // names that are one would leave them ambiguous.
    const QString problem = jsonNamesProblem(document.object());
    if (!problem.isEmpty()) {
        outLine(QStringLiteral("Cannot read file: ") + fp + QStringLiteral(" (") + problem + QLatin1Char(')'));
        return false;
    }
    setHasFP(false);
    fromJson(document.object());
    return true;
}

bool KBlade::importWindio(QString fp)
{
    const QString path = toLocalPath(fp);
    outLine(QStringLiteral("Importing windIO file: ") + path);
    Windio::ImportReport report;
    QString error;
    if (!Windio::importFile(*this, path, Windio::ImportSettings(), report, error)) {
        outLine(QStringLiteral("Cannot import ") + path + QStringLiteral(": ") + error);
        return false;
    }
    // A new document: the next save asks where to write.
    setHasFP(false);
    Windio::reportImport(*this, report);
    emit LoadNumChanged();
    return true;
}

bool KBlade::importLoadTable(QString fp)
{
    const QString path = toLocalPath(fp);
    QStringList report;
    QString error;
    if (!importLoadCase(*this, path, report, error)) {
        outLine(QStringLiteral("Cannot import ") + path + QStringLiteral(": ") + error);
        return false;
    }
    for (const QString& line : report)
        outLine(line);
    emit LoadNumChanged();
    return true;
}

QString KBlade::modelFilePath(const QString& pathOrUrl)
{
    const QString path = toLocalPath(pathOrUrl);
    return path.endsWith(QLatin1String(".fvm"), Qt::CaseInsensitive) ? path : path + QStringLiteral(".fvm");
}

bool KBlade::fileExists(const QString& path)
{
    return QFileInfo::exists(toLocalPath(path));
}

QJsonObject KBlade::toJson() const
{
    // Linked values are written as numbers: against the current parameters.
    parameters()->resetEngine();
    QJsonObject json;
    for (const ListRow& row : listTable)
        if (row.inJson)
            m_models[row.type]->writeJson(json);
    return json;
}

void KBlade::fromJson(const QJsonObject& json)
{
    for (const ListRow& row : listTable)
        if (row.inJson)
            m_models[row.type]->readJson(json);
    layups()->changeObject(0);
    sampleSetting()->selectFirstLoad();
    forgetFEModel();
}

} // namespace Folvane
