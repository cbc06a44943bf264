#include "capture.h"
#include "roles.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "blade/klayuplist.h"
#include "blade/kload.h"
#include "blade/kmaterial.h"
#include "blade/kmeshlist.h"
#include "blade/koptsetting.h"
#include "blade/kpattern.h"
#include "blade/kregion.h"
#include "blade/ksamplesetting.h"
#include "blade/ksinglelayer.h"
#include "blade/kweb.h"
#include "core/parameterlist.h"
#include "geometry/kkeyindlist.h"
#include "geometry/kprofile.h"
#include "geometry/kprofilelist.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Folvane;

namespace {

Eigen::VectorXd stations(std::initializer_list<double> v)
{
    Eigen::VectorXd s(v.size());
    int i = 0;
    for (double d : v)
        s[i++] = d;
    return s;
}

KSingleLayer* layerWith(KBlade& blade, std::initializer_list<std::pair<double, double>> points)
{
    KSingleLayer* layer = blade.singleLayers()->layer(0);
    while (layer->locNumCount() > 0)
        layer->RemoveLocNum(0);
    for (const auto& p : points) {
        layer->InsertLocNum(layer->locNumCount());
        layer->ReadLocNumByInd(layer->locNumCount() - 1)->loc()->setValue(p.first);
        layer->ReadLocNumByInd(layer->locNumCount() - 1)->num()->setValue(p.second);
    }
    return layer;
}

KLoad* loadWith(KBlade& blade, std::initializer_list<std::array<double, 4>> loads)
{
    KLoad* load = blade.loads()->load(0);
    while (load->singleLoadCount() > 0)
        load->RemoveSingleLoad(0);
    for (const auto& l : loads) {
        load->InsertSingleLoad(load->singleLoadCount());
        KSingleLoad* single = load->ReadSingleLoadByInd(load->singleLoadCount() - 1);
        single->setLoc(l[0]);
        single->setX(l[1]);
        single->setY(l[2]);
        single->setZ(l[3]);
    }
    return load;
}

} // namespace

class TestLists : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateHome(); }
    void roleNumbers();
    void detailTable();
    void materialTable();
    void patternsAndPlies();
    void repetitionNumbers();
    void singleLayerTable();
    void regionLayers();
    void webs();
    void layupList();
    void loadDistribution();
    void loadTable();
    void meshTable();
    void keyIndexTable();
    void objectives();
    void renamesInTheEditors_data();
    void renamesInTheEditors();
    void deletingItemsInUse_data();
    void deletingItemsInUse();
    void deletionsKeepTheOthersPlaces();
    void emptiedListsStillSave();
};

// Views and stored expectations know every table's columns by number:
// column c reads through role 257 + 2c ("<c>_user") and writes through
// 258 + 2c ("<c>_input").
void TestLists::roleNumbers()
{
    KBlade blade;
    const std::pair<const KObjectTableModel*, QByteArrayList> tables[] = {
        {blade.parameters()->tableModel(),
         {"name", "isopt", "issample", "value", "low", "high", "target", "digit", "dis", "par1", "par2"}},
        {blade.profiles()->tableModel(), {"name", "loc", "chordlen", "twist", "xoffset", "yoffset"}},
        {blade.profiles()->pointModel(), {"x", "y"}},
        {blade.keyInds()->tableModel(), {"id"}},
        {blade.materials()->tableModel(),
         {"mat", "type", "price", "density", "par1", "par2", "par3", "par4", "par5", "par6", "par7", "par8", "par9",
          "xt", "xc", "yt", "yc", "s"}},
        {blade.optSetting()->tableModel(), {"name", "isopt", "target", "low", "high", "weight"}},
        {blade.loads()->tableModel(), {"loc", "x", "y", "z"}},
        {blade.singleLayers()->tableModel(), {"loc", "num"}},
        {blade.patterns()->tableModel(), {"mat", "thick", "intp", "angle"}},
        {blade.meshs()->tableModel(), {"mesh"}},
        {blade.layups()->tableModel(), {"sl"}},
        {blade.webs()->tableModel(), {"name", "offset", "startpro", "endpro", "startreg", "endreg"}}};
    for (const auto& table : tables) {
        QHash<int, QByteArray> expected;
        for (int c = 0; c < table.second.size(); ++c) {
            expected.insert(257 + 2 * c, table.second[c] + "_user");
            expected.insert(258 + 2 * c, table.second[c] + "_input");
        }
        QVERIFY2(table.first->roleNames() == expected, table.first->metaObject()->className());
    }
}

