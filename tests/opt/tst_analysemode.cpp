#include "capture.h"
#include "files.h"
#include "program.h"
#include "vtkread.h"
#include "core/messages.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "blade/koptsetting.h"
#include "blade/kpattern.h"
#include "fem/model.h"

#include <QJsonArray>
#include <QProcess>
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
    void badArguments();
    void unsafeBladeNames();
    void sameNamedBladesAtOnce();
    void failedAnalysis();
    void modalAndBuckling();
    void paraviewFiles();
    void writesThatFail_data();
    void writesThatFail();
    void fullDisk();
};

namespace {

// The rows of numbers of a table the program wrote.
std::vector<std::vector<double>> tableRows(const QString& path)
{
    std::vector<std::vector<double>> rows;
    const QStringList lines = QString::fromUtf8(fileBytes(path)).split('\n', Qt::SkipEmptyParts);
    for (int i = 1; i < lines.size(); ++i) {
        rows.emplace_back();
        for (const QString& v : lines[i].split(' ', Qt::SkipEmptyParts))
            rows.back().push_back(v.toDouble());
    }
    return rows;
}

double largest(const std::vector<double>& values)
{
    double most = -HUGE_VAL;
    for (double v : values)
        if (!std::isnan(v))
            most = std::max(most, v);
    return most;
}

} // namespace

void TestAnalyseMode::resultTableOfTheDefaultBlade()
{
    Folder folder;
    folder.model("NewBlade");
    const ProgramRun run = folder.analyse("1");
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.startsWith("Reading blade file: " + folder.path("blade.fvm") + "\n"));
    // The model's size, once, where the window has its status bar.
    QVERIFY(run.out.contains("\nFE model: 440 nodes, 523 elements\nStarting analysis of NewBlade: Load case 1\n"));
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
    QCOMPARE(folder.runFolder(), QStringList({"x\"; touch owned; \"-2-failure.out", "x\"; touch owned; \"-2.out"}));
    QVERIFY(!QFile::exists(folder.path("work/owned")) && !QFile::exists(folder.path("run/owned")));

    folder.model("../../x");
    run = folder.analyse("1");
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(folder.runFolder(), QStringList({".._.._x-1-failure.out", ".._.._x-1.out", "x\"; touch owned; \"-2-failure.out",
                                              "x\"; touch owned; \"-2.out"}));
    QVERIFY(QFile::exists(folder.path("work/.._.._x.inp")));
    QVERIFY(!QFile::exists(folder.path("x-1.out")) && !QFile::exists(folder.path("../x-1.out")));
}

