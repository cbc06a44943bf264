#include "capture.h"
#include "files.h"
#include "processes.h"
#include "program.h"
#include "core/binaryio.h"
#include "opt/bladegeneration.h"
#include "opt/chromosome.h"
#include "opt/slurmrunner.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>
#include <csignal>

using namespace Folvane;

namespace {

// The optimisation's blade under a name no file system or solver takes as
// it is.
void writeModel(const QString& path, const QString& name = "../My \"Blade\"; touch owned")
{
    writeOptimisationModel(path, name, 2);
}

// A solver that refuses design 2 of generation 1, never ends design 3 (or,
// told not to hang, solves it) and takes its worker down with it in design
// 4; CalculiX solves the rest.
void writeStandIn(const ProgramFolder& folder, bool hang = true)
{
    writeBytes(folder.path("solver"), QByteArray("#!/bin/sh\n"
                                                 "case \"$2\" in\n"
                                                 "  *-1_2) echo '*ERROR stand-in: design refused'; exit 1 ;;\n")
                                          + (hang ? "  *-1_3) exec sleep 607 ;;\n" : "")
                                          + "  *-1_4) kill -9 $PPID; exit 1 ;;\n"
                                            "esac\n"
                                            "exec ccx \"$@\"\n");
    QFile::setPermissions(folder.path("solver"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writeBytes(folder.path("home/FVanalysis.setting"), (folder.path("work") + "\n" + folder.path("solver") + "\n2\n1\n").toUtf8());
}

// The lines of the run's output that tell what the optimisation found.
QStringList verdicts(const QString& out)
{
    return out.split('\n').filter(QRegularExpression("^(Evaluation|Generation) "));
}

std::vector<std::unique_ptr<Chromosome>> readRecord(const QString& path)
{
    QDataStream in(fileBytes(path));
    Binary::prepare(in);
    std::vector<std::unique_ptr<Chromosome>> members(Binary::readUInt64(in));
    for (auto& m : members)
        m = std::make_unique<Chromosome>(in);
    return members;
}

// The names of the jobs in the cluster's queue, one a line, or why squeue
// failed: a queue that cannot be read never reads as empty.
QString queuedJobs()
{
    QProcess squeue;
    squeue.start("squeue", {"-h", "-o", "%j"});
    if (!squeue.waitForFinished(60000) || squeue.exitStatus() != QProcess::NormalExit || squeue.exitCode() != 0)
        return "squeue failed: " + QString::fromLocal8Bit(squeue.readAllStandardError());
    return QString::fromLocal8Bit(squeue.readAllStandardOutput());
}

// Starts the program and signals it once its output holds the text.
struct Interrupted
{
    int exitCode = -1;
    QString out;
    QString err;
};

Interrupted interruptWhen(const ProgramFolder& folder, const QStringList& arguments, const QByteArray& text,
                          const std::function<bool()>& alsoWaitFor = {})
{
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", folder.path("home"));
    run.setProcessEnvironment(env);
    run.setWorkingDirectory(folder.path("."));
    run.start(FOLVANE_BINARY, arguments);
    QByteArray out;
    while (run.state() != QProcess::NotRunning && !out.contains(text)) {
        run.waitForReadyRead(100);
        out += run.readAllStandardOutput();
    }
    while (alsoWaitFor && run.state() != QProcess::NotRunning && !alsoWaitFor())
        QTest::qWait(200);
    // A run that has ended has no process id: 0 would signal the test's own group.
    if (run.state() != QProcess::NotRunning)
        ::kill(pid_t(run.processId()), SIGINT);
    run.waitForFinished(300000);
    Interrupted result;
    result.exitCode = run.exitStatus() == QProcess::NormalExit ? run.exitCode() : -1;
    result.out = QString::fromUtf8(out + run.readAllStandardOutput());
    result.err = QString::fromUtf8(run.readAllStandardError());
    return result;
}

} // namespace

class TestParallel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateHome(); }
    void workersWriteIdenticalRecords();
    void failedAndHungDesigns();
    void interruptAndContinue();
    void batchScript();
    void slurmArray();
};

