#include "capture.h"
#include "files.h"
#include "roles.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "core/parameter.h"
#include "core/parameterlist.h"
#include "fem/model.h"
#include "geometry/kprofile.h"
#include "geometry/kprofilelist.h"
#include "geometry/polyline.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

using namespace Folvane;

namespace {

Eigen::MatrixXd squareLoop()
{
    Eigen::MatrixXd p(4, 2);
    p << 0, 0, 0, 1, 1, 1, 1, 0;
    return p;
}

} // namespace

class TestProfiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateHome(); }
    void placement();
    void pointFileImport();
    void clipboardText();
    void keyIndexSorting();
    void automaticMeshNumbers();
    void previewCoordinates();
    void binaryRecord();
    void equalLocationsKeepTheirOrder();
    void linkedLocationsFollowTheParameters();
    void pointTableAndListMessages();
    void polylineTools();
};

void TestProfiles::placement()
{
    KProfile p;
    QCOMPARE(p.name(), QString("Circle"));
    QCOMPARE(p.pointNum(), 58u);
    while (p.pointNum() > 0)
        p.RemovePoint(0);
    p.InsertPoint(0);
    p.ReadPoint(0)->setX(1);
    p.twist()->setValue(90);
    p.chordLen()->setValue(2);
    p.xOffset()->setValue(10);
    p.yOffset()->setValue(-1);
    p.loc()->setValue(500);
    const Eigen::MatrixXd placed = p.placedPoints();
    QVERIFY(std::abs(placed(0, 0) - 10) < 1e-12);
    QVERIFY(std::abs(placed(0, 1) - 1) < 1e-12);
    QCOMPARE(p.placedPoints3D()(0, 2), 500.0);
    QCOMPARE(p.referencePoint(), Eigen::Vector3d(10, -1, 500));

    // Twist turns counter-clockwise: 30 degrees takes (0, 1) to (-0.5, 0.866).
    p.ReadPoint(0)->setX(0);
    p.ReadPoint(0)->setY(1);
    p.twist()->setValue(30);
    p.chordLen()->setValue(1);
    p.xOffset()->setValue(0);
    p.yOffset()->setValue(0);
    QVERIFY(std::abs(p.placedPoints()(0, 0) + 0.5) < 1e-12);
    QVERIFY(std::abs(p.placedPoints()(0, 1) - std::sqrt(0.75)) < 1e-12);
}

void TestProfiles::pointFileImport()
{
    QTemporaryDir dir;
    const QString good = dir.filePath("good.txt");
    writeBytes(good, "0 0\n  \n0.5\t0.1 7\n1 0\n\n0.5 -0.1\n");
    KProfile p;
    p.setFp(QUrl::fromLocalFile(good).toString());
    QCOMPARE(p.fp(), good);
    QCOMPARE(p.pointNum(), 4u);
    QCOMPARE(p.ReadPoint(3)->y(), -0.1);
    QCOMPARE(p.ReadPoint(1)->x(), 0.5);
    // Choosing the same file again imports it again.
    p.RemovePoint(0);
    p.setFp(good);
    QCOMPARE(p.pointNum(), 4u);

    Capture capture;
    writeBytes(dir.filePath("one.txt"), "0\n1\n2\n");
    writeBytes(dir.filePath("word.txt"), "NACA 0012\n0 0\n1 0\n");
    writeBytes(dir.filePath("short.txt"), "0 0 0\n1 1\n");
    writeBytes(dir.filePath("two.txt"), "0 0\n1 1\n\n");
    writeBytes(dir.filePath("nan.txt"), "0 0\n1 nan\n2 0\n");
    writeBytes(dir.filePath("long.txt"), QByteArray("0 0\n").repeated(KProfile::MaxPointCount + 1));
    for (const char* name : {"missing.txt", "one.txt", "word.txt", "short.txt", "two.txt", "nan.txt", "long.txt"})
        p.setFp(dir.filePath(name));
    QCOMPARE(p.pointNum(), 4u);
    QCOMPARE(capture.debugLines(),
             QStringList({"KProfile::ImportProfile - cannot open " + dir.filePath("missing.txt"),
                          "KProfile::ImportProfile - line 1 holds fewer than two numbers: " + dir.filePath("one.txt"),
                          "KProfile::ImportProfile - line 1 is not a point: " + dir.filePath("word.txt"),
                          "KProfile::ImportProfile - line 2 holds fewer than two numbers: " + dir.filePath("short.txt"),
                          "KProfile::ImportProfile - fewer than 3 points: " + dir.filePath("two.txt"),
                          "KProfile::ImportProfile - line 2 is not a point: " + dir.filePath("nan.txt"),
                          "KProfile::ImportProfile - more than 100000 points: " + dir.filePath("long.txt")}));
    // The most points a profile takes, replacing them in linear time.
    writeBytes(dir.filePath("most.txt"), QByteArray("0 0\n").repeated(KProfile::MaxPointCount));
    p.setFp(dir.filePath("most.txt"));
    QCOMPARE(p.pointNum(), 100000u);
    p.setFp(good);
    QCOMPARE(p.pointNum(), 4u);
}

