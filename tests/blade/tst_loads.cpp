#include "capture.h"
#include "files.h"
#include "blade/kblade.h"
#include "blade/kload.h"
#include "blade/loadtable.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Folvane;

class TestLoads : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateHome(); }
    void loadsWithoutStationsJoin_data();
    void loadsWithoutStationsJoin();
    void importedTables_data();
    void importedTables();
};

// Point loads nearer to each other than the stations are, or beyond either
// end, leave some without a station of their own: each joins the range of
// its nearest station, says so when it carries a force, and no force is lost.
void TestLoads::loadsWithoutStationsJoin_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QVector<double>>("stations");
    QTest::addColumn<QVector<double>>("fy");
    QTest::addColumn<QStringList>("messages");
    const QString joins("Load case Gust: the point load at %1 mm has no station of its own and shares those of the "
                        "point load at %2 mm");
    QTest::newRow("three rows at one location")
        << QByteArray("z,x,y,z\n5000,0,-1000,0\n5000,0,-1000,0\n5000,0,-1000,0\n")
        << QVector<double>{0, 2500, 5000, 7500, 10000} << QVector<double>{-500, -500, -2000.0 / 3, -2000.0 / 3, -2000.0 / 3}
        << QStringList{joins.arg(5000).arg(5000)};
    QTest::newRow("rows nearer than the stations")
        << QByteArray("z,x,y,z\n0,0,8,0\n10,0,5,0\n20,0,4,0\n") << QVector<double>{0, 100} << QVector<double>{8.5, 8.5}
        << QStringList{joins.arg(0).arg(20), joins.arg(10).arg(20)};
    QTest::newRow("beyond the tip")
        << QByteArray("z,x,y,z\n1e9,0,3,0\n2e9,0,6,0\n3e9,0,9,0\n") << QVector<double>{0, 100, 200}
        << QVector<double>{1.5, 1.5, 15} << QStringList{joins.arg("2e+09", "3e+09")};
    QTest::newRow("before the root")
        << QByteArray("z,x,y,z\n-3e9,0,3,0\n-2e9,0,6,0\n-1e9,0,9,0\n") << QVector<double>{0, 100, 200}
        << QVector<double>{6, 6, 6} << QStringList{joins.arg("-3e+09", "-1e+09"), joins.arg("-2e+09", "-1e+09")};
    QTest::newRow("a load without force joins without a word")
        << QByteArray("z,x,y,z\n0,0,0,0\n0,0,5,0\n") << QVector<double>{0, 100} << QVector<double>{2.5, 2.5}
        << QStringList();
}

void TestLoads::loadsWithoutStationsJoin()
{
    QFETCH(QByteArray, table);
    QFETCH(QVector<double>, stations);
    QFETCH(QVector<double>, fy);
    QFETCH(QStringList, messages);
    KBlade blade;
    std::vector<TableLoad> loads;
    QString error;
    QVERIFY(parseLoadTable(table, loads, error));
    appendLoadCase(blade, "Gust", loads);
    KLoad* load = blade.loads()->load(blade.loads()->count() - 1);
    Capture capture;
    const Eigen::MatrixXd spread = load->distribute(Eigen::Map<const Eigen::VectorXd>(stations.data(), stations.size()));
    QCOMPARE(capture.outLines(), messages);
    QCOMPARE(capture.debugLines(), QStringList());
    QCOMPARE(Eigen::VectorXd(spread.col(1)), Eigen::VectorXd(Eigen::Map<const Eigen::VectorXd>(fy.data(), fy.size())));
    QVERIFY(spread.col(0).isZero(0.0) && spread.col(2).isZero(0.0));
}

// A load table joins the default blade (root at 0, tip at 13150) only
// where every location lies on it, and the import reports its totals.
void TestLoads::importedTables_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QStringList>("report");
    QTest::addColumn<QString>("error");
    QTest::newRow("three rows at one location")
        << QByteArray("z,Fx,Fy,Fz\n5000,0,-1000,0\n5000,0,-1000,0\n5000,0,-1000,0\n")
        << QStringList{"Load case flap added with 3 point loads",
                       "Load case flap: ΣFx 0 N, ΣFy -3000 N, ΣFz 0 N; about the root (z 0 mm) the rows at their "
                       "locations give Mx 1.5e+07 N·mm, My 0 N·mm"}
        << QString();
    QTest::newRow("within rounding of either end")
        << QByteArray("z,Fx,Fy,Fz\n-0.5,0,2,0\n13150.5,10,-20,30\n")
        << QStringList{"Load case flap added with 2 point loads",
                       "Load case flap: ΣFx 10 N, ΣFy -18 N, ΣFz 30 N; about the root (z 0 mm) the rows at their "
                       "locations give Mx 263011 N·mm, My 131505 N·mm"}
        << QString();
    QTest::newRow("beyond the tip") << QByteArray("z,Fx,Fy,Fz\n5000,0,1,0\n13150.6,0,1,0\n") << QStringList()
                                    << "line 3: the location 13150.6 mm lies outside the blade, which runs from 0 to "
                                       "13150 mm";
    QTest::newRow("before the root") << QByteArray("z,Fx,Fy,Fz\n\n-5000,0,1,0\n") << QStringList()
                                     << "line 3: the location -5000 mm lies outside the blade, which runs from 0 to "
                                        "13150 mm";
}

void TestLoads::importedTables()
{
    QFETCH(QByteArray, table);
    QFETCH(QStringList, report);
    QFETCH(QString, error);
    QTemporaryDir dir;
    writeBytes(dir.filePath("flap.csv"), table);
    KBlade blade;
    const int cases = blade.loads()->count();
    QStringList lines;
    QString reason;
    Capture capture;
    QCOMPARE(importLoadCase(blade, dir.filePath("flap.csv"), lines, reason), error.isEmpty());
    QCOMPARE(lines, report);
    QCOMPARE(reason, error);
    QCOMPARE(blade.loads()->count(), cases + (error.isEmpty() ? 1 : 0));
    QCOMPARE(capture.outLines(), QStringList());
    QCOMPARE(capture.debugLines(), QStringList());
}

QTEST_GUILESS_MAIN(TestLoads)
#include "tst_loads.moc"