// Two blades of one name, analysed at once in one work folder, give the
// tables each gives alone: neither reads the other's results. The table
// keeps the name as it was written.
void TestAnalyseMode::sameNamedBladesAtOnce()
{
    Folder folder;
    for (const auto& [file, thickness] : {std::pair<QString, double>{"thin.fvm", 1}, {"thick.fvm", 3}}) {
        folder.model("My Blade", thickness);
        QVERIFY(QFile::rename(folder.path("blade.fvm"), folder.path(file)));
        const ProgramRun alone = folder.run({"-analyse", folder.path(file), "1"}, "alone-" + file);
        QCOMPARE(alone.exitCode, 0);
    }
    std::vector<std::unique_ptr<QProcess>> runs;
    for (const QString& file : QStringList{"thin.fvm", "thick.fvm"}) {
        QDir().mkpath(folder.path("both-" + file));
        auto run = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", folder.path("home"));
        run->setProcessEnvironment(env);
        run->setWorkingDirectory(folder.path("both-" + file));
        run->start(FOLVANE_BINARY, {"-analyse", folder.path(file), "1"});
        runs.push_back(std::move(run));
    }
    for (auto& run : runs) {
        QVERIFY(run->waitForFinished(300000));
        QCOMPARE(run->exitCode(), 0);
    }
    const QByteArray thin = fileBytes(folder.path("alone-thin.fvm/My Blade-1.out"));
    QVERIFY(thin.startsWith("Blade Length") && thin != fileBytes(folder.path("alone-thick.fvm/My Blade-1.out")));
    for (const QString& file : QStringList{"thin.fvm", "thick.fvm"}) {
        const QString table = "/My Blade-1.out";
        QCOMPARE(fileBytes(folder.path("both-" + file + table)), fileBytes(folder.path("alone-" + file + table)));
    }
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
    // The debug stream (the file's messages) shares standard error.
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
    // Its shapes for ParaView, with the table's frequencies.
    QString error;
    QJsonObject vtk = readWithVtk(folder.path("run/NewBlade-modal.vtu"), &error);
    QVERIFY2(!vtk.isEmpty(), qPrintable(error));
    const std::vector<double> frequencies = vtkValues(vtk, "fieldData", "Frequency");
    QCOMPARE(frequencies.size(), size_t(3));
    for (int m = 1; m <= 3; ++m) {
        QVERIFY(std::abs(frequencies[size_t(m - 1)] / lines[m].split(' ', Qt::SkipEmptyParts)[1].toDouble() - 1) < 1e-5);
        QVERIFY(largest(vtkValues(vtk, "pointData", QString("Mode_%1").arg(m))) > 0);
    }
    QVERIFY(!vtk["pointData"].toObject().contains("Mode_4"));

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
    vtk = readWithVtk(folder.path("run/NewBlade-1-buckle.vtu"), &error);
    QVERIFY2(!vtk.isEmpty(), qPrintable(error));
    QCOMPARE(vtkValues(vtk, "fieldData", "LoadFactor").size(), size_t(5));
    QVERIFY(vtk["pointData"].toObject().contains("Mode_5"));

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
    QVERIFY(!QFile::exists(folder.path("run/NewBlade-modal.vtu")));
    run = folder.run({"-buckle", model, "1", "2"}, "run");
    QCOMPARE(run.exitCode, 3);
    QVERIFY(!QFile::exists(folder.path("run/NewBlade-1-buckle.out")));
    QVERIFY(!QFile::exists(folder.path("run/NewBlade-1-buckle.vtu")));
}