void TestProfiles::clipboardText()
{
    KProfile p;
    QVERIFY(p.importPointText("0\t0\n0.5\t0.2\n1\t0\n0.5\t-0.2\n", 0));
    QCOMPARE(p.pointNum(), 4u);
    QCOMPARE(p.ReadPoint(3)->y(), -0.2);
    QVERIFY(p.importPointText("0;0\r\n0.5;0.2\r\n1;0\r\n0.5;-0.1\r\n0.2;-0.1\r\n", 3));
    QCOMPARE(p.pointNum(), 5u);
    QVERIFY(p.importPointText("0,0\n1,2\n3,4\n5,6\n", 1));
    QCOMPARE(p.ReadPoint(2)->x(), 3.0);
    QVERIFY(p.importPointText("0 0\n1 2\n3 4\n5 6\n", 2));

    Capture capture;
    QVERIFY(!p.importPointText("0 0\n1 2\n3 4\n5 6", 2));
    QVERIFY(!p.importPointText("0 0\n1 x\n3 4\n5 6\n", 2));
    QCOMPARE(p.pointNum(), 4u);
    p.ImportFromClipboard(0);  // no clipboard without a GUI application
    QCOMPARE(capture.debugLines(), QStringList({"KProfile::importFromClipboard - at least 4 points needed!",
                                                "KProfile::importFromClipboard - line 2 is not a point",
                                                "KProfile::importFromClipboard - no clipboard available"}));
}

void TestProfiles::keyIndexSorting()
{
    KProfile p;
    const double values[] = {30, 4, 27, 2, 1};
    for (int i = 0; i < 5; ++i)
        p.ReadKeyInd(i)->setValue(values[i]);
    p.SortKeyInd(2);
    QCOMPARE(p.ReadKeyInd(0)->value(), 30.0);
    // With five regions the first three of the four used entries are sorted.
    p.SortKeyInd(5);
    QCOMPARE(p.ReadKeyInd(0)->value(), 4.0);
    QCOMPARE(p.ReadKeyInd(1)->value(), 27.0);
    QCOMPARE(p.ReadKeyInd(2)->value(), 30.0);
    QCOMPARE(p.ReadKeyInd(3)->value(), 2.0);
    QCOMPARE(p.keyPoint(1), 26);
    QCOMPARE(p.keyPoint(29), -1);
    Capture capture;
    QCOMPARE(p.ReadKeyInd(29), nullptr);
    QCOMPARE(capture.debugLines(), QStringList({"KProfile - ReadKeyInd: index not correct!"}));
}

