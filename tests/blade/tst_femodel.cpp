#include "capture.h"
#include "files.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "blade/kload.h"
#include "blade/kmaterial.h"
#include "blade/kpattern.h"
#include "blade/ksinglelayer.h"
#include "blade/kweb.h"
#include "core/parameterlist.h"
#include "fem/elementrow.h"
#include "fem/model.h"
#include "fem/noderow.h"
#include "fem/polylayer.h"
#include "geometry/kprofile.h"
#include "geometry/kprofilelist.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

using namespace Folvane;

namespace {

// Three circles of diameter 1000 at 0, 1000 and 2000: a cylinder, meshed
// at size 100, without webs.
void makeCylinder(KBlade& blade)
{
    KProfileList* profiles = blade.profiles();
    profiles->RemoveSon(4);
    profiles->RemoveSon(3);
    for (int i = 0; i < 3; ++i) {
        KProfile* p = profiles->profile(i);
        p->loadPointSet("Circle");
        p->loc()->setValue(1000.0 * i);
        p->chordLen()->setValue(1000);
        p->twist()->setValue(0);
        p->xOffset()->setValue(0);
        p->yOffset()->setValue(0);
        const int keys[] = {4, 27, 30, 33, 56};
        for (int k = 0; k < 5; ++k)
            p->ReadKeyInd(k)->setValue(keys[k]);
    }
    while (blade.webs()->count())
        blade.webs()->RemoveSon(0);
    blade.setting()->setMeshSize(100);
    profiles->autoMesh();
}

double totalArea(const Model& model)
{
    double area = 0;
    for (int i = 0; i < model.elements().count(); ++i)
        area += model.elements().at(i)->area();
    return area;
}

QStringList buildMessages(KBlade& blade)
{
    Capture capture;
    blade.genFEModel();
    return capture.debugLines();
}

} // namespace

class TestFEModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateHome(); }
    void cylinder();
    void cylinderOfTriangles();
    void defaultBlade();
    void buildingTwiceStartsAfresh();
    void normalsFaceOneSide();
    void aPlyDropEnteredAsAStep();
    void refusedBuilds_data();
    void refusedBuilds();
    void unusedValuesDoNotBlockTheBuild();
    void websThatCannotBeAttached();
    void meshExport();
};

void TestFEModel::cylinder()
{
    KBlade blade;
    makeCylinder(blade);
    const QStringList messages = buildMessages(blade);
    const Model* model = blade.feModel();
    QVERIFY(model);
    // 23 stations (11 + 11 + 1) of 34 ring nodes: regions of 3, 14, 3, 3, 14 and 3 nodes.
    QCOMPARE(blade.stationPositions().size(), Eigen::Index(23));
    QCOMPARE(blade.stationPositions()[1], 1000.0 / 11);
    QCOMPARE(model->nodes().count(), 23 * 34);
    QCOMPARE(model->elements().count(), 22 * 34);
    // The counts are the status bar's and the batch modes' summary, not messages.
    QCOMPARE(messages, QStringList());
    for (int i = 0; i < model->elements().count(); ++i)
        QCOMPARE(model->elements().at(i)->kind(), int(Element::QuadKind));
    // Ring sides and span lines, one middle node each, numbered after the corners.
    QCOMPARE(model->edges().count(), 23 * 34 + 22 * 34);
    QCOMPARE(model->edges().at(0)->middle()->id(), quint64(782));
    QVERIFY(std::abs(totalArea(*model) / (M_PI * 1000 * 2000) - 1) < 0.01);

    QCOMPARE(model->boundaries().count(), 1);
    const NodeBoundary* fix = model->boundaries().at(0);
    QCOMPARE(fix->name(), QString("Fix"));
    QCOMPARE(fix->nodes().size(), size_t(2 * 34));  // corners and middle nodes of the root ring
    for (const Node* n : fix->nodes())
        QCOMPARE(n->z(), 0.0);
    QCOMPARE(model->loads().count(), 23);
    QCOMPARE(model->loads().at(22)->name(), QString("Load-23"));
    QCOMPARE(model->loads().at(22)->nodes().size(), size_t(34));
    QCOMPARE(model->loads().at(22)->nodes().front()->z(), 2000.0);
    QCOMPARE(model->loads().at(0)->loadCaseCount(), 2);

    const NodeArray* stations = blade.stationNodes();
    QCOMPARE(stations->count(), 23);
    QCOMPARE(stations->row(5)->count(), 34);
    QCOMPARE(stations->row(5)->name(), QString("Profile Nodes6"));
    QCOMPARE(blade.stationElements()->count(), 22);
    // Every element of interval s carries the section of interval s.
    for (int s = 0; s < 22; ++s) {
        const ElementRow* row = blade.stationElements()->row(s);
        QCOMPARE(row->count(), 34);
        for (const Element* e : row->elements())
            QVERIFY(e->section() && e->section()->name().endsWith(QString("-%1").arg(s + 1)));
    }
    QCOMPARE(model->sections().count(), 6 * 22 + 0);
    QCOMPARE(model->materials().count(), 3);
    QCOMPARE(model->name(), QString("NewBlade"));
}

