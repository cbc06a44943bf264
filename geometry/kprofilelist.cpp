#include "geometry/kprofilelist.h"

#include "core/linkercolumns.h"
#include "core/messages.h"
#include "core/parameterlist.h"
#include "geometry/kprofile.h"
#include "geometry/polyline.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Folvane {

namespace {

struct DefaultProfile
{
    const char* points;
    double loc, chord, twist, x, y;
    int keys[5];
};

const DefaultProfile defaultProfiles[] = {
    {"Circle", 0, 600, 0, -20, 115, {4, 27, 30, 33, 56}},
    {"Circle", 500, 600, 0, -20, 115, {5, 22, 30, 38, 55}},
    {"NACA63240", 1000, 1366, 12.4, -100, 0, {8, 18, 30, 42, 53}},
    {"NACA63220", 9000, 793, 2.77, 140, 8, {10, 15, 30, 45, 51}},
    {"NACA63214", 13150, 494, 0.29, 264.5, 12.14, {10, 15, 30, 45, 50}},
};

} // namespace

KProfileList::KProfileList(QObject* parent)
    : KObjectList(QStringLiteral("Profile"), parent)
    , m_pointModel(new KPointTableModel(this))
{
    setSonKind(QStringLiteral("profile"));
    m_minSonNum = 2;
    setTableModel(new KProfileTableModel(this));
    for (const DefaultProfile& d : defaultProfiles) {
        auto* p = new KProfile(this);
        p->loadPointSet(QLatin1String(d.points));
        p->loc()->setValue(d.loc);
        p->chordLen()->setValue(d.chord);
        p->twist()->setValue(d.twist);
        p->xOffset()->setValue(d.x);
        p->yOffset()->setValue(d.y);
        for (int k = 0; k < 5; ++k)
            p->ReadKeyInd(k)->setValue(d.keys[k]);
        m_sons.append(p);
    }
    m_pointModel->setProfile(profile(0));
}

KProfile* KProfileList::profile(int i) const
{
    return son<KProfile>(i);
}

void KProfileList::refreshParameters() const
{
    if (ParameterList* parameters = parameterList())
        parameters->resetEngine();
}

double KProfileList::startLoc() const
{
    refreshParameters();
    return m_sons.isEmpty() ? 0.0 : profile(0)->loc()->value();
}

double KProfileList::endLoc() const
{
    refreshParameters();
    return m_sons.isEmpty() ? 0.0 : profile(count() - 1)->loc()->value();
}

void KProfileList::InsertNewSon(int ind)
{
    if (insertSon(ind, [this] { return new KProfile(this); }))
        emit sonChanged();
}

void KProfileList::RemoveSon(int ind)
{
    KObjectList::RemoveSon(ind);
    if (!m_pointModel->profile() && count() > 0)
        m_pointModel->setProfile(profile(std::min(ind, count() - 1)));
}

void KProfileList::readBinary(QDataStream& in)
{
    beginResetModel();
    clearSons();
    readSons(in, Binary::StringBytes, [&] { return new KProfile(in, this); });
    if (count() >= 2)
        sortByLocation();
    m_pointModel->setProfile(static_cast<KProfile*>(sonOrFirst(0)));
    endResetModel();
}

void KProfileList::readJson(const QJsonObject& json)
{
    KObjectList::readJson(json);
    m_pointModel->setProfile(static_cast<KProfile*>(sonOrFirst(0)));
}

void KProfileList::appendSonFromJson(const QJsonObject& json)
{
    m_sons.append(new KProfile(json, this));
}

void KProfileList::sortByLocation()
{
    refreshParameters();
    // A location that does not evaluate sorts last. Stable, so profiles at
    // one location keep their order and a file reads back as it was.
    auto key = [](const KObject* o) {
        const double v = static_cast<const KProfile*>(o)->loc()->value();
        return std::isnan(v) ? std::numeric_limits<double>::infinity() : v;
    };
    std::stable_sort(m_sons.begin(), m_sons.end(), [&](const KObject* a, const KObject* b) { return key(a) < key(b); });
}