// What every table of the selected son's parts shares, through the load table.
void TestLists::detailTable()
{
    KLoadTableModel table(nullptr);
    QSignalSpy resets(&table, &QAbstractItemModel::modelReset);
    Capture capture;
    QCOMPARE(table.rowCount(), 0);
    QVERIFY(!table.setData(table.index(0, 0), 1.0, roleOf(&table, "loc_input")));
    QVERIFY(!table.insertRows(0, 1));
    table.sortSons();
    QCOMPARE(resets.count(), 0);
    QCOMPARE(capture.debugLines(), QStringList({"KLoadTableModel - insertRows: insert position not correct!"}));

    auto* load = new KLoad;
    table.setCurrent(load);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(table.current(), load);
    table.sortSons();  // a single part has no order to change
    QCOMPARE(resets.count(), 1);
    QVERIFY(table.insertRows(1, 1));
    QCOMPARE(load->singleLoadCount(), 2);
    table.sortSons();
    QCOMPARE(resets.count(), 2);

    delete load;
    QCOMPARE(table.current(), nullptr);
    QCOMPARE(table.rowCount(), 0);
    QVERIFY(!table.removeRows(0, 1));
}

void TestLists::materialTable()
{
    KBlade blade;
    KMaterialList* materials = blade.materials();
    KObjectTableModel* table = materials->tableModel();
    QCOMPARE(table->columnCount(), 18);
    const QModelIndex cell = table->index(1, 0);
    // Linked values read as their linkers and are edited through them only.
    QCOMPARE(qvariant_cast<Linker*>(table->data(cell, roleOf(table, "par1_user"))), materials->material(1)->par1());
    QVERIFY(!table->setData(cell, 5.0, roleOf(table, "price_input")));
    QCOMPARE(materials->material(1)->price()->exp(), QString("1"));
    QVERIFY(table->setData(cell, 0, roleOf(table, "type_input")));
    QCOMPARE(materials->material(1)->type(), int(KMaterial::UniMat));
    QVERIFY(!table->data(table->index(3, 0), roleOf(table, "mat_user")).isValid());

    QSignalSpy changed(materials, &KObjectList::sonChanged);
    Capture capture;
    QVERIFY(table->insertRows(3, 1));
    QCOMPARE(changed.count(), 0);
    const KMaterial* added = materials->material(3);
    QCOMPARE(added->name(), QString("Mat"));
    QCOMPARE(added->type(), int(KMaterial::EngMat));
    QCOMPARE(added->density()->value(), 1.0);
    QCOMPARE(added->par(8)->value(), 0.0);
    QVERIFY(!table->insertRows(5, 1));
    QVERIFY(!table->removeRows(3, 2));
    QCOMPARE(capture.debugLines(), QStringList({"KMaterialTableModel - insertRows: insert position not correct!",
                                                "KMaterialTableModel - removeRows: remove position not correct!"}));
}

void TestLists::patternsAndPlies()
{
    KBlade blade;
    KPatternList* patterns = blade.patterns();
    KObjectTableModel* table = patterns->tableModel();
    QCOMPARE(table->rowCount(), 1);
    QVERIFY(patterns->changeObject(2));
    QCOMPARE(table->data(table->index(0, 0), roleOf(table, "mat_user")).toInt(), 2);

    KPattern* core = patterns->pattern(2);
    const QModelIndex ply = table->index(0, 3);
    QVERIFY(table->setData(ply, 0.1234567, roleOf(table, "thick_input")));
    QCOMPARE(core->ReadLaminateByInd(0)->thick()->exp(), QString("0.123457"));
    // Choice indices of the integration points: 1, 3, 5, 7, 9; anything else reads as 3.
    const std::pair<int, int> choices[] = {{0, 1}, {2, 5}, {4, 9}, {7, 3}};
    for (const auto& c : choices) {
        QVERIFY(table->setData(ply, c.first, roleOf(table, "intp_input")));
        QCOMPARE(core->ReadLaminateByInd(0)->intPoints(), c.second);
    }
    core->ReadLaminateByInd(0)->setIntPoints(4);
    QCOMPARE(table->data(ply, roleOf(table, "intp_user")).toInt(), 1);

    Capture capture;
    QVERIFY(table->setData(ply, 7, roleOf(table, "mat_input")));  // clamped to the last material
    QCOMPARE(core->ReadLaminateByInd(0)->materialIndex(), 2);
    QVERIFY(!patterns->changeObject(3));
    QCOMPARE(core->ReadLaminateByInd(1), nullptr);
    core->InsertLaminate(2);
    QVERIFY(table->insertRows(1, 2));
    QCOMPARE(core->plyCount(), 3);
    const KLaminate* added = core->ReadLaminateByInd(1);
    QCOMPARE(added->materialIndex(), 0);
    QCOMPARE(added->thick()->value(), 0.0);
    QCOMPARE(added->angle()->value(), 90.0);
    QCOMPARE(added->intPoints(), 3);
    QVERIFY(!table->removeRows(1, 3));
    QCOMPARE(capture.outLines(), QStringList({"KObjectList - ReadSon: index out of range!"}));
    QCOMPARE(capture.debugLines(), QStringList({"KPatternList - changeObject: index out of range!",
                                                "KPattern - ReadLaminateByInd: index not correct!",
                                                "KPattern - InsertLaminate: index not correct!",
                                                "KPatternTableModel - removeRows: remove position not correct!"}));
}

