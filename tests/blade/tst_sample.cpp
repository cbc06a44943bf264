#include "capture.h"
#include "blade/kanalysis.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "blade/ksamplesetting.h"
#include "core/messages.h"
#include "core/parameter.h"
#include "core/parameterlist.h"
#include "geometry/kprofilelist.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Folvane;

namespace {

void prepare(KBlade& blade, const QString& folder)
{
    Parameter* p = blade.parameters()->parameter(0);
    p->setIsSampled(true);
    p->setDisType(Parameter::Uniform);
    p->setPar1(2);
    p->setPar2(4);
    blade.setting()->setMeshSize(1000);
    blade.profiles()->autoMesh();
    KSampleSetting* sample = blade.sampleSetting();
    sample->setSamFolder(folder);
    sample->setSamNum(3);
    sample->setLoadInd(1);
}

} // namespace

class TestSample : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateHome(); }
    void nothingWithoutExports();
    void modelFilesAndAnsysInputs();
};

void TestSample::nothingWithoutExports()
{
    QTemporaryDir dir;
    KBlade blade;
    prepare(blade, dir.path());
    blade.sampleSetting()->setExportFVM(false);
    blade.sampleSetting()->setExportFEM(false);
    blade.sampleSetting()->startSample();
    QCOMPARE(blade.parameters()->parameter(0)->value(), 1.0);
    QVERIFY(QDir(dir.path()).isEmpty());
    QVERIFY(!blade.feModel());
}

void TestSample::modelFilesAndAnsysInputs()
{
    QTemporaryDir dir;
    KBlade blade;
    prepare(blade, dir.path());
    blade.setting()->setBladeName("Sample Blade");
    blade.anaSet()->setType(KAnalysis::Ansys);
    blade.sampleSetting()->setExportFVM(true);
    blade.setFp(dir.filePath("own.fvm"));
    {
        QuietDebug quiet;
        blade.sampleSetting()->startSample();
    }
    QCOMPARE(blade.fp(), dir.filePath("own.fvm"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
             QStringList({"Sample_Blade-1.bat", "Sample_Blade-1.fvm", "Sample_Blade-2.bat", "Sample_Blade-2.fvm",
                          "Sample_Blade-3.bat", "Sample_Blade-3.fvm"}));
    // Each model file holds its own draw; the document keeps the last one.
    QSet<double> draws;
    for (int i = 1; i <= 3; ++i) {
        KBlade sample;
        sample.setFp(dir.filePath(QString("Sample_Blade-%1.fvm").arg(i)));
        QuietDebug quiet;
        sample.readFile();
        const double v = sample.parameters()->parameter(0)->value();
        QVERIFY(v >= 2 && v < 4);
        draws.insert(v);
        if (i == 3)
            QCOMPARE(v, blade.parameters()->parameter(0)->value());
    }
    QCOMPARE(draws.size(), 3);
    // The ANSYS inputs are full decks of the selected (second) load case.
    QFile deck(dir.filePath("Sample_Blade-2.bat"));
    QVERIFY(deck.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(deck.readAll());
    QVERIFY(text.startsWith("/BATCH\nFINISH\n/CLEAR,START\nFNAME='Sample_Blade'"));
    QVERIFY(text.contains("\nNLGEOM,ON\n") && text.contains("\nSOLVE\n"));

    // Other solvers get no input file from the sampling run.
    QTemporaryDir other;
    blade.sampleSetting()->setSamFolder(other.path());
    blade.anaSet()->setType(KAnalysis::Calculix);
    {
        QuietDebug quiet;
        blade.sampleSetting()->startSample();
    }
    QCOMPARE(QDir(other.path()).entryList(QDir::Files).filter(".bat"), QStringList());
    QCOMPARE(QDir(other.path()).entryList(QDir::Files).size(), 3);

    // No folder (the root of the file system, had it been taken as given)
    // and a folder that is not there are refused.
    for (const QString& folder : {QString(), other.filePath("missing")}) {
        blade.sampleSetting()->setSamFolder(folder);
        Capture capture;
        QVERIFY(!blade.sampleSetting()->startSample());
        QCOMPARE(capture.outLines(),
                 QStringList({"KSampleSetting - startSample: no folder \"" + folder + "\" to export the blades to"}));
    }
    QCOMPARE(QDir(other.path()).entryList(QDir::Files).size(), 3);
}

QTEST_GUILESS_MAIN(TestSample)
#include "tst_sample.moc"