void KProfileList::SortProfiles()
{
    beginResetModel();
    sortByLocation();
    endResetModel();
}

void KProfileList::SortKeyInd()
{
    refreshParameters();
    const int regions = m_layout ? m_layout->regionCount() : 0;
    for (int i = 0; i < count(); ++i)
        profile(i)->SortKeyInd(regions);
}

void KProfileList::autoMesh()
{
    if (!m_layout) {
        debugLine(QStringLiteral("KProfileList - autoMesh: no blade setting or web list"));
        return;
    }
    const double meshSize = m_layout->meshSize();
    if (!(meshSize > 0.0)) {
        debugLine(QStringLiteral("KProfileList - autoMesh: mesh size not correct!"));
        return;
    }
    refreshParameters();
    std::vector<int> webStart;
    std::vector<int> webEnd;
    for (const LayoutWeb& web : m_layout->layoutWebs()) {
        webStart.push_back(web.startRegion);
        webEnd.push_back(web.endRegion);
    }
    for (int i = 0; i < count(); ++i)
        profile(i)->AutoMesh(meshSize, m_layout->regionCount(), webStart, webEnd);
    for (int i = 0; i + 1 < count(); ++i) {
        const double step = (profile(i + 1)->referencePoint() - profile(i)->referencePoint()).norm();
        profile(i)->setRadiusMesh(nodeCountFor(step, meshSize));
    }
    emit sonChanged();
}

bool KProfileList::changePointModel(int ind)
{
    if (ind < 0 || ind >= count()) {
        debugLine(QStringLiteral("KProfileList::ChangePointModel - index out of range"));
        return false;
    }
    m_pointModel->setProfile(profile(ind));
    return true;
}

std::vector<MeshProfile> KProfileList::meshProfiles() const
{
    const int regions = m_layout->regionCount();
    const int webs = int(m_layout->layoutWebs().size());
    std::vector<MeshProfile> profiles;
    for (int i = 0; i < count(); ++i) {
        const KProfile* p = profile(i);
        MeshProfile m;
        m.placed = p->placedPoints();
        for (int k = 0; k + 1 < regions; ++k)
            m.keyPoints.push_back(p->keyPoint(k));
        // As the key-index sort does: all but the last of them.
        if (regions > 2)
            std::sort(m.keyPoints.begin(), m.keyPoints.begin() + (regions - 2));
        m.regionMesh.assign(p->regionMeshNumbers().begin(), p->regionMeshNumbers().begin() + regions);
        m.webMesh.assign(p->webMeshNumbers().begin(), p->webMeshNumbers().begin() + webs);
        m.radiusMesh = p->radiusMesh();
        m.reference = p->referencePoint();
        profiles.push_back(std::move(m));
    }
    return profiles;
}