void TestLists::repetitionNumbers()
{
    KBlade blade;
    KSingleLayer* layer = layerWith(blade, {{1000, 4}, {0, 32}, {500, 32}, {13150, 4}});
    const Eigen::VectorXd s = stations({0, 250, 500, 750, 1000, 5000});
    QCOMPARE(layer->repetitionNumbers(s), std::vector<int>({32, 32, 32, 18, 4, 4}));
    QCOMPARE(layer->ReadLocNumByInd(1)->loc()->value(), 0.0);  // the document keeps the order entered

    layerWith(blade, {{0, 0}, {1000, 12}});
    QCOMPARE(layer->repetitionNumbers(stations({250, 2000, 999.99, -10})), std::vector<int>({3, 24, 11, 0}));
    layerWith(blade, {{0, 3.99}, {1000, 3.99}});
    QCOMPARE(layer->repetitionNumbers(stations({500})), std::vector<int>({3}));
    layerWith(blade, {{700, 6}});
    QCOMPARE(layer->repetitionNumbers(stations({0, 13150})), std::vector<int>({6, 6}));
    layerWith(blade, {});
    QCOMPARE(layer->repetitionNumbers(stations({0, 13150})), std::vector<int>({0, 0}));
    // A ply drop entered as a step: each side keeps its own number, the
    // step itself takes the outboard one.
    layerWith(blade, {{0, 0}, {1000, 0}, {1000, 12}, {4000, 12}});
    QCOMPARE(layer->repetitionNumbers(stations({999, 1000, 1001, 2000})), std::vector<int>({0, 12, 12, 12}));
    // A number that does not evaluate to a finite value stacks nothing.
    layerWith(blade, {{0, 2}})->ReadLocNumByInd(0)->num()->setExp("1 / 0");
    QCOMPARE(layer->repetitionNumbers(stations({0, 1000})), std::vector<int>({0, 0}));

    KBlade fresh;
    const KSingleLayer* spar = fresh.singleLayers()->layer(3);
    QCOMPARE(fresh.singleLayers()->layer(3)->repetitionNumbers(stations({0, 250, 500, 1000, 2500, 4000})),
             std::vector<int>({0, 0, 0, 12, 12, 12}));
    QCOMPARE(spar->name(), QString("Spar-UD"));
    fresh.singleLayers()->computeRepetitionMatrix(stations({0, 1000, 13150}));
    const Eigen::MatrixXi& m = fresh.singleLayers()->repetitionMatrix();
    QCOMPARE(m.rows(), Eigen::Index(3));
    QCOMPARE(m.cols(), Eigen::Index(5));
    QCOMPARE(m.row(1), (Eigen::RowVectorXi(5) << 2, 4, 1, 12, 20).finished());
    QCOMPARE(m.row(2), (Eigen::RowVectorXi(5) << 2, 4, 1, 3, 14).finished());
}

