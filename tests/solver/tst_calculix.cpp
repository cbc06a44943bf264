#include "capture.h"
#include "core/messages.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Folvane;

// The default blade's decks, for each load case and both element shapes,
// solved by the real CalculiX.
class TestCalculix : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateHome(); }
    void solvesTheDefaultBlade_data();
    void solvesTheDefaultBlade();
};

void TestCalculix::solvesTheDefaultBlade_data()
{
    QTest::addColumn<bool>("quadDominant");
    QTest::addColumn<int>("loadCase");
    for (bool quads : {true, false}) {
        for (int load : {0, 1})
            QTest::newRow(qPrintable(QString("%1, load case %2").arg(quads ? "quads" : "triangles").arg(load + 1)))
                << quads << load;
    }
}

void TestCalculix::solvesTheDefaultBlade()
{
    QFETCH(bool, quadDominant);
    QFETCH(int, loadCase);
    QTemporaryDir dir;
    KBlade blade;
    blade.setting()->setMeshBySize(quadDominant);
    {
        QuietDebug quiet;
        blade.genFEModel();
    }
    blade.exportCCXInp(dir.filePath("NewBlade.inp"), loadCase);

    QProcess ccx;
    ccx.setWorkingDirectory(dir.path());
    ccx.setProcessChannelMode(QProcess::MergedChannels);
    ccx.start("ccx", {"-i", "NewBlade"});
    QVERIFY(ccx.waitForFinished(120000));
    const QString log = QString::fromUtf8(ccx.readAll());
    QVERIFY2(!log.contains("*ERROR"), qPrintable(log.right(2000)));
    QVERIFY2(log.contains("Job finished"), qPrintable(log.right(2000)));

    QFile dat(dir.filePath("NewBlade.dat"));
    QVERIFY(dat.open(QIODevice::ReadOnly));
    const QString results = QString::fromUtf8(dat.readAll());
    QVERIFY(results.contains("displacements (vx,vy,vz) for set NALL"));
    QVERIFY(results.contains("stresses (elem, integ.pnt.,sxx,syy,szz,sxy,sxz,syz) for set EALL"));
    QVERIFY(results.contains("strains (elem, integ.pnt.,exx,eyy,ezz,exy,exz,eyz) for set EALL"));
}

QTEST_GUILESS_MAIN(TestCalculix)
#include "tst_calculix.moc"
