// The reference blades of windIO 1.x and 2.0 as a user runs them: imported,
// loaded from a table, solved by CalculiX statically and for their modes.
// Mostly solver time: the Release pass alone runs it.
#include "capture.h"
#include "files.h"
#include "program.h"
#include "blade/kblade.h"
#include "blade/windiodocument.h"

#include <QtTest>

using namespace Folvane;

class TestWindioBlades : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateHome(); }
    void solvedByCalculix_data();
    void solvedByCalculix();
};

// Coarser meshes than the imported 500 mm keep the run short, and their
// first frequencies stay within 2 % of the imported mesh's, measured here at
// 500 mm: IEA 15 MW 0.511188 and 0.684976 Hz (at 700 mm -0.16 % and -0.17 %;
// from 800 mm CalculiX stops on it, see README), IEA 3.4 MW 0.708944 and
// 0.962541 Hz (at 1000 mm -1.6 % and -0.07 %). The 2.0 file of IEA 15 MW
// places its trailing-edge reinforcements by the arcs it gives (see README):
// 0.511 and 0.689 Hz at 500 mm; IEA 3.4 MW's 2.0 file gives its 1.x twin's
// model to 0.2 % of the mass, and so its frequencies. A row without frequencies leaves the blade's
// modes to the beam-model test, which runs them.
void TestWindioBlades::solvedByCalculix_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<double>("meshSize");   // mm
    QTest::addColumn<double>("length");     // mm, the blade's
    QTest::addColumn<double>("flap");       // Hz, first flapwise mode at 500 mm
    QTest::addColumn<double>("edge");       // Hz, first edgewise mode at 500 mm
    QTest::newRow("IEA 15 MW") << "IEA-15-240-RWT.yaml" << 700.0 << 117000.0 << 0.0 << 0.0;
    QTest::newRow("IEA 15 MW 2.0") << "IEA-15-240-RWT-2.0.yaml" << 700.0 << 117000.0 << 0.511 << 0.689;
    QTest::newRow("IEA 3.4 MW") << "IEA-3.4-130-RWT-1.x.yaml" << 1000.0 << 63000.0 << 0.708944 << 0.962541;
    QTest::newRow("IEA 3.4 MW 2.0") << "IEA-3.4-130-RWT-2.0.yaml" << 1000.0 << 63000.0 << 0.708944 << 0.962541;
    QTest::newRow("NREL 5 MW 2.0") << "nrel5mw-2.0.yaml" << 500.0 << 61500.0 << 0.852 << 1.050;
}

void TestWindioBlades::solvedByCalculix()
{
    QFETCH(QString, file);
    QFETCH(double, meshSize);
    QFETCH(double, length);
    QFETCH(double, flap);
    QFETCH(double, edge);
    ProgramFolder folder;
    KBlade blade;
    {
        Capture quiet;
        Windio::ImportSettings settings;
        settings.meshSize = meshSize;
        Windio::ImportReport report;
        QString error;
        QVERIFY2(Windio::importFile(blade, QStringLiteral(FOLVANE_WINDIO_DIR "/") + file, settings, report, error),
                 qPrintable(error));
    }
    writeBytes(folder.path("blade.fvm"), modelBytes(blade));
    // Pushed towards the suction side (-y here) near the tip.
    writeBytes(folder.path("tip.csv"), QStringLiteral("z,Fx,Fy,Fz\n%1,0,-100000,0\n").arg(0.9 * length).toUtf8());
    ProgramRun run = folder.run({"-importloads", folder.path("blade.fvm"), folder.path("tip.csv"),
                                 folder.path("loaded.fvm")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("Load case tip added with 1 point loads\n"));

    run = folder.run({"-analyse", folder.path("loaded.fvm"), "2"}, "run", 3600000);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err.right(2000)));
    const QString stem = folder.path("run/" + QFileInfo(file).completeBaseName());
    const QStringList rows = QString::fromUtf8(fileBytes(stem + "-2.out")).trimmed().split('\n');
    const QStringList root = rows[1].split(' ', Qt::SkipEmptyParts);
    const QStringList tip = rows.last().split(' ', Qt::SkipEmptyParts);
    QCOMPARE(tip.size(), 21);
    // def X and def Y: the tip goes the way it is pushed, the root stays put.
    const double tipX = tip[5].toDouble(), tipY = tip[6].toDouble();
    qInfo("tip deflection: %.0f mm flapwise, %.0f mm edgewise", tipY, tipX);
    QVERIFY(tipY < -100.0);
    QVERIFY(std::abs(tipX) < std::abs(tipY));
    // The root's station moves a few thousandths of a millimetre, not quite
    // none (0.0036 mm on IEA 3.4 MW against 2852 mm at the tip).
    QVERIFY(std::hypot(root[5].toDouble(), root[6].toDouble()) < 1e-4 * std::abs(tipY));

    if (flap == 0.0)
        return;
    run = folder.run({"-modal", folder.path("loaded.fvm"), "2"}, "run", 3600000);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err.right(2000)));
    const QStringList modes = QString::fromUtf8(fileBytes(stem + "-modal.out")).trimmed().split('\n');
    QCOMPARE(modes.size(), 3);
    const QStringList first = modes[1].split(' ', Qt::SkipEmptyParts);
    const QStringList second = modes[2].split(' ', Qt::SkipEmptyParts);
    QCOMPARE(first.value(2), QString("flapwise"));
    QCOMPARE(second.value(2), QString("edgewise"));
    qInfo("first flapwise %s Hz, edgewise %s Hz", qPrintable(first[1]), qPrintable(second[1]));
    QVERIFY2(std::abs(first[1].toDouble() / flap - 1.0) < 0.02, qPrintable(first[1]));
    QVERIFY2(std::abs(second[1].toDouble() / edge - 1.0) < 0.02, qPrintable(second[1]));
}

QTEST_GUILESS_MAIN(TestWindioBlades)
#include "tst_windioblades.moc"