void TestFEModel::cylinderOfTriangles()
{
    KBlade blade;
    makeCylinder(blade);
    blade.setting()->setMeshBySize(false);
    blade.genFEModel();
    const Model* model = blade.feModel();
    QCOMPARE(model->elements().count(), 2 * 22 * 34);
    for (int i = 0; i < model->elements().count(); ++i)
        QCOMPARE(model->elements().at(i)->kind(), int(Element::TriKind));
    QVERIFY(std::abs(totalArea(*model) / (M_PI * 1000 * 2000) - 1) < 0.01);
}

void TestFEModel::defaultBlade()
{
    KBlade blade;
    blade.genFEModel();
    const Model* model = blade.feModel();
    QVERIFY(model);
    QCOMPARE(blade.stationPositions().size(), Eigen::Index(46));
    QCOMPARE(blade.stationPositions()[45], 13150.0);
    // Numbering: IDs are list positions, middle nodes follow the corners.
    for (int i = 0; i < model->nodes().count(); ++i)
        QCOMPARE(model->nodes().at(i)->id(), quint64(i));
    for (int i = 0; i < model->elements().count(); ++i)
        QCOMPARE(model->elements().at(i)->id(), quint64(i));
    QCOMPARE(model->edges().at(model->edges().count() - 1)->middle()->id(),
             quint64(model->nodes().count() + model->edges().count() - 1));

    // Two webs from the second profile (station 2) to the last.
    int webElements = 0;
    for (int i = 0; i < model->elements().count(); ++i)
        webElements += model->elements().at(i)->isWeb() ? 1 : 0;
    QVERIFY(webElements > 0);
    int webNodes = 0;
    for (int i = 0; i < model->nodes().count(); ++i) {
        if (model->nodes().at(i)->name() == "Web") {
            ++webNodes;
            QVERIFY(model->nodes().at(i)->z() >= 500.0);
        } else {
            QCOMPARE(webNodes, 0);  // web nodes come after every ring node
        }
    }
    QVERIFY(webNodes > 0);
    const NodeRow* root = blade.stationNodes()->row(0);
    const NodeRow* third = blade.stationNodes()->row(2);
    QCOMPARE(model->boundaries().at(0)->nodes().size(), size_t(2 * root->count()));
    QVERIFY(third->count() > blade.stationNodes()->row(1)->count());  // the webs start there

    // Every element has its section; the loads spread the point loads
    // over the stations without losing any.
    for (int i = 0; i < model->elements().count(); ++i)
        QVERIFY(model->elements().at(i)->section());
    double fy0 = 0, fy1 = 0;
    size_t loadedNodes = 0;
    for (int i = 0; i < model->loads().count(); ++i) {
        const NodeLoad* load = model->loads().at(i);
        fy0 += load->force(0)[1];
        fy1 += load->force(1)[1];
        loadedNodes += load->nodes().size();
        for (const Node* n : load->nodes())
            QVERIFY(n->z() == blade.stationPositions()[i] && n->name() != "Web");
    }
    // Every ring node carries the load of its station once; web nodes none.
    QCOMPARE(loadedNodes, size_t(model->nodes().count() - webNodes));
    QVERIFY(std::abs(fy0 + 8703) < 1e-6);
    QVERIFY(std::abs(fy1 + 5000) < 1e-6);
}