void TestProfiles::automaticMeshNumbers()
{
    KProfile p;
    for (KPoint* point : p.points())
        point->setX(point->x());
    while (p.pointNum() > 0)
        p.RemovePoint(0);
    const Eigen::MatrixXd square = squareLoop();
    for (int i = 0; i < 4; ++i) {
        p.InsertPoint(i);
        p.ReadPoint(i)->setX(square(i, 0));
        p.ReadPoint(i)->setY(square(i, 1));
    }
    p.chordLen()->setValue(100);
    // Three regions split at points 1 and 3: lengths 100, 200, 100; a key
    // index of 1 makes the first region a single point.
    p.ReadKeyInd(0)->setValue(2);
    p.ReadKeyInd(1)->setValue(4);
    p.AutoMesh(30, 3, {0, 1}, {2, 0});
    QCOMPARE(p.ReadRegMesh(0), 5);
    QCOMPARE(p.ReadRegMesh(1), 8);
    QCOMPARE(p.ReadRegMesh(2), 5);
    QCOMPARE(p.ReadRegMesh(3), 10);
    // Web 0 from the end of region 0 (point 1) to the end of region 2 (point 0).
    QCOMPARE(p.ReadWebMesh(0), 5);
    QCOMPARE(p.ReadWebMesh(1), nodeCountFor(std::sqrt(2.0) * 100, 30));
    p.ReadKeyInd(0)->setValue(1);
    p.AutoMesh(30, 3, {}, {});
    QCOMPARE(p.ReadRegMesh(0), 2);

    Capture capture;
    p.AutoMesh(30, 3, {0}, {});
    p.ReadKeyInd(1)->setValue(9);
    p.AutoMesh(30, 3, {}, {});
    QCOMPARE(p.ReadRegMesh(1), 12);  // unchanged: points 0 to 3, 300 long
    p.SetRegMesh(30, 1);
    p.SetWebMesh(-1, 1);
    QCOMPARE(p.ReadRegMesh(30), -1);
    QCOMPARE(p.ReadWebMesh(30), -1);
    QCOMPARE(capture.debugLines(), QStringList({"KProfile - AutoMesh: web number not correct!",
                                                "KProfile - AutoMesh: key index 2 of Circle not correct!",
                                                "KProfile - SetRegMesh: index not correct!",
                                                "KProfile - SetWebMesh: index not correct!",
                                                "KProfile - ReadRegMesh: index not correct!",
                                                "KProfile - ReadWebMesh: index not correct!"}));

    // The list: the last profile keeps its radius mesh number; a mesh size
    // of zero is refused rather than asking for endless nodes.
    KBlade blade;
    blade.profiles()->profile(4)->setRadiusMesh(77);
    blade.setting()->setMeshSize(1000);
    blade.profiles()->autoMesh();
    QCOMPARE(blade.profiles()->profile(4)->radiusMesh(), 77);
    QCOMPARE(blade.profiles()->profile(2)->radiusMesh(), 10);
    capture.clear();
    blade.setting()->setMeshSize(0);
    QCOMPARE(blade.setting()->meshSize(), 1000.0);
    QCOMPARE(blade.profiles()->profile(2)->radiusMesh(), 10);
    QCOMPARE(capture.outLines(),
             QStringList({"Mesh size 0 refused: a mesh size is a positive number of mm; it stays 1000"}));
    QVERIFY(capture.debugLines().isEmpty());
}

void TestProfiles::previewCoordinates()
{
    KProfile p;
    while (p.pointNum() > 0)
        p.RemovePoint(0);
    const Eigen::MatrixXd square = squareLoop();
    for (int i = 0; i < 4; ++i) {
        p.InsertPoint(i);
        p.ReadPoint(i)->setX(square(i, 0) * 2);
        p.ReadPoint(i)->setY(square(i, 1));
    }
    // A 2 x 1 outline in a 400 x 300 box: 300 / 400 is 0 in integers, below
    // 1 / 2, so the height sets the scale (300).
    QCOMPARE(p.pointX(2, 400, 300), 600.0);
    QCOMPARE(p.pointY(2, 400, 300), 0.0);
    QCOMPARE(p.pointY(0, 400, 300), 300.0);
    // In a 100 x 400 box the integer ratio 4 exceeds 1 / 2: the width does (50).
    QCOMPARE(p.pointX(2, 100, 400), 100.0);
    QCOMPARE(p.pointY(1, 100, 400), 350.0);
    QCOMPARE(p.pointX(9, 100, 400), 0.0);
    QCOMPARE(p.pointX(1, 0, 0), 0.0);
}

