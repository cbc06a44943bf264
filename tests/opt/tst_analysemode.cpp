#include "capture.h"
#include "files.h"
#include "program.h"
#include "core/messages.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "blade/koptsetting.h"
#include "blade/kpattern.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Folvane;

namespace {

class Folder : public ProgramFolder
{
public:
    // A model file of the default blade under the given name; a ply
    // thickness other than 1 in the first pattern.
    QString model(const QString& bladeName, double thickness = 1)
    {
        KBlade blade;
        blade.setting()->setBladeName(bladeName);
        blade.patterns()->pattern(0)->ReadLaminateByInd(0)->thick()->setValue(thickness);
        blade.setFp(path("blade.fvm"));
        QuietDebug quiet;
        blade.writeFile();
        return path("blade.fvm");
    }

    ProgramRun analyse(const QString& loadCase) { return run({"-analyse", path("blade.fvm"), loadCase}, "run"); }

    QStringList runFolder() const { return QDir(path("run")).entryList(QDir::Files | QDir::Hidden); }
};

} // namespace

class TestAnalyseMode : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateHome(); }
    void resultTableOfTheDefaultBlade();
    void loadCasesNotFound();
    void badArguments();
    void unsafeBladeNames();
    void failedAnalysis();
    void modalAndBuckling();
};

void TestAnalyseMode::resultTableOfTheDefaultBlade()
{
    Folder folder;
    folder.model("NewBlade");
    const ProgramRun run = folder.analyse("1");
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.startsWith("Reading blade file: " + folder.path("blade.fvm") + "\n"));
    QVERIFY(run.out.contains("Starting analysis of NewBlade: Load case 1\n"));
    QVERIFY(run.out.contains("Reading results finished\n"));
    // The failure table beside it (the default materials give no strengths).
    QCOMPARE(folder.runFolder(), QStringList({"NewBlade-1-failure.out", "NewBlade-1.out"}));

    QFile table(folder.path("run/NewBlade-1.out"));
    QVERIFY(table.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(table.readAll()).split('\n');
    QCOMPARE(lines.size(), 48);
    QVERIFY(lines[0].startsWith("Blade Length, Area, Volume, Price, Mass, def X, def Y"));
    std::vector<std::vector<double>> rows;
    for (int i = 1; i <= 46; ++i) {
        std::vector<double> row;
        for (const QString& v : lines[i].split(' ', Qt::SkipEmptyParts))
            row.push_back(v.toDouble());
        QCOMPARE(row.size(), size_t(21));
        rows.push_back(row);
    }
    // The loads push the blade towards -y: the tip moves most, and far.
    QCOMPARE(rows.back()[0], 13150.0);
    QVERIFY(rows.back()[6] < -10);
    for (size_t i = 1; i < rows.size(); ++i) {
        QVERIFY(rows[i][1] > 0 && rows[i][3] > 0 && rows[i][4] > 0);  // area, price, mass
        QVERIFY(rows[i][8] > 0);                                      // von Mises
        QVERIFY(std::abs(rows[i][6]) >= std::abs(rows[i - 1][6]) - 1e-6 || i < 4);
    }
    QVERIFY(std::abs(rows[0][6]) < 0.01 * std::abs(rows.back()[6]));  // the clamped root
}

void TestAnalyseMode::loadCasesNotFound()
{
    Folder folder;
    folder.model("NewBlade");
    for (const QString& typed : {QString("3"), QString("0"), QString("-1"), QString("+7")}) {
        const ProgramRun run = folder.analyse(typed);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.split('\n').filter("Load case").last(), "Load case " + typed + " not found");
        QVERIFY(folder.runFolder().isEmpty());
    }
}

void TestAnalyseMode::badArguments()
{
    Folder folder;
    folder.model("NewBlade");
    for (const QString& typed : {QString("abc"), QString("1x"), QString(""), QString("99999999999"), QString(" 1")}) {
        const ProgramRun run = folder.analyse(typed);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, "Folvane: the load case argument '" + typed + "' is not a decimal number of 32 bits\n");
        QVERIFY(run.out.isEmpty());
        QVERIFY(folder.runFolder().isEmpty());
    }
}

// A blade name ends up in the solver's command, its files and the result
// table's name: it must run nothing and write nowhere else.
void TestAnalyseMode::unsafeBladeNames()
{
    Folder folder;
    folder.model("x\"; touch owned; \"");
    ProgramRun run = folder.analyse("2");
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("Starting analysis of x___touch_owned___: Load case 2"));
    QVERIFY(run.out.contains("Reading results finished"));
    QCOMPARE(folder.runFolder(), QStringList({"x___touch_owned___-2-failure.out", "x___touch_owned___-2.out"}));
    QVERIFY(!QFile::exists(folder.path("work/owned")) && !QFile::exists(folder.path("run/owned")));

    folder.model("../../x");
    run = folder.analyse("1");
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(folder.runFolder(), QStringList({".._.._x-1-failure.out", ".._.._x-1.out", "x___touch_owned___-2-failure.out",
                                              "x___touch_owned___-2.out"}));
    QVERIFY(QFile::exists(folder.path("work/.._.._x.inp")));
    QVERIFY(!QFile::exists(folder.path("x-1.out")) && !QFile::exists(folder.path("../x-1.out")));
}