void TestLists::singleLayerTable()
{
    KBlade blade;
    KSingleLayerList* layers = blade.singleLayers();
    auto* table = qobject_cast<KSingleLayerTableModel*>(layers->tableModel());
    QVERIFY(layers->changeObject(1));
    QCOMPARE(table->rowCount(), 4);
    QVERIFY(table->setData(table->index(0, 1), 2000, roleOf(table, "loc_input")));
    table->sortSons();  // by location, each number with its own
    QCOMPARE(qvariant_cast<Linker*>(table->data(table->index(2, 0), roleOf(table, "loc_user")))->value(), 2000.0);
    QCOMPARE(qvariant_cast<Linker*>(table->data(table->index(2, 0), roleOf(table, "num_user")))->value(), 32.0);
    QCOMPARE(layers->layer(1)->property("PatternInd").toInt(), 0);
    layers->layer(1)->setProperty("PatternInd", 2);
    QCOMPARE(layers->layer(1)->pattern()->name(), QString("Core"));

    Capture capture;
    QVERIFY(!layers->changeObject(5));
    layers->layer(0)->InsertLocNum(4);
    QVERIFY(!table->insertRows(5, 1));
    QCOMPARE(capture.debugLines(), QStringList({"KSingleLayerList - changeObject: index out of range!",
                                                "KSingleLayer - InsertLocNum: index not correct!",
                                                "KSingleLayerTableModel - insertRows: insert position not correct!"}));
}

void TestLists::regionLayers()
{
    KBlade blade;
    KBladeSetting* setting = blade.setting();
    KRegion* region = setting->region(1);
    QCOMPARE(region->layerCount(), 3);
    region->RemoveLayer(1);
    QCOMPARE(region->layerIndex(1), 1);
    QCOMPARE(blade.singleLayers()->count(), 5);  // the single layer stays
    region->InsertLayer(2);
    QCOMPARE(region->layerIndex(2), 0);

    Capture capture;
    region->InsertLayer(9);
    region->RemoveLayer(-1);
    setting->InsertNewSon(-1);
    setting->InsertNewSon(7);
    QCOMPARE(setting->count(), 6);
    setting->InsertNewSon(6);
    QCOMPARE(setting->count(), 7);
    QCOMPARE(setting->region(6)->name(), QString("Region"));
    QCOMPARE(setting->region(6)->layerIndex(0), 0);
    QCOMPARE(setting->region(6)->offset(), 0);
    QCOMPARE(capture.debugLines(), QStringList({"KRegion - InsertLayer: index not correct!",
                                                "KRegion - RemoveLayer: index not correct!",
                                                "KBladeSetting - InsertNewSon: index not correct!",
                                                "KBladeSetting - InsertNewSon: index not correct!"}));
    QVERIFY(!setting->delSon(0) || setting->count() >= 2);
}

void TestLists::webs()
{
    KBlade blade;
    KWebList* webs = blade.webs();
    KWeb* web = webs->web(0);
    web->startProfile()->setValue(5);
    web->endProfile()->setValue(2);
    QCOMPARE(web->profileSpan(), std::make_pair(1, 4));
    web->startProfile()->setValue(2.7);
    QCOMPARE(web->profileSpan().first, 1);
    web->startProfile()->setExp("nonsense(");
    QCOMPARE(web->profileSpan().first, -1);

    KObjectTableModel* table = webs->tableModel();
    QCOMPARE(table->columnCount(), 5);
    QSignalSpy changed(webs, &KObjectList::sonChanged);
    const QModelIndex cell = table->index(1, 0);
    QVERIFY(table->setData(cell, "Rear", roleOf(table, "name_input")));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(webs->web(1)->name(), QString("Rear"));
    QVERIFY(!table->setData(cell, 3, roleOf(table, "startpro_input")));

    QVERIFY(table->insertRows(2, 1));
    QCOMPARE(changed.count(), 2);
    const KWeb* added = webs->web(2);
    QCOMPARE(added->name(), QString("Web"));
    QCOMPARE(added->offset(), 1);
    QCOMPARE(added->startRegionIndex(), 0);
    QCOMPARE(added->endRegionIndex(), 5);
    QCOMPARE(added->parent(), blade.setting());
    QVERIFY(webs->delSon(2) && webs->delSon(1) && webs->delSon(0));
    QCOMPARE(webs->count(), 0);

    QJsonObject json;
    KWebList(blade.setting()).web(0)->writeJson(json);
    QCOMPARE(json.keys(), QStringList({"End Profile", "End Region", "Name", "Offset", "Single Layers",
                                       "Start Profile", "Start Region"}));
}