// -vtk on the default blade: the model alone, one load case with results
// that agree with the result table, and both load cases in a collection.
void TestAnalyseMode::paraviewFiles()
{
    Folder folder;
    const QString model = folder.model("NewBlade");
    KBlade blade;
    {
        QuietDebug quiet;
        blade.setFp(model);
        QVERIFY(blade.readFile());
        blade.genFEModel();
    }
    ProgramRun run = folder.run({"-vtk", model, "model.vtu"}, "run");
    QCOMPARE(run.exitCode, 0);
    QString error;
    QJsonObject vtk = readWithVtk(folder.path("run/model.vtu"), &error);
    QVERIFY2(!vtk.isEmpty(), qPrintable(error));
    const Model* fe = blade.feModel();
    QCOMPARE(vtk["points"].toArray().size(), 3 * (fe->nodes().count() + fe->edges().count()));
    const QJsonArray cells = vtk["cells"].toArray();
    QCOMPARE(cells.size(), fe->elements().count());
    double thinnest = HUGE_VAL, thickest = 0;
    for (int i = 0; i < cells.size(); ++i) {
        const int type = cells[i].toArray()[0].toInt();
        QVERIFY(type == (fe->elements().at(i)->cornerCount() == 4 ? 23 : 22));
        thinnest = std::min(thinnest, fe->elements().at(i)->section()->totalThickness());
        thickest = std::max(thickest, fe->elements().at(i)->section()->totalThickness());
    }
    const std::vector<double> thickness = vtkValues(vtk, "cellData", "Thickness");
    QCOMPARE(*std::min_element(thickness.begin(), thickness.end()), thinnest);
    QCOMPARE(largest(thickness), thickest);
    QCOMPARE(vtk["fieldData"].toObject()["RegionNames"].toObject()["values"].toArray(),
             QJsonArray({"Reg-1-U", "Reg-2-U", "Reg-3-U", "Reg-3-L", "Reg-2-L", "Reg-1-L", "Web-1", "Web-2"}));
    QCOMPARE(largest(vtkValues(vtk, "cellData", "Region")), 7.0);
    QVERIFY(!vtk["pointData"].toObject().contains("Displacement"));

    // The tip's mean deflection and the largest von Mises stress, as the
    // result table has them.
    QCOMPARE(folder.run({"-analyse", model, "1"}, "run").exitCode, 0);
    QCOMPARE(folder.run({"-vtk", model, "one.vtu", "1"}, "run").exitCode, 0);
    vtk = readWithVtk(folder.path("run/one.vtu"), &error);
    QVERIFY2(!vtk.isEmpty(), qPrintable(error));
    const auto table = tableRows(folder.path("run/NewBlade-1.out"));
    const std::vector<double> displacement = vtkValues(vtk, "pointData", "Displacement");
    const QJsonArray points = vtk["points"].toArray();
    Eigen::Vector2d tip = Eigen::Vector2d::Zero();
    int atTip = 0;
    for (int i = 0; i < fe->nodes().count(); ++i)
        if (std::abs(points[3 * i + 2].toDouble() - 13150) < 1e-3) {
            tip += Eigen::Vector2d(displacement[size_t(3 * i)], displacement[size_t(3 * i + 1)]);
            ++atTip;
        }
    QVERIFY(atTip > 0);
    tip /= atTip;
    // Single-precision values in the file.
    QVERIFY2(std::abs(tip.x() - table.back()[5]) < 1e-4 * std::abs(table.back()[6]), qPrintable(QString::number(tip.x())));
    QVERIFY2(std::abs(tip.y() / table.back()[6] - 1) < 1e-5, qPrintable(QString::number(tip.y())));
    double tableVonMises = 0;
    for (const auto& row : table)
        tableVonMises = std::max(tableVonMises, row[8]);
    QVERIFY(std::abs(largest(vtkValues(vtk, "cellData", "VonMises")) / tableVonMises - 1) < 1e-6);
    QVERIFY(vtk["cellData"].toObject().contains("Stress_3") && !vtk["cellData"].toObject().contains("Stress_4"));
    QCOMPARE(vtk["fieldData"].toObject()["LoadCase"].toObject()["values"].toArray(), QJsonArray({"Load-1"}));

    run = folder.run({"-vtk", model, "all.pvd", "all"}, "run");
    QCOMPARE(run.exitCode, 0);
    vtk = readWithVtk(folder.path("run/all.pvd"), &error);
    QVERIFY2(!vtk.isEmpty(), qPrintable(error));
    const QJsonArray sets = vtk["datasets"].toArray();
    QCOMPARE(sets.size(), 2);
    QCOMPARE(sets[0].toObject()["file"].toString(), QString("all-1.vtu"));
    QCOMPARE(sets[1].toObject()["file"].toString(), QString("all-2.vtu"));
    QCOMPARE(vtkValues(sets[0].toObject()["dataset"].toObject(), "pointData", "Displacement"), displacement);
    QVERIFY(vtkValues(sets[1].toObject()["dataset"].toObject(), "pointData", "Displacement") != displacement);

    run = folder.run({"-vtk", model, "three.vtu", "3"}, "run");
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.endsWith("Folvane: load case 3 not found\n"));
    // A design the solver refuses writes nothing.
    folder.model("NewBlade", -1);
    run = folder.run({"-vtk", model, "bad.pvd", "all"}, "run");
    QCOMPARE(run.exitCode, 3);
    QVERIFY(run.err.endsWith("Folvane: the analysis of load case 1 failed, see the messages above; no VTK file is written\n"));
    QVERIFY(!QFile::exists(folder.path("run/bad.pvd")) && !QFile::exists(folder.path("run/bad-1.vtu")));
}

