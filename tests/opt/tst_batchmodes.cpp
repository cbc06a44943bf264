#include "capture.h"
#include "files.h"
#include "program.h"
#include "blade/kblade.h"
#include "core/messages.h"
#include "core/parameter.h"
#include "core/parameterlist.h"

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
    void argumentTable_data();
    void argumentTable();
};

void TestBatchModes::optimiseThroughCalculix()
{
    ProgramFolder folder;
    writeOptimisationModel(folder.path("blade.fvm"));
    ProgramRun run =
        folder.run({"-optimise", folder.path("blade.fvm"), "anything at all", folder.path("opt"), "0", "1", "11"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err + run.out.right(3000)));
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
    row("analyse no case", {"-analyse", "MODEL", "0"}, 0, QString());
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
    QCOMPARE(run.err.split('\n').filter("Folvane:").join('\n'), error);
    QCOMPARE(run.exitCode, exitCode);
    // Only a resave that succeeds writes its output; nothing touches a damaged file.
    QCOMPARE(QFile::exists(folder.path("out.fvm")), exitCode == 0 && arguments.contains(folder.path("out.fvm")));
    QCOMPARE(fileBytes(folder.path("damaged.fvm")), damagedBefore);
    QVERIFY(!QDir(folder.path("dir/opt")).exists());
}

QTEST_GUILESS_MAIN(TestBatchModes)
#include "tst_batchmodes.moc"