void TestLists::layupList()
{
    KBlade blade;
    KLayupList* layups = blade.layups();
    QCOMPARE(layups->rowCount(), 8);
    QCOMPARE(layups->data(layups->index(6), Qt::DisplayRole).toString(), QString("Web-1"));
    QCOMPARE(layups->data(layups->index(2), Qt::DisplayRole).toString(), QString("Reg-3-U"));
    QVERIFY(!layups->data(layups->index(2), roleOf(layups, "name_input")).isValid());
    auto* table = qobject_cast<KRegionTableModel*>(layups->tableModel());
    QCOMPARE(table->rowCount(), 3);
    // A layer stack keeps the order it was given.
    QSignalSpy resets(table, &QAbstractItemModel::modelReset);
    table->sortSons();
    QCOMPARE(resets.count(), 0);
    QVERIFY(layups->changeObject(7));
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->data(table->index(0, 0), roleOf(table, "sl_user")).toInt(), 4);
    QVERIFY(table->setData(table->index(0, 0), 3, roleOf(table, "sl_input")));
    QCOMPARE(blade.webs()->web(1)->layer(0)->name(), QString("Spar-UD"));
    QVERIFY(table->insertRows(1, 1));
    QCOMPARE(blade.webs()->web(1)->layerIndex(1), 0);
    Capture capture;
    QVERIFY(!layups->changeObject(8));
    QCOMPARE(capture.debugLines(), QStringList({"KLayupList - changeObject: index out of range!"}));
}

void TestLists::loadDistribution()
{
    KBlade blade;
    KLoad* load = loadWith(blade, {{300, 6, -12, 3}});
    Eigen::MatrixXd expected = Eigen::RowVector3d(1.5, -3, 0.75).replicate(4, 1);
    QCOMPARE(load->distribute(stations({0, 100, 200, 300})), expected);

    loadWith(blade, {{1000, 0, 3, 0}, {0, 0, 2, 0}});
    Eigen::MatrixXd two = Eigen::MatrixXd::Zero(5, 3);
    two.col(1) << 1, 1, 1, 1, 1;
    QCOMPARE(load->distribute(stations({0, 250, 500, 750, 1000})), two);

    loadWith(blade, {});
    QCOMPARE(load->distribute(stations({0, 1, 2})), Eigen::MatrixXd::Zero(3, 3));
    QCOMPARE(load->distribution(), Eigen::MatrixXd::Zero(3, 3));
}

void TestLists::loadTable()
{
    KBlade blade;
    KLoadList* loads = blade.loads();
    auto* table = qobject_cast<KLoadTableModel*>(loads->tableModel());
    QVERIFY(loads->changeObject(1));
    QCOMPARE(table->rowCount(), 4);
    QVERIFY(table->setData(table->index(3, 0), 250.0, roleOf(table, "loc_input")));
    QVERIFY(table->setData(table->index(3, 0), -7.5, roleOf(table, "z_input")));
    table->sortSons();  // by location, each load with its own forces
    QCOMPARE(table->data(table->index(1, 0), roleOf(table, "loc_user")).toDouble(), 250.0);
    QCOMPARE(table->data(table->index(1, 0), roleOf(table, "z_user")).toDouble(), -7.5);
    QCOMPARE(table->data(table->index(2, 0), roleOf(table, "y_user")).toDouble(), -5000.0);

    Capture capture;
    QVERIFY(!loads->changeObject(2));
    loads->load(0)->InsertSingleLoad(9);
    loads->load(0)->RemoveSingleLoad(9);
    QCOMPARE(loads->load(0)->ReadSingleLoadByInd(-1), nullptr);
    QVERIFY(!table->removeRows(4, 1));
    QCOMPARE(capture.debugLines(), QStringList({"KLoadList - changeObject: index out of range!",
                                                "KLoad - InsertSingleLoad: index not correct!",
                                                "KLoad - RemoveSingleLoad: index not correct!",
                                                "KLoad - ReadSingleLoadByInd: index not correct!",
                                                "KLoadTableModel - removeRows: remove position not correct!"}));
    loads->InsertNewSon(2);
    QCOMPARE(loads->load(2)->name(), QString("Load"));
    QCOMPARE(loads->load(2)->singleLoadCount(), 1);
}

void TestLists::meshTable()
{
    KBlade blade;
    KObjectTableModel* table = blade.meshs()->tableModel();
    QCOMPARE(table->rowCount(), 5);
    QCOMPARE(table->columnCount(), 9);
    blade.webs()->addSon();
    QCOMPARE(table->columnCount(), 10);
    // Grid columns: the radius mesh number, one per region, one per web.
    const int read = roleOf(table, "mesh_user");
    const int write = roleOf(table, "mesh_input");
    QVERIFY(table->setData(table->index(3, 0), 12, write));
    QCOMPARE(blade.profiles()->profile(3)->radiusMesh(), 12);
    QVERIFY(table->setData(table->index(3, 7), 17, write));
    QCOMPARE(blade.profiles()->profile(3)->ReadWebMesh(0), 17);
    QCOMPARE(table->data(table->index(3, 7), read).toInt(), 17);
    QCOMPARE(table->data(table->index(0, 2), read).toInt(), 4);
    QVERIFY(table->setData(table->index(0, 6), 9, write));
    QCOMPARE(blade.profiles()->profile(0)->ReadRegMesh(5), 9);
    QVERIFY(!table->setData(table->index(0, 10), 9, write));
}

