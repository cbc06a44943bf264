#include "capture.h"
#include "files.h"
#include "program.h"
#include "blade/kblade.h"
#include "core/messages.h"
#include "core/parameter.h"
#include "core/parameterlist.h"

#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Folvane;


class TestBatchModes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateHome(); }
    void optimiseThroughCalculix();
    void optimiseRefusals();
    void optimisationFolderInUse();
    void unwritableRecords();
    void helpAndVersion();
    void argumentTable_data();
    void argumentTable();
};

void TestBatchModes::optimiseThroughCalculix()
{
    ProgramFolder folder;
    writeOptimisationModel(folder.path("blade.fvm"));
    // The lock of a run that died is taken over, and given up at the end.
    QDir().mkpath(folder.path("opt"));
    const QString lock = folder.path("opt/optimisation.lock");
    {
        QLockFile own(lock);
        QVERIFY(own.tryLock(0));
        QByteArray held = fileBytes(lock);
        own.unlock();
        QProcess gone;
        gone.start("sh", {"-c", "echo $$"});
        QVERIFY(gone.waitForFinished());
        held.replace(0, held.indexOf('\n'), gone.readAllStandardOutput().trimmed());
        writeBytes(lock, held);
    }
    ProgramRun run =
        folder.run({"-optimise", folder.path("blade.fvm"), "anything at all", folder.path("opt"), "0", "1", "11"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err + run.out.right(3000)));
    QVERIFY(!QFile::exists(lock));
    QVERIFY(run.out.contains("Start New Optimisation...\n"));
    QVERIFY(run.out.contains("Generation 2 of 2: "));
    for (const char* file : {"Evo-1.fvo", "Evo-2.fvo", "Fitness.dat", "Bld-1_4.fvm", "Bld-2_1.fvm"})
        QVERIFY2(QFile::exists(folder.path("opt/") + file), file);
    QVERIFY(!QFile::exists(folder.path("opt/Evo-3.fvo")));

    // Every blade file opens as a model; the best one's parameter is on the grid.
    KBlade best;
    best.setFp(folder.path("opt/Bld-2_1.fvm"));
    Capture capture;
    best.readFile();
    QCOMPARE(capture.debugLines(), QStringList({"Loaded " + folder.path("opt/Bld-2_1.fvm")}));
    const double p = best.parameters()->parameter(0)->value();
    QVERIFY(p >= 0.5 && p <= 1.5);
    QCOMPARE(std::round(p * 10), p * 10);

    // Continued from generation 2 it writes generation 3.
    run = folder.run({"-optimise", folder.path("blade.fvm"), "x", folder.path("opt"), "2", "1"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err + run.out.right(3000)));
    QVERIFY(run.out.contains("Continue Optimisation...\n"));
    QVERIFY(QFile::exists(folder.path("opt/Evo-3.fvo")));
    QFile fitness(folder.path("opt/Fitness.dat"));
    QVERIFY(fitness.open(QIODevice::ReadOnly));
    QCOMPARE(fitness.readLine(), QByteArray("3\n"));
}