// One seed: the records, the blade files and the verdicts are the same
// whether one worker evaluates the designs or two; the blade's name
// reaches no path outside the optimisation folder.
void TestParallel::workersWriteIdenticalRecords()
{
    ProgramFolder folder;
    writeModel(folder.path("blade.fvm"));
    const QStringList arguments{"-optimise", folder.path("blade.fvm"), "x", folder.path("opt"), "0", "1", "5", "-threads", "1"};
    ProgramRun one = folder.run(arguments + QStringList{"-workers", "1"});
    QVERIFY2(one.exitCode == 0, qPrintable(one.err + one.out.right(2000)));
    QVERIFY(one.out.contains("Evaluating on this machine, workers: 1, solver threads per design: 1, "
                             "time limit per design: none\n"));
    QVERIFY(QDir().rename(folder.path("opt"), folder.path("one")));
    ProgramRun two = folder.run(arguments + QStringList{"-workers", "2"});
    QVERIFY2(two.exitCode == 0, qPrintable(two.err + two.out.right(2000)));
    QVERIFY(two.out.contains("Evaluating on this machine, workers: 2, "));

    QCOMPARE(verdicts(two.out), verdicts(one.out));
    QVERIFY(verdicts(one.out).size() >= 8);
    const QStringList files = QDir(folder.path("one")).entryList(QDir::Files);
    QCOMPARE(QDir(folder.path("opt")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), files);
    QVERIFY(files.contains("Evo-2.fvo") && files.contains("Fitness.dat") && files.contains("Bld-2_4.fvm"));
    for (const QString& file : files)
        QVERIFY2(fileBytes(folder.path("one/") + file) == fileBytes(folder.path("opt/") + file), qPrintable(file));
    // Every design was evaluated (no failure); their folders are gone.
    for (const auto& member : readRecord(folder.path("opt/Evo-2.fvo")))
        QVERIFY(member->fitness() > BladeGeneration::FailedFitness);
    QVERIFY(!QFile::exists(folder.path("owned")) && !QFile::exists(folder.path("opt/owned")));
    QVERIFY(!QFile::exists(folder.path("My \"Blade\"; touch owned")));
}

// A design whose solver fails and one that never ends are named with their
// folders, score as failed and leave their files; the rest go on.
void TestParallel::failedAndHungDesigns()
{
    ProgramFolder folder;
    writeModel(folder.path("blade.fvm"), "Stand-in");
    writeStandIn(folder);
    // The design that hangs holds the run for the whole limit. One that
    // solves takes 1.5 s here and some 8 s at a load of 10 on the two
    // cores: the limit stays 15 times above that.
    const ProgramRun run = folder.run({"-optimise", folder.path("blade.fvm"), "x", folder.path("opt"), "0", "0", "3",
                                       "-workers", "2", "-timelimit", "120"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err + run.out.right(2000)));
    QVERIFY(run.out.contains("time limit per design: 120 s\n"));
    const QStringList lines = verdicts(run.out);
    QCOMPARE(lines.filter(" failed: "),
             QStringList({"Evaluation 2 failed: the design did not have an analysis that the solver completes; its "
                          "files are in " + folder.path("opt/Work-1/2"),
                          "Evaluation 3 failed: it ran past the time limit of 120 s; its files are in " + folder.path("opt/Work-1/3"),
                          "Evaluation 4 failed: its worker crashed; its files are in " + folder.path("opt/Work-1/4")}));
    QVERIFY(lines.filter(QRegularExpression("^Evaluation 1: fitness -")).size() == 1);
    QCOMPARE(processesRunning("sleep 607", folder.path(".")), Processes());
    QVERIFY(fileBytes(folder.path("opt/Work-1/2/log.txt")).contains("*ERROR stand-in: design refused"));
    QVERIFY(QFile::exists(folder.path("opt/Work-1/3/design.fvm")));
    QVERIFY(!QDir(folder.path("opt/Work-1/1")).exists());
    int failed = 0;
    for (const auto& member : readRecord(folder.path("opt/Evo-1.fvo")))
        failed += member->fitness() == BladeGeneration::FailedFitness;
    QCOMPARE(failed, 3);
}