// A design the solver refuses (a negative ply thickness, as an optimiser
// may draw) is a failed analysis: no result table, not even an old one.
void TestAnalyseMode::failedAnalysis()
{
    Folder folder;
    folder.model("NewBlade", -1);
    QDir().mkpath(folder.path("run"));
    writeBytes(folder.path("run/NewBlade-1.out"), "an earlier run's table");
    writeBytes(folder.path("run/NewBlade-1-failure.out"), "an earlier run's failure table");
    const ProgramRun run = folder.analyse("1");
    QCOMPARE(run.exitCode, 3);
    QVERIFY2(run.out.contains(QRegularExpression("\nAnalyser - RunLoadCase: job NewBlade, load case 1 failed: \\*ERROR[^\n]+\n"
                                                 "Cannot read the results\n")),
             qPrintable(run.out.right(3000)));
    // The debug stream (build summaries) shares standard error.
    QVERIFY2(run.err.endsWith("\nFolvane: the analysis of load case 1 failed, see the messages above; no result "
                              "table is written\n"),
             qPrintable(run.err));
    QVERIFY(folder.runFolder().isEmpty());
}

// -modal and -buckle on the default blade: a table each, the modes in
// order, classed and placed; arguments and failed runs as for -analyse.
void TestAnalyseMode::modalAndBuckling()
{
    Folder folder;
    const QString model = folder.model("NewBlade");
    ProgramRun run = folder.run({"-modal", model, "3"}, "run");
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("Starting modal analysis of NewBlade-modal: 3 modes\n"));
    QStringList lines = QString::fromUtf8(fileBytes(folder.path("run/NewBlade-modal.out"))).split('\n');
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], QString("Mode, Frequency, Class"));
    QStringList classes;
    double previous = 0;
    for (int m = 1; m <= 3; ++m) {
        const QStringList fields = lines[m].split(' ', Qt::SkipEmptyParts);
        QCOMPARE(fields.size(), 3);
        QCOMPARE(fields[0].toInt(), m);
        QVERIFY(fields[1].toDouble() > previous);
        previous = fields[1].toDouble();
        classes << fields[2];
    }
    // The default blade is flattest in y: it swings flapwise first.
    QCOMPARE(classes.mid(0, 2), QStringList({"flapwise", "edgewise"}));

    run = folder.run({"-buckle", model, "1"}, "run");  // the document's five modes
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("Starting buckling analysis of NewBlade-buckle: Load case 1, 5 modes\n"));
    lines = QString::fromUtf8(fileBytes(folder.path("run/NewBlade-1-buckle.out"))).split('\n');
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines[0], QString("Mode, Load Factor, Station, Region"));
    const QStringList places{"Reg-1-U", "Reg-2-U", "Reg-3-U", "Reg-3-L", "Reg-2-L", "Reg-1-L", "Web-1", "Web-2"};
    previous = 0;
    for (int m = 1; m <= 5; ++m) {
        const QStringList fields = lines[m].split(' ', Qt::SkipEmptyParts);
        QCOMPARE(fields.size(), 4);
        QVERIFY(fields[1].toDouble() >= previous);
        previous = fields[1].toDouble();
        QVERIFY(fields[2].toDouble() > 0 && fields[2].toDouble() <= 13150);
        QVERIFY(places.contains(fields[3]));
    }

    // Without a count, the document's.
    {
        KBlade two;
        two.optSetting()->setModalModes(2);
        two.setFp(folder.path("two.fvm"));
        QuietDebug quiet;
        QVERIFY(two.writeFile());
    }
    run = folder.run({"-modal", folder.path("two.fvm")}, "run");
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("Starting modal analysis of NewBlade-modal: 2 modes\n"));

    run = folder.run({"-modal", model, "0"}, "run");
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, QString("Folvane: the mode count argument '0' is not from 1 to 100\n"));
    run = folder.run({"-buckle", model, "3"}, "run");
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.endsWith("Folvane: load case 3 not found\n"));

    // A design the solver refuses leaves no table, not even an old one.
    folder.model("NewBlade", -1);
    run = folder.run({"-modal", model}, "run");
    QCOMPARE(run.exitCode, 3);
    QVERIFY(run.err.endsWith("Folvane: the modal analysis failed, see the messages above; no table is written\n"));
    QVERIFY(!QFile::exists(folder.path("run/NewBlade-modal.out")));
    run = folder.run({"-buckle", model, "1", "2"}, "run");
    QCOMPARE(run.exitCode, 3);
    QVERIFY(!QFile::exists(folder.path("run/NewBlade-1-buckle.out")));
}

QTEST_GUILESS_MAIN(TestAnalyseMode)
#include "tst_analysemode.moc"