void TestProfiles::equalLocationsKeepTheirOrder()
{
    // Many profiles at few locations: a sort that is not stable reorders
    // them on every read, so a file never reads back the same.
    KBlade blade;
    KProfileList* profiles = blade.profiles();
    while (profiles->count() < 40)
        profiles->InsertNewSon(profiles->count());
    QStringList expected;
    for (int location : {0, 100, 200}) {
        for (int i = 0; i < 40; ++i) {
            if (i % 3 * 100 == location)
                expected << QString("P%1").arg(i);
        }
    }
    for (int i = 0; i < 40; ++i) {
        profiles->profile(i)->setName(QString("P%1").arg(i));
        profiles->profile(i)->loc()->setValue(i % 3 * 100);
    }
    const auto names = [](const KBlade& b) {
        QStringList found;
        for (int i = 0; i < b.profiles()->count(); ++i)
            found << b.profiles()->profile(i)->name();
        return found;
    };
    profiles->SortProfiles();
    QCOMPARE(names(blade), expected);

    // The first read also sorts the default loads; from then on the bytes stay.
    QByteArray bytes = modelBytes(blade);
    for (int round = 0; round < 3; ++round) {
        KBlade copy;
        QVERIFY(readModelBytes(copy, bytes));
        QCOMPARE(names(copy), expected);
        if (round > 0)
            QCOMPARE(modelBytes(copy), bytes);
        bytes = modelBytes(copy);
    }
}

// The parameters' engine holds the values of its last refresh, here those
// of a new document (P = 1); the list evaluates against the current ones.
void TestProfiles::linkedLocationsFollowTheParameters()
{
    KBlade blade;
    blade.parameters()->parameter(0)->setValue(2);
    KProfileList* profiles = blade.profiles();
    // At 500 and 1000, as in the default blade; with P = 1 they would swap.
    profiles->profile(1)->loc()->setExp("1500 - P * 500");
    profiles->profile(2)->loc()->setExp("P * 500");
    profiles->autoMesh();
    blade.genFEModel();
    QCOMPARE(blade.feModel()->nodes().count(), 440);

    KBlade copy;
    QVERIFY(readModelBytes(copy, modelBytes(blade)));
    QStringList names;
    for (int i = 0; i < copy.profiles()->count(); ++i)
        names << copy.profiles()->profile(i)->name();
    QCOMPARE(names, QStringList({"Circle", "Circle", "NACA63240", "NACA63220", "NACA63214"}));
    QCOMPARE(copy.profiles()->profile(2)->loc()->exp(), QString("P * 500"));
    copy.profiles()->autoMesh();
    copy.genFEModel();
    QCOMPARE(copy.feModel()->nodes().count(), 440);

    profiles->profile(0)->loc()->setExp("P * 10 - 100");
    profiles->profile(4)->loc()->setExp("13000 + P");
    blade.parameters()->parameter(0)->setValue(3);
    QCOMPARE(profiles->startLoc(), -70.0);
    QCOMPARE(profiles->endLoc(), 13003.0);
    blade.parameters()->parameter(0)->setValue(5);
    QCOMPARE(profiles->startLoc(), -50.0);
}

void TestProfiles::binaryRecord()
{
    KBlade blade;
    KProfile* p = blade.profiles()->profile(3);
    p->twist()->setExp("P * 2");
    p->SetWebMesh(3, 44);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    Binary::prepare(out);
    p->writeBinary(out);
    // The record ends with the two mesh vectors, each counted in 64 bits,
    // and the radius mesh number.
    QByteArray tail;
    QDataStream t(&tail, QIODevice::WriteOnly);
    Binary::prepare(t);
    t << qint64(30);
    for (int i = 0; i < 30; ++i)
        t << qint32(p->ReadRegMesh(i));
    t << qint64(30);
    for (int i = 0; i < 30; ++i)
        t << qint32(p->ReadWebMesh(i));
    t << qint32(p->radiusMesh());
    QVERIFY(bytes.endsWith(tail));

    QDataStream in(bytes);
    Binary::prepare(in);
    KProfile copy(in, blade.profiles());
    QCOMPARE(in.status(), QDataStream::Ok);
    QCOMPARE(copy.twist()->exp(), QString("P * 2"));
    QCOMPARE(copy.ReadWebMesh(3), 44);
    QCOMPARE(copy.ReadPoint(10)->x(), p->ReadPoint(10)->x());
    QCOMPARE(copy.radiusMesh(), p->radiusMesh());
    QByteArray again;
    QDataStream out2(&again, QIODevice::WriteOnly);
    Binary::prepare(out2);
    copy.writeBinary(out2);
    QCOMPARE(again, bytes);
}