void TestFEModel::buildingTwiceStartsAfresh()
{
    KBlade blade;
    blade.genFEModel();
    const int elements = blade.feModel()->elements().count();
    const int nodes = blade.feModel()->nodes().count();
    blade.genFEModel();
    QCOMPARE(blade.feModel()->elements().count(), elements);
    QCOMPARE(blade.feModel()->nodes().count(), nodes);
    QCOMPARE(blade.feModel()->elements().at(0)->id(), quint64(0));
    QCOMPARE(blade.feModel()->loads().at(0)->name(), QString("Load-1"));
}

namespace {

bool insideRing(const std::vector<Eigen::Vector2d>& ring, const Eigen::Vector2d& p)
{
    bool inside = false;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        if ((ring[i].y() > p.y()) != (ring[j].y() > p.y())
            && p.x() < (ring[j].x() - ring[i].x()) * (p.y() - ring[i].y()) / (ring[j].y() - ring[i].y()) + ring[i].x())
            inside = !inside;
    }
    return inside;
}

} // namespace

// Node counts grow and shrink along the default blade; every skin element
// faces out of the blade, every web element towards the trailing edge, and
// starts along its station's ring (the reference of its plies).
void TestFEModel::normalsFaceOneSide()
{
    KBlade blade;
    blade.genFEModel();
    const Model& model = *blade.feModel();
    const Eigen::VectorXd& z = blade.stationPositions();
    int skin = 0, webs = 0;
    for (int i = 0; i < model.elements().count(); ++i) {
        const Element* e = model.elements().at(i);
        const Eigen::Vector3d a = e->node(0)->position(), b = e->node(1)->position();
        QCOMPARE(a.z(), b.z());
        const int station = int(std::find(z.data(), z.data() + z.size(), a.z()) - z.data());
        QVERIFY(station < z.size());
        std::vector<Eigen::Vector2d> ring;
        for (const Node* n : blade.stationNodes()->row(station)->nodes()) {
            if (n->name() != "Web")
                ring.push_back(n->position().head<2>());
        }
        const Eigen::Vector3d normal = e->plyFrame().col(2);
        const QString which = QString("element %1").arg(e->number());
        if (e->isWeb()) {
            const Eigen::Vector2d lead = ring.front();
            Eigen::Vector2d trail = lead;
            for (const Eigen::Vector2d& p : ring)
                trail = (p - lead).norm() > (trail - lead).norm() ? p : trail;
            QVERIFY2(normal.head<2>().dot(trail - lead) > 0, qPrintable(which));
            ++webs;
        } else {
            const Eigen::Vector2d side = 0.5 * (a + b).head<2>();
            const double step = 1e-3 * (b - a).norm();
            QVERIFY2(!insideRing(ring, side + step * normal.head<2>().normalized()), qPrintable(which));
            QVERIFY2(insideRing(ring, side - step * normal.head<2>().normalized()), qPrintable(which));
            ++skin;
        }
    }
    QVERIFY(skin > 0 && webs > 0);
}

// The spar cap starts with a step at 1000 instead of a ramp from 500: every
// section from the step on carries it, 12 thick as far as 4000.
void TestFEModel::aPlyDropEnteredAsAStep()
{
    KBlade blade;
    blade.singleLayers()->layer(3)->ReadLocNumByInd(1)->loc()->setValue(1000);
    blade.genFEModel();
    const Model* model = blade.feModel();
    QVERIFY(model);
    const Eigen::VectorXd z = blade.stationPositions();
    QVERIFY(std::find(z.data(), z.data() + z.size(), 1000.0) != z.data() + z.size());
    int sections = 0;
    for (int i = 0; i < model->sections().count(); ++i) {
        const PolyLayer* section = model->sections().at(i);
        if (!section->name().startsWith("Reg-2-U-"))
            continue;
        ++sections;
        const double inboard = z[section->name().mid(8).toInt() - 1];
        QCOMPARE(section->plyCount(), inboard < 1000 ? 2 : 3);
        if (inboard >= 1000 && inboard <= 4000)
            QCOMPARE(section->plies().thicknesses[1], 12.0);
    }
    QCOMPARE(sections, int(z.size()) - 1);
}