QStringList KProfileList::meshProblems() const
{
    refreshParameters();
    QStringList found;
    const int regions = m_layout ? m_layout->regionCount() : 0;
    const int webs = m_layout ? int(m_layout->layoutWebs().size()) : 0;
    if (count() < 3)
        found << QStringLiteral("at least 3 profiles are needed, the blade has %1").arg(count());
    if (regions < 2 || regions > KProfile::RegionCapacity)
        found << QStringLiteral("the blade has %1 regions, it needs 2 to %2").arg(regions).arg(KProfile::RegionCapacity);
    if (webs > KProfile::RegionCapacity)
        found << QStringLiteral("the blade has %1 webs, at most %2 fit").arg(webs).arg(KProfile::RegionCapacity);
    if (!found.isEmpty())
        return found;

    double nodes = 0.0;
    std::vector<int> largest(size_t(regions), 0);
    for (int i = 0; i < count(); ++i) {
        const KProfile* p = profile(i);
        const QString name = QStringLiteral("profile %1 (%2)").arg(i + 1).arg(p->name());
        const Eigen::MatrixXd placed = p->placedPoints();
        if (placed.rows() < 3)
            found << name + QStringLiteral(" has fewer than 3 points");
        if (!placed.allFinite() || !p->referencePoint().allFinite())
            found << name + QStringLiteral(" has a placement or point that does not evaluate");
        else if ((placed.array().abs() > MaxCoordinate).any() || (p->referencePoint().array().abs() > MaxCoordinate).any())
            found << name + QStringLiteral(" has a placement or point farther than %1 from the origin")
                                .arg(MaxCoordinate, 0, 'g', 3);
        if (p->keyIndexCount() < regions - 1) {
            found << name + QStringLiteral(" has %1 key indices, the regions need %2").arg(p->keyIndexCount()).arg(regions - 1);
        } else {
            std::vector<int> keys;
            for (int k = 0; k + 1 < regions; ++k)
                keys.push_back(p->keyPoint(k));
            if (regions > 2)
                std::sort(keys.begin(), keys.begin() + (regions - 2));
            for (size_t k = 0; k < keys.size(); ++k) {
                if (keys[k] < 0 || keys[k] >= placed.rows() || (k > 0 && keys[k] < keys[k - 1])) {
                    found << name + QStringLiteral(" has key indices outside its points or out of order");
                    break;
                }
            }
        }
        const std::vector<int>& regMesh = p->regionMeshNumbers();
        const std::vector<int>& webMesh = p->webMeshNumbers();
        if (int(regMesh.size()) < regions || int(webMesh.size()) < webs) {
            found << name + QStringLiteral(" has no mesh numbers for every region and web");
            continue;
        }
        for (int r = 0; r < regions; ++r) {
            if (regMesh[size_t(r)] < 2)
                found << name + QStringLiteral(" has region mesh number %1 below 2").arg(regMesh[size_t(r)]);
            largest[size_t(r)] = std::max(largest[size_t(r)], regMesh[size_t(r)]);
        }
        for (int w = 0; w < webs; ++w) {
            if (webMesh[size_t(w)] < 1)
                found << name + QStringLiteral(" has web mesh number %1 below 1").arg(webMesh[size_t(w)]);
        }
        if (i + 1 < count()) {
            if (p->radiusMesh() < 2)
                found << name + QStringLiteral(" has radius mesh number %1 below 2").arg(p->radiusMesh());
            nodes += std::max(p->radiusMesh() - 1, 0);
            if (!(profile(i + 1)->loc()->value() > p->loc()->value()))
                found << QStringLiteral("profiles %1 and %2 are not at increasing locations").arg(i + 1).arg(i + 2);
        }
    }
    double ring = 0.0;
    for (int n : largest)
        ring += n;
    if ((nodes + 1) * ring > MaxMeshNodes)
        found << QStringLiteral("the mesh would hold about %1 nodes, more than %2")
                     .arg((nodes + 1) * ring, 0, 'g', 3).arg(MaxMeshNodes, 0, 'g', 3);
    return found;
}

Eigen::MatrixXd KProfileList::meshStations() const
{
    refreshParameters();
    return SurfaceMesher::stations(meshProfiles());
}

std::vector<MeshWeb> KProfileList::meshWebs(const Eigen::VectorXd& z) const
{
    std::vector<MeshWeb> webs;
    const std::vector<LayoutWeb> layoutWebs = m_layout->layoutWebs();
    for (int w = 0; w < int(layoutWebs.size()); ++w) {
        const LayoutWeb& web = layoutWebs[size_t(w)];
        MeshWeb m{web.name, w, web.startRegion, web.endRegion, 0, 0};
        if (web.firstProfile < 0 || web.lastProfile >= count()) {
            debugLine(QStringLiteral("KProfileList - genFEMesh: web %1 spans profiles outside the list, it is left out")
                          .arg(web.name));
            continue;
        }
        if (m.startRegion < 0 || m.endRegion < 0) {
            debugLine(QStringLiteral("KProfileList - genFEMesh: web %1 has no region to attach to, it is left out")
                          .arg(web.name));
            continue;
        }
        m.startStation = SurfaceMesher::nearestStation(z, profile(web.firstProfile)->loc()->value());
        m.endStation = SurfaceMesher::nearestStation(z, profile(web.lastProfile)->loc()->value());
        webs.push_back(m);
    }
    return webs;
}