void TestLists::keyIndexTable()
{
    KBlade blade;
    KObjectTableModel* table = blade.keyInds()->tableModel();
    QCOMPARE(table->rowCount(), 5);
    QCOMPARE(table->columnCount(), 5);
    const int read = roleOf(table, "id_user");
    QCOMPARE(qvariant_cast<Linker*>(table->data(table->index(2, 1), read))->value(), 18.0);
    QVERIFY(table->setData(table->index(2, 1), "17 + 2", roleOf(table, "id_input")));
    QCOMPARE(blade.profiles()->profile(2)->ReadKeyInd(1)->value(), 19.0);
    QVERIFY(!table->data(table->index(2, 5), read).isValid());
}

void TestLists::objectives()
{
    KBlade blade;
    KOptSetting* opt = blade.optSetting();
    KObjectTableModel* table = opt->tableModel();
    // The objectives, then the four design checks.
    QCOMPARE(table->rowCount(), 22);
    QCOMPARE(table->data(table->index(18, 0), roleOf(table, "name_user")).toString(), QString("Buckling Factor"));
    QCOMPARE(table->columnCount(), 6);
    const QModelIndex defX = table->index(2, 0);
    QCOMPARE(table->data(defX, roleOf(table, "name_user")).toString(), QString("Def X"));
    QVERIFY(!table->setData(defX, "Other", roleOf(table, "name_input")));
    // An objective left out of the optimisation weighs nothing until taken in.
    QVERIFY(table->setData(defX, 2.5, roleOf(table, "weight_input")));
    QCOMPARE(table->data(defX, roleOf(table, "weight_user")).toDouble(), 0.0);
    QCOMPARE(opt->ReadObjective(2)->property("Weight").toDouble(), 0.0);
    QVERIFY(table->setData(defX, true, roleOf(table, "isopt_input")));
    QCOMPARE(table->data(defX, roleOf(table, "weight_user")).toDouble(), 2.5);
    QVERIFY(table->setData(defX, 5.0, roleOf(table, "target_input")));
    QVERIFY(table->setData(defX, -1.0, roleOf(table, "low_input")));
    QVERIFY(table->setData(defX, 9.0, roleOf(table, "high_input")));

    Eigen::VectorXd targets, lows, highs, weights;
    opt->objectiveArrays(targets, lows, highs, weights);
    QCOMPARE(weights.size(), Eigen::Index(18));
    QCOMPARE(weights.head(4), Eigen::Vector4d(1, 1, 2.5, 0));
    QCOMPARE(targets[2], 5.0);
    QCOMPARE(lows[2], -1.0);
    QCOMPARE(highs.head(6), (Eigen::VectorXd(6) << 100, 100, 9, 2000, 1, 1000).finished());
    Capture capture;
    QCOMPARE(opt->ReadObjective(22), nullptr);
    QCOMPARE(capture.debugLines(), QStringList({"KOptSetting - ReadObjective: index not correct!"}));
}

void TestLists::deletingItemsInUse_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("row");
    // Lists shown as a table delete through the table, the others through
    // the list, as their editors do.
    QTest::addColumn<bool>("table");
    QTest::addColumn<QString>("users");
    QTest::newRow("material") << int(KBlade::Materials) << 0 << true << "Material UD is used by pattern UNIAX";
    QTest::newRow("pattern") << int(KBlade::Patterns) << 1 << false
                             << "Pattern TRIAX is used by single layer Shell-Triax, single layer Web";
    QTest::newRow("single layer of regions") << int(KBlade::SingleLayers) << 3 << false
                                             << "Single layer Spar-UD is used by region Reg-2-U, region Reg-2-L";
    QTest::newRow("single layer of webs") << int(KBlade::SingleLayers) << 4 << false
                                          << "Single layer Web is used by web Web-1, web Web-2";
    QTest::newRow("region of a web") << int(KBlade::Setting) << 4 << false << "Region Reg-2-L is used by web Web-1";
    QTest::newRow("region") << int(KBlade::Setting) << 2 << false << "";
    QTest::newRow("first profile of webs") << int(KBlade::Profiles) << 1 << true
                                            << "Profile Circle is used by web Web-1, web Web-2";
    QTest::newRow("last profile of webs") << int(KBlade::Profiles) << 4 << true
                                           << "Profile NACA63214 is used by web Web-1, web Web-2";
    QTest::newRow("profile") << int(KBlade::Profiles) << 2 << true << "";
    QTest::newRow("web") << int(KBlade::Webs) << 0 << true << "";
    QTest::newRow("sampled load case") << int(KBlade::Loads) << 0 << false
                                       << "Load case Load-1 is used by the sample setting";
    QTest::newRow("buckled load case") << int(KBlade::Loads) << 1 << false
                                       << "Load case Load-2 is used by the optimisation setting (buckled load case)";
}

