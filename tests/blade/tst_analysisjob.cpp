#include "capture.h"
#include "files.h"
#include "blade/analysisjob.h"
#include "blade/kanalysis.h"
#include "blade/kblade.h"
#include "core/messages.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using namespace Folvane;

// Analyses that run off the main thread: the same results as a run on it,
// a cancel that ends the solver, and a model that changed meanwhile.
class TestAnalysisJob : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { isolateHome(); }
    void sameResultsOffTheMainThread();
    void cancelEndsTheSolver();
    void modelRebuiltMeanwhile();
};

namespace {

void useCalculix(KBlade& blade, const QString& workDir, const QString& program = QString())
{
    blade.anaSet()->setType(KAnalysis::Calculix);
    blade.anaSet()->setWorkDir(workDir);
    blade.anaSet()->setProDir(program);
}

// Runs the job on a thread of its own, as the window does.
void runOffThread(AnalysisJob& job, QStringList* lines = nullptr, const std::function<void()>& meanwhile = {})
{
    QMutex mutex;
    QThread* thread = QThread::create([&] {
        job.run([&](const QString& line) {
            QMutexLocker lock(&mutex);
            if (lines)
                *lines << line;
        });
    });
    thread->start();
    if (meanwhile)
        meanwhile();
    thread->wait();
    delete thread;
}

} // namespace

void TestAnalysisJob::sameResultsOffTheMainThread()
{
    QTemporaryDir dir;
    KBlade direct, threaded;
    Capture capture;
    for (KBlade* blade : {&direct, &threaded})
        useCalculix(*blade, dir.path());
    direct.genFEModel();
    QVERIFY(direct.runLoadCase(1));

    QString why;
    std::unique_ptr<AnalysisJob> job = AnalysisJob::prepare(threaded, AnalysisJob::Static, 1, 0, why);
    QVERIFY2(job, qPrintable(why));
    // Lent: the document has no model while the job runs.
    QCOMPARE(threaded.elementCount(), 0);
    QStringList lines;
    runOffThread(*job, &lines);
    QVERIFY(job->succeeded());
    QVERIFY(job->finish(threaded));
    QCOMPARE(threaded.elementCount(), direct.elementCount());
    QCOMPARE(threaded.stationDeflections(1), direct.stationDeflections(1));
    // CalculiX's own lines came as it printed them.
    QVERIFY2(lines.contains("Job finished"), qPrintable(lines.join('\n')));

    std::unique_ptr<AnalysisJob> modal = AnalysisJob::prepare(threaded, AnalysisJob::Modal, 0, 3, why);
    QVERIFY(modal);
    runOffThread(*modal);
    QVERIFY(modal->succeeded() && modal->finish(threaded));
    QCOMPARE(threaded.eigenModes().values.size(), size_t(3));
    // The static results stay beside the modes.
    QCOMPARE(threaded.stationDeflections(1), direct.stationDeflections(1));

    QVERIFY(!AnalysisJob::prepare(threaded, AnalysisJob::Buckling, 2, 3, why));
    QCOMPARE(why, QString("load case 3 not found"));
    QVERIFY(!AnalysisJob::prepare(threaded, AnalysisJob::Modal, 0, 0, why));
    QCOMPARE(why, QString("0 modes asked for, 1 to 100 can be"));
    threaded.anaSet()->setType(KAnalysis::Abaqus);
    QVERIFY(!AnalysisJob::prepare(threaded, AnalysisJob::Static, 0, 0, why));
    QCOMPARE(why, QString("Abaqus input is written but not run; choose ANSYS or CalculiX"));
    QCOMPARE(threaded.elementCount(), direct.elementCount());
}

// A solver that would run for ten minutes ends on the cancel, long before
// its own end however busy the machine; the model comes back, without
// results.
void TestAnalysisJob::cancelEndsTheSolver()
{
    QTemporaryDir dir;
    const QString slow = dir.filePath("slow-solver");
    writeBytes(slow, "#!/bin/sh\necho started\nsleep 600\n");
    QFile::setPermissions(slow, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    KBlade blade;
    useCalculix(blade, dir.path(), slow);
    Capture capture;
    QString why;
    std::unique_ptr<AnalysisJob> job = AnalysisJob::prepare(blade, AnalysisJob::Static, 0, 0, why);
    QVERIFY(job);
    QStringList lines;
    QElapsedTimer clock;
    clock.start();
    runOffThread(*job, &lines, [&] {
        QThread::msleep(1000);
        job->cancel();
    });
    QVERIFY2(clock.elapsed() < 300000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!job->succeeded() && job->cancelled());
    QCOMPARE(lines, QStringList({"started"}));
    // Quietly after the solver's own lines: whoever cancelled says so.
    QCOMPARE(capture.outLines(), QStringList({"Starting analysis of NewBlade: Load case 1", "started"}));
    QVERIFY(job->finish(blade));
    QVERIFY(blade.elementCount() > 0);
    QCOMPARE(blade.stationDeflections(0).rightCols(6).cwiseAbs().maxCoeff(), 0.0);
}

void TestAnalysisJob::modelRebuiltMeanwhile()
{
    QTemporaryDir dir;
    KBlade blade;
    useCalculix(blade, dir.path());
    Capture capture;
    QString why;
    std::unique_ptr<AnalysisJob> job = AnalysisJob::prepare(blade, AnalysisJob::Static, 0, 0, why);
    QVERIFY(job);
    runOffThread(*job, nullptr, [&] { blade.genFEModel(); });
    QVERIFY(job->succeeded());
    capture.clear();
    QVERIFY(!job->finish(blade));
    QCOMPARE(capture.outLines(), QStringList({"KBlade - analysis: the document's FE model changed during the run; its results are dropped"}));
    // The new build stays, without the old run's results.
    QVERIFY(blade.elementCount() > 0);
    QCOMPARE(blade.stationDeflections(0).rightCols(6).cwiseAbs().maxCoeff(), 0.0);

    // A model forgotten with its document (a new one) takes nothing back.
    job = AnalysisJob::prepare(blade, AnalysisJob::Static, 0, 0, why);
    QVERIFY(job);
    blade.newFile();
    useCalculix(blade, dir.path());
    blade.genFEModel();
    QVERIFY(!job->finish(blade));
}

QTEST_GUILESS_MAIN(TestAnalysisJob)
#include "tst_analysisjob.moc"