SurfaceMesh KProfileList::genFEMesh(Model& model, bool quadDominant) const
{
    refreshParameters();
    SurfaceMesher mesher(meshProfiles(), m_layout->regionNames(), quadDominant);
    return mesher.mesh(model, meshWebs(mesher.stationLocations()));
}

std::vector<quint32> KProfileList::vertexOffsets() const
{
    std::vector<quint32> offsets;
    quint32 c = 0;
    for (int i = 0; i < count(); ++i) {
        offsets.push_back(c);
        c += profile(i)->pointNum();
    }
    return offsets;
}

QByteArray KProfileList::profilePositions() const
{
    refreshParameters();
    std::vector<float> positions;
    for (int i = 0; i < count(); ++i) {
        const Eigen::MatrixXd p = profile(i)->placedPoints3D();
        for (Eigen::Index r = 0; r < p.rows(); ++r)
            positions.insert(positions.end(), {float(p(r, 0)), float(p(r, 1)), float(p(r, 2))});
    }
    return QByteArray(reinterpret_cast<const char*>(positions.data()), int(positions.size() * sizeof(float)));
}

static QByteArray bytesOf(const std::vector<quint32>& indices)
{
    return QByteArray(reinterpret_cast<const char*>(indices.data()), int(indices.size() * sizeof(quint32)));
}

QByteArray KProfileList::outlineIndices() const
{
    std::vector<quint32> indices;
    const std::vector<quint32> offsets = vertexOffsets();
    for (int i = 0; i < count(); ++i) {
        const quint32 c = offsets[size_t(i)];
        const quint32 n = profile(i)->pointNum();
        for (quint32 k = 0; k + 1 < n; ++k)
            indices.insert(indices.end(), {c + k, c + k + 1});
        if (n > 0)
            indices.insert(indices.end(), {c + n - 1, c});
    }
    return bytesOf(indices);
}

int KProfileList::boundaryPoint(const KProfile* profile, int region) const
{
    const int regions = m_layout ? m_layout->regionCount() : 0;
    if (region < 0 || region + 1 >= regions)
        return 0;
    const int k = profile->keyPoint(region);
    return k >= 0 && k < int(profile->pointNum()) ? k : -1;
}

QByteArray KProfileList::keyLineIndices() const
{
    refreshParameters();
    std::vector<quint32> indices;
    const std::vector<quint32> offsets = vertexOffsets();
    const int regions = m_layout ? m_layout->regionCount() : 0;
    for (int p = 0; p + 1 < count(); ++p) {
        const quint32 c0 = offsets[size_t(p)];
        const quint32 c1 = offsets[size_t(p + 1)];
        if (profile(p)->pointNum() == 0 || profile(p + 1)->pointNum() == 0)
            continue;
        indices.insert(indices.end(), {c0, c1});
        for (int i = 0; i + 1 < regions; ++i) {
            const int a = boundaryPoint(profile(p), i);
            const int b = boundaryPoint(profile(p + 1), i);
            // A key index beyond its profile's points draws no line.
            if (a >= 0 && b >= 0)
                indices.insert(indices.end(), {c0 + quint32(a), c1 + quint32(b)});
        }
    }
    return bytesOf(indices);
}

QByteArray KProfileList::webIndices() const
{
    refreshParameters();
    std::vector<quint32> indices;
    if (!m_layout)
        return bytesOf(indices);
    const std::vector<quint32> offsets = vertexOffsets();
    for (const LayoutWeb& web : m_layout->layoutWebs()) {
        // Drawn over the span it has in the blade.
        for (int p = std::max(web.firstProfile, 0); p < std::min(web.lastProfile, count() - 1); ++p) {
            const int a0 = boundaryPoint(profile(p), web.startRegion);
            const int b0 = boundaryPoint(profile(p), web.endRegion);
            const int a1 = boundaryPoint(profile(p + 1), web.startRegion);
            const int b1 = boundaryPoint(profile(p + 1), web.endRegion);
            if (a0 < 0 || b0 < 0 || a1 < 0 || b1 < 0 || profile(p)->pointNum() == 0 || profile(p + 1)->pointNum() == 0)
                continue;
            const quint32 A0 = offsets[size_t(p)] + quint32(a0), B0 = offsets[size_t(p)] + quint32(b0);
            const quint32 A1 = offsets[size_t(p + 1)] + quint32(a1), B1 = offsets[size_t(p + 1)] + quint32(b1);
            indices.insert(indices.end(), {A0, B0, B1, A0, B1, B0, A1, B1, A0, A1, A0, B1});
        }
    }
    return bytesOf(indices);
}