void TestFEModel::refusedBuilds_data()
{
    QTest::addColumn<int>("breakage");
    QTest::addColumn<QString>("message");
    QTest::newRow("two profiles") << 0 << "at least 3 profiles are needed, the blade has 2";
    QTest::newRow("key beyond points") << 1 << "profile 3 (NACA63240) has key indices outside its points or out of order";
    QTest::newRow("keys out of order") << 2 << "profile 5 (NACA63214) has key indices outside its points or out of order";
    QTest::newRow("broken expression") << 3 << "profile 4 (NACA63220) has a placement or point that does not evaluate";
    QTest::newRow("same location") << 4 << "profiles 3 and 4 are not at increasing locations";
    QTest::newRow("31 regions") << 5 << "the blade has 31 regions, it needs 2 to 30";
    QTest::newRow("mesh number 1") << 6 << "profile 1 (Circle) has region mesh number 1 below 2";
    QTest::newRow("material") << 7 << "material TRI has a value that does not evaluate";
    QTest::newRow("too fine") << 8 << "the mesh would hold about";
    QTest::newRow("no key indices") << 9 << "profile 1 (Short) has 0 key indices, the regions need 5";
    QTest::newRow("far offset") << 10 << "profile 2 (Circle) has a placement or point farther than 1e+12 from the origin";
    QTest::newRow("used pattern") << 11 << "a ply of pattern UNIAX has a value that does not evaluate";
    QTest::newRow("used single layer") << 12 << "single layer Spar-UD has a value that does not evaluate";
    QTest::newRow("isotropic modulus") << 13 << "material PU has a value that does not evaluate";
}

void TestFEModel::refusedBuilds()
{
    QFETCH(int, breakage);
    QFETCH(QString, message);
    QTemporaryDir dir;
    KBlade blade;
    blade.genFEModel();
    QVERIFY(blade.feModel());
    KProfileList* profiles = blade.profiles();
    switch (breakage) {
    case 0: profiles->RemoveSon(4); profiles->RemoveSon(3); profiles->RemoveSon(2); break;
    case 1: profiles->profile(2)->ReadKeyInd(4)->setValue(59); break;
    case 2: profiles->profile(4)->ReadKeyInd(4)->setValue(44); break;
    case 3: profiles->profile(3)->chordLen()->setExp("Q * 2"); break;
    case 4: profiles->profile(3)->loc()->setValue(1000); break;
    case 5: for (int i = 0; i < 25; ++i) blade.setting()->addSon(); break;
    case 6: profiles->profile(0)->SetRegMesh(2, 1); break;
    case 7: blade.materials()->material(1)->par(3)->setExp("1 / undefinedThing"); break;
    case 8: for (int i = 0; i < 4; ++i) profiles->profile(i)->setRadiusMesh(1000000); break;
    case 10: profiles->profile(1)->yOffset()->setValue(1e308); break;
    case 11: blade.patterns()->pattern(0)->ReadLaminateByInd(0)->angle()->setExp(""); break;
    case 12: blade.singleLayers()->layer(3)->ReadLocNumByInd(2)->num()->setExp("Q"); break;
    case 13:
        blade.materials()->material(2)->setType(KMaterial::UniMat);
        blade.materials()->material(2)->par(1)->setExp("");
        break;
    case 9: {
        QFile json(dir.filePath("short.json"));
        json.open(QIODevice::WriteOnly);
        json.write(R"({"Profile": [{"Name": "Short", "Key Index": [4, 27]}, {"Name": "B", "Location": 1},
                                  {"Name": "C", "Location": 2}],
                       "Blade Setting": {"Regions": [{"Name": "a"}, {"Name": "b"}, {"Name": "c"},
                                                     {"Name": "d"}, {"Name": "e"}, {"Name": "f"}]}})");
        json.close();
        blade.loadJson(json.fileName());
        break;
    }
    }
    const QStringList messages = buildMessages(blade);
    QVERIFY(!blade.feModel());
    QVERIFY(blade.stationPositions().size() == 0 && !blade.stationNodes());
    QVERIFY2(messages.size() >= 2, qPrintable(messages.join('\n')));
    const bool reported = std::any_of(messages.begin(), messages.end(), [&](const QString& line) {
        return line.startsWith("KBlade - genFEModel: " + message);
    });
    QVERIFY2(reported, qPrintable(messages.join('\n')));
    QCOMPARE(messages.last(), QString("KBlade - genFEModel: no FE model was built"));

    // The document is still whole: it saves, and a fresh one builds.
    blade.setFp(dir.filePath("broken.fvm"));
    blade.writeFile();
    KBlade copy;
    copy.setFp(dir.filePath("broken.fvm"));
    copy.readFile();
    copy.newFile();
    copy.genFEModel();
    QVERIFY(copy.feModel());
}