// Deleting an item that others refer to is refused, naming them; nothing
// is re-pointed to another item.
void TestLists::deletingItemsInUse()
{
    QFETCH(int, list);
    QFETCH(int, row);
    QFETCH(bool, table);
    QFETCH(QString, users);
    KBlade blade;
    blade.optSetting()->setBucklingLoadCase(2);
    KObjectList* sons = blade.models().at(list);
    const QStringList names = sons->sonNames();
    const QString refusal = users.isEmpty() ? QString() : users + "; it is not deleted";
    QSignalSpy refused(&blade, &KBlade::removalRefused);
    Capture capture;
    const bool deleted = table ? sons->tableModel()->removeRows(row, 1) : sons->delSon(row);
    QCOMPARE(deleted, users.isEmpty());
    QCOMPARE(capture.outLines(), users.isEmpty() ? QStringList() : QStringList({refusal}));
    QCOMPARE(refused.count(), users.isEmpty() ? 0 : 1);
    if (!users.isEmpty())
        QCOMPARE(refused.at(0).at(0).toString(), refusal);
    QStringList left = names;
    if (deleted)
        left.removeAt(row);
    QCOMPARE(sons->sonNames(), left);
    QVERIFY(capture.debugLines().isEmpty());
}

// What refers by place follows a deletion: the regions either side keep
// their boundaries and mesh numbers, the other web its mesh numbers, the
// webs their profiles, the buckled load case its load case.
void TestLists::deletionsKeepTheOthersPlaces()
{
    KBlade blade;
    KProfileList* profiles = blade.profiles();
    KProfile* tip = profiles->profile(4);
    const auto keys = [&](int from, int to) {
        QList<int> points;
        for (int k = from; k <= to; ++k)
            points << tip->keyPoint(k);
        return points;
    };
    // Reg-3-U's strip joins Reg-3-L; the last region's joins the one before.
    const QList<int> before = keys(0, 4);
    tip->SetRegMesh(3, 23);
    QVERIFY(blade.setting()->delSon(2));
    QCOMPARE(keys(0, 3), QList<int>({before[0], before[1], before[3], before[4]}));
    QCOMPARE(tip->ReadRegMesh(2), 23);
    QVERIFY(blade.setting()->delSon(4));
    QCOMPARE(keys(0, 2), QList<int>({before[0], before[1], before[3]}));

    tip->SetWebMesh(1, 17);
    QVERIFY(blade.webs()->tableModel()->removeRows(0, 1));
    QCOMPARE(tip->ReadWebMesh(0), 17);

    // Web-2 spans profiles 2 to 5: numbers typed as numbers follow.
    const KWeb* web = blade.webs()->web(0);
    QVERIFY(profiles->tableModel()->removeRows(2, 1));
    QCOMPARE(web->endProfile()->exp(), QString("4"));
    QCOMPARE(profiles->profile(web->profileSpan().second), tip);
    // An expression cannot follow: every profile up to it is the web's.
    web->endProfile()->setExp("4 * P");
    Capture capture;
    QVERIFY(!profiles->tableModel()->removeRows(2, 1));
    QCOMPARE(capture.outLines(), QStringList({"Profile NACA63220 is used by web Web-2; it is not deleted"}));

    blade.sampleSetting()->setLoadInd(1);
    blade.optSetting()->setBucklingLoadCase(2);
    QVERIFY(blade.loads()->delSon(0));
    QCOMPARE(blade.optSetting()->bucklingLoadCase(), 1);
}