void KProfileList::genPro3D()
{
    using Type = Qt3DRender::QGeometryRenderer::PrimitiveType;
    const auto renderers = sharedRenderers(profilePositions(), {{outlineIndices(), Type::Lines},
                                                                {keyLineIndices(), Type::Lines},
                                                                {webIndices(), Type::Triangles}});
    // The outlines own the shared positions: they go last.
    m_keyLine.replace(renderers[1]);
    m_webRender.replace(renderers[2]);
    m_pro3D.replace(renderers[0]);
    emit Pro3DChanged();
    emit KeyLineChanged();
    emit WebRenderChanged();
}

void KProfileList::clearOldPro3D()
{
    m_keyLine.clearPrevious();
    m_webRender.clearPrevious();
    m_pro3D.clearPrevious();
}

// In the order they can go: the outlines own the shared positions.
KProfileList::ViewRenderers KProfileList::releaseRenderers()
{
    return {m_keyLine.release(), m_webRender.release(), m_pro3D.release()};
}

void KProfileList::keepAside(const ViewRenderers& renderers)
{
    m_keyLine.keepAside(renderers[0]);
    m_webRender.keepAside(renderers[1]);
    m_pro3D.keepAside(renderers[2]);
}

KProfileTableModel::KProfileTableModel(KProfileList* list)
    : KObjectTableModel(list)
    , m_list(list)
{
    setColumns({[list](const QModelIndex& index) { return list->profile(index.row()); },
                {{"name", [](const KProfile* p) { return p->name(); },
                  [list](KProfile* p, const QVariant& v) { return list->rename(p, v.toString()); }},
                 expressionColumn("loc", &KProfile::loc),
                 expressionColumn("chordlen", &KProfile::chordLen),
                 expressionColumn("twist", &KProfile::twist),
                 expressionColumn("xoffset", &KProfile::xOffset),
                 expressionColumn("yoffset", &KProfile::yOffset)}});
    // One grid column more than roles, as the table has always reported.
    m_columnNum = 7;
}

int KProfileTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list->count();
}

bool KProfileTableModel::insertRows(int row, int count, const QModelIndex&)
{
    return insertRowsWith(row, count, m_list->count(), [this](int r) { m_list->InsertNewSon(r); });
}

bool KProfileTableModel::removeRows(int row, int count, const QModelIndex&)
{
    if (m_list->refusesRemoval(row, count))
        return false;
    return removeRowsWith(row, count, m_list->count(), [this](int r) { m_list->RemoveSon(r); });
}

void KProfileTableModel::sortSons()
{
    beginResetModel();
    m_list->SortProfiles();
    endResetModel();
}

KPointTableModel::KPointTableModel(QObject* parent)
    : KDetailTable(parent, {&KProfile::pointCount, &KProfile::InsertPoint, &KProfile::RemovePoint})
{
    setColumns({[this](const QModelIndex& index) { return current()->points().at(index.row()); },
                {{"x", [](const KPoint* p) { return p->x(); },
                  [](KPoint* p, const QVariant& v) { p->setX(v.toDouble()); }},
                 {"y", [](const KPoint* p) { return p->y(); },
                  [](KPoint* p, const QVariant& v) { p->setY(v.toDouble()); }}}});
    m_minRowNum = 2;
}

void KPointTableModel::setProfile(KProfile* profile)
{
    setCurrent(profile);
    emit ProfileChanged();
}

void KPointTableModel::copyFromClipBoard(int value)
{
    if (!current())
        return;
    beginResetModel();
    current()->ImportFromClipboard(value);
    endResetModel();
}

} // namespace Folvane