// An interrupt ends the workers and their solvers, keeps the generations
// recorded so far as they were, and the run continues from the last.
void TestParallel::interruptAndContinue()
{
    ProgramFolder folder;
    writeModel(folder.path("blade.fvm"), "Interrupted");
    const QStringList arguments{"-optimise", folder.path("blade.fvm"), "x", folder.path("opt"), "0", "5", "9", "-workers", "2"};
    // Interrupted while its workers are seen to run: the check that none is
    // left after it can see them.
    const QString worker = "-evaluate design.fvm Interrupted-";
    QStringList seen;
    const auto workerRuns = [&] {
        seen = processesRunning(worker, folder.path(".")).commandLines;
        return !seen.isEmpty();
    };
    const Interrupted stopped = interruptWhen(folder, arguments, "Generation 1 of 6", workerRuns);
    QVERIFY2(!seen.isEmpty(), "no worker was seen running");
    QVERIFY2(QRegularExpression("^" + QRegularExpression::escape(FOLVANE_BINARY " " + worker) + "\\d+_\\d+ 1$")
                 .match(seen[0]).hasMatch(),
             qPrintable(seen.join('\n')));
    QCOMPARE(stopped.exitCode, 128 + SIGINT);
    const int recorded = QString(fileBytes(folder.path("opt/Fitness.dat"))).section('\n', 0, 0).toInt();
    QVERIFY(recorded >= 1 && recorded < 6);
    QCOMPARE(stopped.err.split('\n').filter("Folvane:"),
             QStringList(QString("Folvane: the optimisation was interrupted; generations up to %1 are recorded, it "
                                 "continues from generation %1").arg(recorded)));
    QVERIFY(stopped.out.contains(QString("BladeGeneration - interrupted in generation %1\n").arg(recorded + 1)));
    QVERIFY(!QFile::exists(folder.path(QString("opt/Evo-%1.fvo").arg(recorded + 1))));
    QCOMPARE(processesRunning(worker, folder.path(".")), Processes());
    const QByteArray record = fileBytes(folder.path(QString("opt/Evo-%1.fvo").arg(recorded)));

    const ProgramRun again = folder.run({"-optimise", folder.path("blade.fvm"), "x", folder.path("opt"),
                                         QString::number(recorded), "1", "-workers", "2"});
    QVERIFY2(again.exitCode == 0, qPrintable(again.err + again.out.right(2000)));
    QCOMPARE(fileBytes(folder.path(QString("opt/Evo-%1.fvo").arg(recorded))), record);
    QVERIFY(QFile::exists(folder.path(QString("opt/Evo-%1.fvo").arg(recorded + 1))));
    QCOMPARE(QString(fileBytes(folder.path("opt/Fitness.dat"))).section('\n', 0, 0).toInt(), recorded + 1);
}

// The batch script runs the worker in each design's folder, whatever the
// folder's name holds.
void TestParallel::batchScript()
{
    QTemporaryDir dir;
    const QString odd = dir.filePath("it's a \"folder\" $(touch owned)");
    QDir().mkpath(odd + "/1");
    SlurmRunner runner("/bin/echo", 3, 125, "long", "--mem=1G --qos=\"high prio\"");
    const std::vector<DesignTask> tasks{{dir.path(), "A-1_1"}, {odd + "/1", "A-1_2"}};
    writeBytes(dir.filePath("array.sh"), runner.script(tasks).toUtf8());
    QProcess sh;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SLURM_ARRAY_TASK_ID", "2");
    sh.setProcessEnvironment(env);
    sh.setWorkingDirectory(dir.path());
    sh.start("/bin/sh", {dir.filePath("array.sh")});
    QVERIFY(sh.waitForFinished());
    QCOMPARE(sh.exitCode(), 0);
    QCOMPARE(fileBytes(odd + "/1/log.txt"), QByteArray("-evaluate design.fvm A-1_2 3\n"));
    QVERIFY(!QFile::exists(dir.filePath("owned")) && !QFile::exists(odd + "/1/owned"));
    QCOMPARE(runner.sbatchArguments("s.sh", "/logs/slurm-1-", 2),
             QStringList({"--parsable", "--array=1-2", runner.sbatchArguments("", "", 0)[2],
                          "--output=/logs/slurm-1-%a.out", "--cpus-per-task=3", "--partition=long", "--time=3",
                          "--mem=1G", "--qos=high prio", "s.sh"}));
    // Slurm would expand a folder's own %; the longest limit counts in 64 bits.
    const SlurmRunner longest("/bin/echo", 1, 2147483647, "", "");
    QCOMPARE(longest.sbatchArguments("s.sh", "/logs/100%j/slurm-1-", 1).mid(3, 3),
             QStringList({"--output=/logs/100%%j/slurm-1-%a.out", "--cpus-per-task=1", "--time=35791395"}));
}