// What the build never reads may be unfinished: an unused material,
// pattern or single layer, the parameters an isotropic material ignores.
void TestFEModel::unusedValuesDoNotBlockTheBuild()
{
    QTemporaryDir dir;
    KBlade reference;
    reference.genFEModel();
    reference.exportCCXInp(dir.filePath("reference.inp"), -1);

    KBlade blade;
    blade.materials()->InsertNewSon(0);
    blade.materials()->material(0)->density()->setExp("");
    blade.patterns()->InsertNewSon(3);  // its ply is of the unused material
    blade.patterns()->pattern(3)->ReadLaminateByInd(0)->thick()->setExp("");
    blade.singleLayers()->InsertNewSon(5);
    blade.singleLayers()->layer(5)->ReadLocNumByInd(0)->num()->setExp("");
    blade.genFEModel();
    QVERIFY(blade.feModel());
    QCOMPARE(blade.feModel()->materials().count(), 3);
    blade.exportCCXInp(dir.filePath("unused.inp"), -1);
    QCOMPARE(fileBytes(dir.filePath("unused.inp")), fileBytes(dir.filePath("reference.inp")));

    KMaterial* core = blade.materials()->material(3);
    core->setType(KMaterial::UniMat);
    for (int k = 2; k < KMaterial::ParameterCount; ++k)
        core->par(k)->setExp("");
    blade.genFEModel();
    QVERIFY(blade.feModel());
    blade.exportCCXInp(dir.filePath("isotropic.inp"), -1);
    const QByteArray deck = fileBytes(dir.filePath("isotropic.inp"));
    QVERIFY(deck.contains("*MATERIAL,NAME=PU\n*DENSITY\n8e-11\n*ELASTIC, TYPE=ISO\n10, 10\n"));
    QVERIFY(!deck.toLower().contains("nan"));
}

void TestFEModel::websThatCannotBeAttached()
{
    KBlade blade;
    blade.webs()->web(0)->endProfile()->setValue(9);
    const QStringList messages = buildMessages(blade);
    QCOMPARE(messages.first(), QString("KProfileList - genFEMesh: web Web-1 spans profiles outside the list, it is left out"));
    QVERIFY(blade.feModel());
    // The other web and every region keep their sections.
    const Model* model = blade.feModel();
    int webElements = 0;
    for (int i = 0; i < model->elements().count(); ++i) {
        QVERIFY(model->elements().at(i)->section());
        webElements += model->elements().at(i)->isWeb() ? 1 : 0;
    }
    QVERIFY(webElements > 0);

    // A web on one region over one station is no web at all.
    KBlade single;
    single.webs()->web(1)->setStartRegionIndex(2);
    single.webs()->web(1)->setEndRegionIndex(2);
    single.webs()->web(1)->startProfile()->setValue(3);
    single.webs()->web(1)->endProfile()->setValue(3);
    single.genFEModel();
    QVERIFY(single.feModel());
}

void TestFEModel::meshExport()
{
    QTemporaryDir dir;
    KBlade blade;
    Capture capture;
    blade.exportMeshObj(dir.filePath("none.obj"));
    QCOMPARE(capture.outLines(), QStringList({"KBlade - exportMeshObj: no FE model, build it first"}));
    QVERIFY(!QFile::exists(dir.filePath("none.obj")));
    makeCylinder(blade);
    blade.genFEModel();
    blade.exportMeshObj(QUrl::fromLocalFile(dir.filePath("cylinder.obj")).toString());
    QFile obj(dir.filePath("cylinder.obj"));
    QVERIFY(obj.open(QIODevice::ReadOnly));
    int v = 0, l = 0, f = 0;
    for (const QByteArray& line : obj.readAll().split('\n')) {
        v += line.startsWith("v ");
        l += line.startsWith("l ");
        f += line.startsWith("f ");
    }
    QCOMPARE(v, 782);
    QCOMPARE(l, blade.feModel()->edges().count());
    QCOMPARE(f, 748);
    capture.clear();
    blade.exportMeshObj(dir.filePath("no/such/dir.obj"));
    QCOMPARE(capture.outLines(),
             QStringList({"KBlade - exportMeshObj: cannot write to file: " + dir.filePath("no/such/dir.obj")}));
}

QTEST_GUILESS_MAIN(TestFEModel)
#include "tst_femodel.moc"