// Lists emptied by a program leave references to nothing, and the document
// still saves.
void TestLists::emptiedListsStillSave()
{
    KBlade blade;
    KLaminate* core = blade.patterns()->pattern(2)->ReadLaminateByInd(0);
    while (blade.materials()->count())
        blade.materials()->RemoveSon(0);
    QCOMPARE(core->material(), nullptr);
    QCOMPARE(core->materialIndex(), -1);
    QJsonObject json;
    core->writeJson(json);
    QCOMPARE(json["Materials"].toString(), QString());
    blade.patterns()->pattern(0)->InsertLaminate(0);
    QCOMPARE(blade.patterns()->pattern(0)->ReadLaminateByInd(0)->material(), nullptr);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    Binary::prepare(out);
    blade.writeStream(out);
    QVERIFY(!bytes.isEmpty());
}

// Every editor of a name refuses a control character, and in the lists
// whose names are references or reach a solver another item's name in
// any case; the item keeps its name and a message says why.
void TestLists::renamesInTheEditors_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<QByteArray>("role");  // a column of the list's table; empty: the list's own name role
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("material, another's in other case")
        << int(KBlade::Materials) << QByteArray("mat_input") << 0 << "tri"
        << "KMaterialList - rename: 'UD' keeps its name: 'tri' and 'TRI' differ only in letter case";
    QTest::newRow("material, control character")
        << int(KBlade::Materials) << QByteArray("mat_input") << 1 << "TRI\n*INCLUDE,INPUT=x.inp"
        << "KMaterialList - rename: 'TRI' keeps its name: 'TRI\\n*INCLUDE,INPUT=x.inp' holds a control character";
    QTest::newRow("material, free") << int(KBlade::Materials) << QByteArray("mat_input") << 0 << "Glass" << QString();
    QTest::newRow("material, its own in other case") << int(KBlade::Materials) << QByteArray() << 1 << "Tri" << QString();
    QTest::newRow("web") << int(KBlade::Webs) << QByteArray("name_input") << 1 << "WEB-1"
                         << "KWebList - rename: 'Web-2' keeps its name: 'WEB-1' and 'Web-1' differ only in letter case";
    QTest::newRow("laminate") << int(KBlade::Patterns) << QByteArray() << 2 << "uniax"
                              << "KPatternList - rename: 'Core' keeps its name: 'uniax' and 'UNIAX' differ only in "
                                 "letter case";
    QTest::newRow("single layer") << int(KBlade::SingleLayers) << QByteArray() << 4 << "Spar-UD"
                                  << "KSingleLayerList - rename: 'Web' keeps its name: 'Spar-UD' is taken";
    QTest::newRow("region") << int(KBlade::Setting) << QByteArray() << 0 << "reg-1-l"
                            << "KBladeSetting - rename: 'Reg-1-U' keeps its name: 'reg-1-l' and 'Reg-1-L' differ "
                               "only in letter case";
    QTest::newRow("profile, control character")
        << int(KBlade::Profiles) << QByteArray("name_input") << 0 << "Circle\r"
        << "KProfileList - rename: 'Circle' keeps its name: 'Circle\\r' holds a control character";
    QTest::newRow("profile, a repeated label") << int(KBlade::Profiles) << QByteArray("name_input") << 2 << "circle"
                                               << QString();
}

void TestLists::renamesInTheEditors()
{
    QFETCH(int, list);
    QFETCH(QByteArray, role);
    QFETCH(int, row);
    QFETCH(QString, name);
    QFETCH(QString, message);
    KBlade blade;
    KObjectList* sons = blade.models().at(list);
    const QString before = sons->ReadSon(row)->name();
    Capture capture;
    if (role.isEmpty()) {
        QCOMPARE(sons->setData(sons->index(row), name, Qt::EditRole), message.isEmpty());
    } else {
        KObjectTableModel* table = sons->tableModel();
        QCOMPARE(table->setData(table->index(row, 0), name, roleOf(table, role)), message.isEmpty());
    }
    QCOMPARE(sons->ReadSon(row)->name(), message.isEmpty() ? name : before);
    QCOMPARE(capture.outLines(), message.isEmpty() ? QStringList() : QStringList({message}));
    QVERIFY(capture.debugLines().isEmpty());

    // New items take free names where names are unique; labels repeat.
    QVERIFY(sons->addSon() && sons->addSon());
    const int n = sons->count();
    QCOMPARE(KObjectList::sameName(sons->ReadSon(n - 2)->name(), sons->ReadSon(n - 1)->name()), !sons->uniqueNames());
    QCOMPARE(sons->namesProblem(sons->sonNames()), QString());
}

QTEST_GUILESS_MAIN(TestLists)
#include "tst_lists.moc"