void TestAnalyseMode::writesThatFail_data()
{
    // A folder where a mode writes a file: the write fails, so must the mode.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("blocked");
    QTest::addColumn<int>("exitCode");
    const QString golden = QString(FOLVANE_GOLDEN_DIR) + "/NewBlade-1.out";
    QTest::newRow("result table") << QStringList{"-analyse", "MODEL", "1"} << "NewBlade-1.out" << 3;
    QTest::newRow("failure table") << QStringList{"-analyse", "MODEL", "1"} << "NewBlade-1-failure.out" << 3;
    QTest::newRow("modal table") << QStringList{"-modal", "MODEL", "2"} << "NewBlade-modal.out" << 3;
    QTest::newRow("mode shapes") << QStringList{"-modal", "MODEL", "2"} << "NewBlade-modal.vtu" << 3;
    QTest::newRow("mesh") << QStringList{"-vtk", "MODEL", "mesh.vtu"} << "mesh.vtu" << 3;
    QTest::newRow("span plot") << QStringList{"-plot", "span.svg", golden} << "span.svg" << 2;
}

void TestAnalyseMode::writesThatFail()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, blocked);
    QFETCH(int, exitCode);
    Folder folder;
    arguments.replaceInStrings("MODEL", folder.model("NewBlade"));
    QVERIFY(QDir().mkpath(folder.path("run/") + blocked));
    const ProgramRun run = folder.run(arguments, "run");
    QVERIFY2(run.exitCode == exitCode, qPrintable(QString::number(run.exitCode) + ": " + run.err));
    QCOMPARE(run.err.split('\n').filter("Folvane:"),
             QStringList({"Folvane: cannot write " + blocked + ": Filename refers to a directory"
                          + (exitCode == 3 ? "; the results are not kept" : "")}));
}

// On a full disk a table or a plot is not written, and the one an earlier
// run left stays whole.
void TestAnalyseMode::fullDisk()
{
    Folder folder;
    const QString model = folder.model("NewBlade");
    QDir().mkpath(folder.path("full"));
    QDir().mkpath(folder.path("after"));
    // A small file system of its own, filled, in a mount namespace that ends
    // with the script.
    const QString script = R"(mount -t tmpfs -o size=256k tmpfs "$1" || exit 99
cd "$1" && printf 'old table\n' > NewBlade-1.out && printf 'old plot\n' > span.svg || exit 98
head -c 1048576 /dev/zero > fill 2>/dev/null
"$2" -analyse "$3" 1 > /dev/null 2> "$4/analyse.err"; echo $? > "$4/analyse.code"
"$2" -plot span.svg "$5" > /dev/null 2> "$4/plot.err"; echo $? > "$4/plot.code"
cp NewBlade-1.out span.svg "$4/")";
    QProcess shell;
    shell.setWorkingDirectory(folder.path("."));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", folder.path("home"));
    shell.setProcessEnvironment(env);
    shell.start("unshare", {"-m", "sh", "-c", script, "sh", folder.path("full"), FOLVANE_BINARY, model,
                            folder.path("after"), QString(FOLVANE_GOLDEN_DIR) + "/NewBlade-1.out"});
    QVERIFY(shell.waitForFinished(300000));
    if (shell.exitCode() != 0 && !QFile::exists(folder.path("after/analyse.code")))
        QSKIP(qPrintable("a full file system needs a mount namespace (root): " + shell.readAllStandardError()));
    QCOMPARE(fileBytes(folder.path("after/analyse.code")), QByteArray("3\n"));
    const auto refusal = [&folder](const char* name) {
        return QString::fromUtf8(fileBytes(folder.path("after/") + name)).split('\n').filter("Folvane:");
    };
    QCOMPARE(refusal("analyse.err"),
             QStringList({"Folvane: cannot write NewBlade-1.out: No space left on device; the results are not kept"}));
    QCOMPARE(fileBytes(folder.path("after/plot.code")), QByteArray("2\n"));
    QCOMPARE(refusal("plot.err"), QStringList({"Folvane: cannot write span.svg: No space left on device"}));
    QCOMPARE(fileBytes(folder.path("after/NewBlade-1.out")), QByteArray("old table\n"));
    QCOMPARE(fileBytes(folder.path("after/span.svg")), QByteArray("old plot\n"));
}

QTEST_GUILESS_MAIN(TestAnalyseMode)
#include "tst_analysemode.moc"