void TestProfiles::pointTableAndListMessages()
{
    KBlade blade;
    KProfileList* profiles = blade.profiles();
    KPointTableModel* points = profiles->pointModel();
    QCOMPARE(points->profile(), profiles->profile(0));
    QVERIFY(profiles->changePointModel(4));
    QCOMPARE(points->rowCount(), 58);
    QCOMPARE(points->data(points->index(29, 0), roleOf(points, "x_user")).toDouble(), 1.0);
    QVERIFY(points->setData(points->index(29, 1), 0.5, roleOf(points, "y_input")));
    QCOMPARE(profiles->profile(4)->ReadPoint(29)->y(), 0.5);

    Capture capture;
    QVERIFY(!profiles->changePointModel(5));
    QVERIFY(!points->insertRows(59, 1));
    QVERIFY(!points->removeRows(57, 2));
    profiles->InsertNewSon(6);
    QCOMPARE(capture.debugLines(), QStringList({"KProfileList::ChangePointModel - index out of range",
                                                "KPointTableModel - insertRows: insert position not correct!",
                                                "KPointTableModel - removeRows: remove position not correct!",
                                                "KProfileList - InsertNewSon: index not correct!"}));

    // Deleting the profile the point table shows moves it to the profile
    // that takes that place, never leaving it on one that is gone.
    profiles->RemoveSon(4);
    QCOMPARE(points->profile(), profiles->profile(3));
    QCOMPARE(points->rowCount(), profiles->profile(3)->pointNum());

    KObjectTableModel* table = profiles->tableModel();
    QCOMPARE(table->columnCount(), 7);
    QVERIFY(table->setData(table->index(1, 0), "-2500", roleOf(table, "loc_input")));
    static_cast<KProfileTableModel*>(table)->sortSons();
    QCOMPARE(profiles->profile(0)->loc()->value(), -2500.0);
    QCOMPARE(qvariant_cast<Linker*>(table->data(table->index(0, 0), roleOf(table, "loc_user")))->value(), -2500.0);
    QCOMPARE(blade.startLoc(), -2500.0);
    profiles->InsertNewSon(4);
    QCOMPARE(profiles->profile(4)->name(), QString("Circle"));
    QCOMPARE(profiles->profile(4)->chordLen()->value(), 1.0);
}

void TestProfiles::polylineTools()
{
    const Eigen::MatrixXd square = squareLoop();
    QCOMPARE(polylineLength(square), 3.0);
    QCOMPARE(nodeCountFor(299.9, 300), 2);
    QCOMPARE(nodeCountFor(600, 300), 4);
    QCOMPARE(nodeCountFor(1, 0), MaxNodeCount);
    QCOMPARE(nodeCountFor(qQNaN(), 300), MaxNodeCount);

    const Eigen::MatrixXd r = resampleByArcLength(square, 7);
    QCOMPARE(r.rows(), Eigen::Index(7));
    QCOMPARE(Eigen::Vector2d(r.row(3)), Eigen::Vector2d(0.5, 1));
    QCOMPARE(Eigen::Vector2d(r.row(6)), Eigen::Vector2d(1, 0));
    QCOMPARE(Eigen::Vector2d(resampleByArcLength(square, 1).row(0)), Eigen::Vector2d(1, 0));
    // Repeated points add nothing and break nothing.
    Eigen::MatrixXd doubled(5, 2);
    doubled << 0, 0, 0, 0, 0, 1, 0, 1, 0, 2;
    QCOMPARE(resampleByArcLength(doubled, 3).col(1), Eigen::Vector3d(0, 1, 2));
    QCOMPARE(resampleByArcLength(Eigen::MatrixXd::Zero(3, 2), 4), Eigen::MatrixXd::Zero(4, 2));

    const std::vector<Eigen::MatrixXd> chains = splitRing(square, {0, 1, 3, 0});
    QCOMPARE(chains.size(), size_t(3));
    QCOMPARE(chains[2].rows(), Eigen::Index(2));
    QCOMPARE(Eigen::Vector2d(chains[2].row(1)), Eigen::Vector2d(0, 0));
    const JoinedChains closed = joinChains(chains, false);
    QCOMPARE(closed.points, square);
    QCOMPARE(closed.starts, std::vector<int>({1, 3}));
    QCOMPARE(joinChains(chains, true).points.rows(), Eigen::Index(5));
}

QTEST_GUILESS_MAIN(TestProfiles)
#include "tst_profiles.moc"