void TestBatchModes::optimiseRefusals()
{
    ProgramFolder folder;
    writeOptimisationModel(folder.path("blade.fvm"));
    ProgramRun run = folder.run({"-optimise", folder.path("blade.fvm"), "x", folder.path("opt"), "4", "2"});
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.contains("BladeGeneration - BladeGeneration: cannot open the .fvo file!\n"));
    QCOMPARE(run.err.split('\n').filter("Folvane:"),
             QStringList({"Folvane: the optimisation cannot continue, see the messages above"}));
    QVERIFY(!QDir(folder.path("opt")).exists());

    run = folder.run({"-optimise", folder.path("blade.fvm"), "x", folder.path("opt"), "two", "2"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, QString("Folvane: the start generation argument 'two' is not a decimal number of 32 bits\n"));
    run = folder.run({"-optimise", folder.path("blade.fvm"), "x", folder.path("opt"), "-1", "2"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, QString("Folvane: the start generation argument '-1' is below 0\n"));
    run = folder.run({"-optimise", folder.path("blade.fvm"), "x", folder.path("opt"), "0", "5000000000"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, QString("Folvane: the iterations argument '5000000000' is not a decimal number of 32 bits\n"));
    for (const char* seed : {"-1", "4294967296", "7x", ""}) {
        run = folder.run({"-optimise", folder.path("blade.fvm"), "x", folder.path("opt"), "0", "2", seed});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, QString("Folvane: the seed argument '%1' is not a whole number from 0 to 4294967295\n").arg(seed));
    }
    QVERIFY(!QDir(folder.path("opt")).exists());
}

// Two runs into one folder would share its work folders and records.
void TestBatchModes::optimisationFolderInUse()
{
    ProgramFolder folder;
    writeOptimisationModel(folder.path("blade.fvm"));
    QDir().mkpath(folder.path("opt"));
    QLockFile held(folder.path("opt/optimisation.lock"));
    QVERIFY(held.tryLock(0));
    const ProgramRun run = folder.run({"-optimise", folder.path("blade.fvm"), "x", folder.path("opt"), "0", "1"});
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.err.split('\n').filter("Folvane:"),
             QStringList({QString("Folvane: the optimisation folder '%1' is in use by process %2 (%3 on %4); nothing "
                                  "was written")
                              .arg(folder.path("opt"))
                              .arg(QCoreApplication::applicationPid())
                              .arg(QCoreApplication::applicationName(), QSysInfo::machineHostName())}));
    QCOMPARE(QDir(folder.path("opt")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({"optimisation.lock"}));
}

// Solver time whose records cannot be kept fails the run at once.
void TestBatchModes::unwritableRecords()
{
    ProgramFolder folder;
    writeOptimisationModel(folder.path("blade.fvm"));
    QDir().mkpath(folder.path("opt/Fitness.dat"));
    const ProgramRun run = folder.run({"-optimise", folder.path("blade.fvm"), "x", folder.path("opt"), "0", "1", "3"});
    QCOMPARE(run.exitCode, 3);
    QCOMPARE(run.err.split('\n').filter("Folvane:"),
             QStringList({"Folvane: cannot write " + folder.path("opt/Fitness.dat")
                          + ": Filename refers to a directory; no generation is recorded"}));
    QVERIFY(run.out.contains("Evaluation 4: fitness"));
    QVERIFY(!run.out.contains("Generation 1 of"));
}

// A newcomer's first commands need no display and no model.
void TestBatchModes::helpAndVersion()
{
    ProgramFolder folder;
    for (const char* word : {"--help", "-h"}) {
        const ProgramRun run = folder.run({word});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QString());
        const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.first(), "Usage: folvane [model.fvm] [Qt's window options, such as -platform NAME or -style NAME]");
        QCOMPARE(lines.last(), "README.md describes every mode and its exit codes.");
        for (const char* mode : {"-analyse", "-modal", "-buckle", "-vtk", "-plot", "-optimise", "-evaluate",
                                 "-importwindio", "-importloads", "-autowebopt", "-autolayupopt", "-autokpopt",
                                 "-debug", "--help", "--version"})
            QVERIFY2(lines.filter(QRegularExpression(QString("^       folvane %1( |$)").arg(mode))).size() == 1, mode);
    }
    const ProgramRun run = folder.run({"--version"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(QRegularExpression("^folvane \\d+\\.\\d+\n$").match(run.out).hasMatch(), qPrintable(run.out));
}

void TestBatchModes::argumentTable_data()
{
    // IN and DIR name no model file, DAMAGED a cut one, MODEL a whole one;
    // OUT is the file a resave writes.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error");
    const auto row = [](const char* name, const QStringList& arguments, int exitCode, const QString& error) {
        QTest::newRow(name) << arguments << exitCode << error;
    };
    const QString decimal = "Folvane: the %1 argument '%2' is not a decimal number of 32 bits";
    const QString unreadable = "Folvane: the model file '%1' cannot be read, see the messages above";
    row("layup third", {"-autolayupopt", "IN", "1.5", "2", "OUT"}, 1, decimal.arg("third", "1.5"));
    row("layup fourth", {"-autolayupopt", "IN", "1", "", "OUT"}, 1, decimal.arg("fourth", ""));
    row("layup overflow", {"-autolayupopt", "IN", "2147483648", "1", "OUT"}, 1, decimal.arg("third", "2147483648"));
    row("kp fourth", {"-autokpopt", "IN", "OUT", "x", "1", "1", "2", "3", "4"}, 1, decimal.arg("fourth", "x"));
    row("kp too many pairs", {"-autokpopt", "IN", "OUT", "1", "3", "1", "2", "3", "4"}, 1,
        "Folvane: the pair count argument '3' asks for 3 pairs, 2 are given");
    row("kp negative pairs", {"-autokpopt", "IN", "OUT", "1", "-2", "1", "2", "3", "4"}, 1,
        "Folvane: the pair count argument '-2' asks for -2 pairs, 2 are given");
    row("kp huge pairs", {"-autokpopt", "IN", "OUT", "1", "2147483647", "1", "2", "3", "4"}, 1,
        "Folvane: the pair count argument '2147483647' asks for 2147483647 pairs, 2 are given");
    row("kp pair value", {"-autokpopt", "IN", "OUT", "1", "2", "1", "2", "3", "4e1"}, 1, decimal.arg("pair", "4e1"));
    row("layup fine", {"-autolayupopt", "IN", "-3", "+4", "OUT"}, 0, QString());
    row("kp fine", {"-autokpopt", "IN", "OUT", "1", "1", "1", "2", "3", "4"}, 0, QString());
    row("web missing input", {"-autowebopt", "IN", "OUT"}, 0, QString());
    row("web damaged input", {"-autowebopt", "DAMAGED", "OUT"}, 2,
        "Folvane: the model file 'DAMAGED' cannot be read, nothing was written");
    row("web folder input", {"-autowebopt", "DIR", "OUT"}, 2,
        "Folvane: the model file 'DIR' cannot be read, nothing was written");
    row("web unwritable output", {"-autowebopt", "MODEL", "DIR/no/such/folder.fvm"}, 2,
        "Folvane: the model file 'DIR/no/such/folder.fvm' cannot be written");
    row("analyse word", {"-analyse", "MODEL", "one"}, 1, decimal.arg("load case", "one"));
    row("analyse overflow", {"-analyse", "MODEL", "-99999999999"}, 1, decimal.arg("load case", "-99999999999"));
    row("analyse missing", {"-analyse", "IN", "1"}, 2, unreadable.arg("IN"));
    row("analyse damaged", {"-analyse", "DAMAGED", "1"}, 2, unreadable.arg("DAMAGED"));
    for (const char* typed : {"0", "9", "-1", "+7"})
        row(qPrintable(QString("analyse case %1").arg(typed)), {"-analyse", "MODEL", typed}, 1,
            QString("Folvane: load case %1 not found").arg(typed));
    row("optimise missing", {"-optimise", "IN", "x", "DIR/opt", "0", "1"}, 2, unreadable.arg("IN"));
    row("optimise damaged", {"-optimise", "DAMAGED", "x", "DIR/opt", "0", "1"}, 2, unreadable.arg("DAMAGED"));
    row("optimise iterations", {"-optimise", "MODEL", "x", "DIR/opt", "0", "1e3"}, 1, decimal.arg("iterations", "1e3"));
    const QStringList optimise{"-optimise", "MODEL", "x", "DIR/opt", "0", "1"};
    row("optimise option", optimise + QStringList{"7", "-fast"}, 1, "Folvane: '-fast' is not an option of -optimise");
    row("optimise workers", optimise + QStringList{"-workers", "0"}, 1, "Folvane: the workers argument '0' is below 1");
    row("optimise threads", optimise + QStringList{"-local", "-threads", "two"}, 1, decimal.arg("threads", "two"));
    row("optimise time", optimise + QStringList{"-timelimit", "-5"}, 1, "Folvane: the timelimit argument '-5' is below 0");
    row("optimise no value", optimise + QStringList{"-slurm", "-partition"}, 1,
        "Folvane: the option -partition needs a value");
    const QString job = "Folvane: -evaluate needs a job name of letters, digits, '_', '-' and '.' and at least one thread";
    row("evaluate job", {"-evaluate", "MODEL", "a b", "1"}, 1, job);
    row("evaluate no threads", {"-evaluate", "MODEL", "job", "0"}, 1, job);
    row("evaluate threads", {"-evaluate", "MODEL", "job", "1.5"}, 1, decimal.arg("threads", "1.5"));

    // A wrong count is refused with the mode's usage, never a window: these
    // runs have no display to open one on.
    const auto count = [&row](const QStringList& arguments, const QString& takes, const QString& usage) {
        row(qPrintable(arguments.join(' ')), arguments, 1,
            QString("Folvane: %1 takes %2, %3 given\nUsage: folvane %1%4")
                .arg(arguments[0], takes)
                .arg(arguments.size() - 1)
                .arg(usage.isEmpty() ? usage : " " + usage));
    };
    count({"-analyse", "MODEL"}, "2 arguments", "model.fvm loadcase");
    count({"-modal"}, "1 to 2 arguments", "model.fvm [modes]");
    count({"-buckle", "MODEL"}, "2 to 3 arguments", "model.fvm loadcase [modes]");
    count({"-vtk", "MODEL", "DIR/a.vtu", "1", "2"}, "2 to 3 arguments",
          "model.fvm out.vtu [loadcase] | folvane -vtk model.fvm out.pvd all");
    count({"-plot", "DIR/a.svg"}, "at least 2 arguments", "out.svg|out.png table.out [table.out ...]");
    count({"-importwindio", "DIR/a.yaml"}, "2 arguments", "blade.yaml out.fvm");
    count({"-importloads", "MODEL"}, "3 arguments", "model.fvm loads.csv out.fvm");
    count({"-evaluate", "MODEL", "job"}, "3 arguments", "design.fvm job threads");
    count({"-optimise", "MODEL", "x", "DIR/opt", "0"}, "at least 5 arguments",
          "model.fvm x folder start iterations [seed] [-workers N] [-threads N] [-timelimit S] [-slurm | -local] "
          "[-partition P] [-sbatch \"OPTIONS\"]");
    count({"-autowebopt", "MODEL"}, "2 arguments", "in.fvm out.fvm");
    count({"-autolayupopt", "MODEL", "1", "OUT"}, "4 arguments", "in.fvm number number out.fvm");
    count({"-autokpopt", "MODEL", "OUT", "1", "1", "1", "2", "3"}, "at least 8 arguments",
          "in.fvm out.fvm number pairs a1 b1 ... [more numbers]");
    count({"-debug", "x"}, "0 arguments", "");
    row("help alias", {"-h", "x"}, 1, "Folvane: -h takes 0 arguments, 1 given\nUsage: folvane --help | -h");
    const QString window = "Usage: folvane [model.fvm] [Qt's window options, such as -platform NAME or -style NAME]";
    row("unknown option", {"-fast"}, 1,
        "Folvane: '-fast' is neither a mode nor a window option (a model file whose name begins with '-' opens "
        "as ./-fast)\n" + window);
    row("unknown option after a file", {"MODEL", "--analyse"}, 1,
        "Folvane: '--analyse' is neither a mode nor a window option (a model file whose name begins with '-' "
        "opens as ./--analyse)\n" + window);
    row("two files", {"MODEL", "-style", "Fusion", "MODEL"}, 1,
        "Folvane: the window opens one model file, 2 are given\n" + window);
    row("window option value", {"MODEL", "-platform"}, 1, "Folvane: the window option -platform needs a value\n" + window);

    // An output is never one of the inputs, and has the extension the mode writes.
    const QString same = "Folvane: the output 'MODEL' is the input 'MODEL'; nothing was written";
    row("windio onto input", {"-importwindio", "MODEL", "MODEL"}, 1, same);
    row("windio extension", {"-importwindio", "MODEL", "DIR/blade.yaml"}, 1,
        "Folvane: the output 'DIR/blade.yaml' does not end in .fvm; nothing was written");
    row("loads onto model", {"-importloads", "MODEL", "DIR/loads.csv", "MODEL"}, 1, same);
    row("loads onto table", {"-importloads", "IN", "MODEL", "MODEL"}, 1, same);
    row("resave onto input", {"-autowebopt", "MODEL", "MODEL"}, 1, same);
    row("layup onto input", {"-autolayupopt", "MODEL", "1", "2", "MODEL"}, 1, same);
    row("plot onto table", {"-plot", "MODEL", "DIR/a.out", "MODEL"}, 1,
        "Folvane: the output 'MODEL' is the input 'MODEL'; nothing was written");
    row("plot extension", {"-plot", "DIR/span.pdf", "MODEL"}, 1,
        "Folvane: the output 'DIR/span.pdf' does not end in .svg or .png; nothing was written");
    row("vtk extension", {"-vtk", "MODEL", "DIR/all.pvd"}, 1,
        "Folvane: the output 'DIR/all.pvd' does not end in .vtu; nothing was written");
    row("vtk collection extension", {"-vtk", "MODEL", "DIR/one.vtu", "all"}, 1,
        "Folvane: the output 'DIR/one.vtu' does not end in .pvd; nothing was written");
}

void TestBatchModes::argumentTable()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    ProgramFolder folder;
    QDir(folder.path("dir")).mkpath(".");
    {
        KBlade blade;
        blade.setFp(folder.path("model.fvm"));
        QuietDebug quiet;
        blade.writeFile();
        QFile model(folder.path("model.fvm"));
        model.open(QIODevice::ReadOnly);
        QFile damaged(folder.path("damaged.fvm"));
        damaged.open(QIODevice::WriteOnly);
        damaged.write(model.read(100));
    }
    for (const char* word : {"IN", "OUT", "DIR", "DAMAGED", "MODEL"}) {
        const QString path = folder.path(QString(word).toLower() + (word == QString("DIR") ? "" : ".fvm"));
        arguments.replaceInStrings(word, path);
        error.replace(QString("'%1").arg(word), "'" + path);
    }
    const QByteArray damagedBefore = fileBytes(folder.path("damaged.fvm"));
    const ProgramRun run = folder.run(arguments);
    QCOMPARE(run.err.split('\n').filter(QRegularExpression("^(Folvane|Usage):")).join('\n'), error);
    QCOMPARE(run.exitCode, exitCode);
    // Only a resave that succeeds writes its output; nothing touches a damaged file.
    QCOMPARE(QFile::exists(folder.path("out.fvm")), exitCode == 0 && arguments.contains(folder.path("out.fvm")));
    QCOMPARE(fileBytes(folder.path("damaged.fvm")), damagedBefore);
    QVERIFY(!QDir(folder.path("dir/opt")).exists());
}

QTEST_GUILESS_MAIN(TestBatchModes)
#include "tst_batchmodes.moc"