// A run through the test machine's own Slurm writes the records a local
// run of the same seed writes; an interrupt cancels the array.
void TestParallel::slurmArray()
{
    if (qEnvironmentVariableIsEmpty("SLURM_CONF"))
        QSKIP("no Slurm cluster: ./test.sh starts one (scripts/slurm-single-node.sh)");
    ProgramFolder folder;
    writeModel(folder.path("blade.fvm"), "Clustered");
    const QStringList arguments{"-optimise", folder.path("blade.fvm"), "x", folder.path("opt"), "0", "1", "5", "-threads", "1"};
    const ProgramRun local = folder.run(arguments + QStringList{"-workers", "2"});
    QVERIFY2(local.exitCode == 0, qPrintable(local.err + local.out.right(2000)));
    QVERIFY(QDir().rename(folder.path("opt"), folder.path("local")));
    const ProgramRun slurm = folder.run(arguments + QStringList{"-slurm"});
    QVERIFY2(slurm.exitCode == 0, qPrintable(slurm.err + slurm.out.right(2000)));
    QVERIFY(slurm.out.contains("Evaluating on Slurm, partition: the default, solver threads per design: 1, "
                               "time limit per design: none\n"));
    QCOMPARE(verdicts(slurm.out), verdicts(local.out));
    for (const char* file : {"Evo-1.fvo", "Evo-2.fvo", "Fitness.dat", "Bld-2_1.fvm"})
        QVERIFY2(fileBytes(folder.path("local/") + file) == fileBytes(folder.path("opt/") + file), file);
    QCOMPARE(QDir(folder.path("opt")).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());

    // A task that ends without a status fails its design.
    writeStandIn(folder, false);
    QDir(folder.path("opt")).removeRecursively();
    const ProgramRun failing =
        folder.run({"-optimise", folder.path("blade.fvm"), "x", folder.path("opt"), "0", "0", "3", "-slurm"});
    QVERIFY2(failing.exitCode == 0, qPrintable(failing.err + failing.out.right(2000)));
    const QStringList failed = verdicts(failing.out).filter(" failed: ");
    QCOMPARE(failed.size(), 2);
    QCOMPARE(failed[0], "Evaluation 2 failed: the design did not have an analysis that the solver completes; its "
                        "files are in " + folder.path("opt/Work-1/2"));
    QVERIFY2(QRegularExpression("^Evaluation 4 failed: its task of job \\d+ failed, was cancelled or ran out of "
                                "time; its files are in " + QRegularExpression::escape(folder.path("opt/Work-1/4")) + "$")
                 .match(failed[1]).hasMatch(),
             qPrintable(failed[1]));
    // Slurm's log and the script stay for the designs that failed.
    QCOMPARE(QDir(folder.path("opt/Work-1")).entryList(QDir::Files), QStringList({"array-1.sh", "slurm-1-2.out", "slurm-1-4.out"}));

    // Designs that never end, interrupted while the array runs the one
    // that hangs: the checks that nothing is left can see it.
    writeStandIn(folder);
    QDir(folder.path("opt")).removeRecursively();
    QStringList seen;
    const auto hangs = [&] {
        seen = processesRunning("sleep 607", folder.path(".")).commandLines;
        return !seen.isEmpty();
    };
    const Interrupted stopped =
        interruptWhen(folder, {"-optimise", folder.path("blade.fvm"), "x", folder.path("opt"), "0", "0", "3", "-slurm"},
                      "Evaluating on Slurm", hangs);
    QVERIFY2(!seen.isEmpty(), "the design that hangs was not seen running");
    QCOMPARE(seen, QStringList("sleep 607"));
    QCOMPARE(stopped.exitCode, 128 + SIGINT);
    QCOMPARE(stopped.err.split('\n').filter("Folvane:"),
             QStringList("Folvane: the optimisation was interrupted before its first generation was recorded"));
    QTRY_COMPARE_WITH_TIMEOUT(queuedJobs(), QString(), 120000);
    QTRY_COMPARE_WITH_TIMEOUT(processesRunning("sleep 607", folder.path(".")), Processes(), 120000);
}

QTEST_GUILESS_MAIN(TestParallel)
#include "tst_parallel.moc"
