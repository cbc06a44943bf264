#include "capture.h"
#include "files.h"
#include "blade/kanalysis.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "blade/kload.h"
#include "blade/kmaterial.h"
#include "blade/koptsetting.h"
#include "blade/kpattern.h"
#include "blade/kregion.h"
#include "blade/ksinglelayer.h"
#include "blade/kweb.h"
#include "core/messages.h"
#include "core/parameterlist.h"
#include "fem/elementrow.h"
#include "fem/model.h"
#include "fem/noderow.h"
#include "geometry/kprofile.h"
#include "geometry/kprofilelist.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cfloat>
#include <cmath>

using namespace Folvane;

namespace {

// An ANSYS stand-in that answers every run with the same results: every
// node moved by (1, -2, 0.5) and every stress and strain 3.
void useAnsysStandIn(KBlade& blade, const QString& folder)
{
    const Model& model = *blade.feModel();
    QByteArray nodes, elements;
    for (int n = 0; n < model.nodes().count(); ++n)
        nodes += "      1.00000000\n     -2.00000000\n      0.50000000\n      0.00000000\n      0.00000000\n      0.00000000\n";
    for (int i = 0; i < model.elements().count() * model.sections().maxPlyCount(); ++i)
        elements += "      3.00000000\n";
    QDir().mkpath(folder + "/results");
    writeBytes(folder + "/results/NewBlade_Node.output", nodes);
    for (const char* suffix : {"_EleS1", "_EleS2", "_EleS12", "_EleE1", "_EleE2", "_EleE12"})
        writeBytes(folder + QString("/results/NewBlade%1.output").arg(suffix), elements);
    const QString script = folder + "/ansys.sh";
    writeBytes(script, QString("#!/bin/sh\ncp '%1'/results/* .\n").arg(folder).toUtf8());
    QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner);
    blade.anaSet()->setType(KAnalysis::Ansys);
    blade.anaSet()->setProDir(script);
    blade.anaSet()->setWorkDir(folder);
}

void setObjective(KBlade& blade, int i, double low, double high, double target, double weight)
{
    KObjective* o = blade.optSetting()->ReadObjective(i);
    o->setLow(low);
    o->setHigh(high);
    o->setTarget(target);
    o->setWeight(weight);
    o->setIsOpt(weight != 0);
}

void build(KBlade& blade)
{
    QuietDebug quiet;
    blade.genFEModel();
}

} // namespace

class TestAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateHome(); }
    void stationTables();
    void evaluation();
    void resultTable();
};

void TestAnalysis::stationTables()
{
    QTemporaryDir dir;
    KBlade blade;
    blade.materials()->material(0)->price()->setValue(2.5);
    build(blade);
    // Before any run every result reads as zero (the twist but for rounding).
    QVERIFY(blade.computeObjectives().tail(10).cwiseAbs().maxCoeff() < 1e-6);

    const Eigen::MatrixXd properties = blade.stationProperties();
    QCOMPARE(properties.rows(), Eigen::Index(46));
    QCOMPARE(properties.cols(), Eigen::Index(5));
    QCOMPARE(Eigen::RowVectorXd(properties.row(0)), Eigen::RowVectorXd::Zero(5));
    QCOMPARE(properties(45, 0), 13150.0);
    double area = 0, volume = 0, mass = 0, price = 0;
    const Model& model = *blade.feModel();
    for (int i = 0; i < model.elements().count(); ++i) {
        const Element* e = model.elements().at(i);
        area += e->area();
        volume += e->area() * e->section()->totalThickness();
        mass += e->area() * e->section()->arealMass();
        price += e->area() * e->section()->arealCost();
    }
    QVERIFY(std::abs(properties.col(1).sum() / area - 1) < 1e-12);
    QVERIFY(std::abs(properties.col(2).sum() / volume - 1) < 1e-12);
    QVERIFY(std::abs(properties.col(3).sum() / price - 1) < 1e-12);
    QVERIFY(std::abs(properties.col(4).sum() / mass - 1) < 1e-12);
    QVERIFY(price > mass);  // UD costs 2.5 a unit of mass: price and mass stay apart

    useAnsysStandIn(blade, dir.path());
    QVERIFY(blade.runAnalysis());
    const Eigen::MatrixXd deflections = blade.stationDeflections(1);
    QCOMPARE(deflections.cols(), Eigen::Index(7));
    QVERIFY((deflections.col(1).array() - 1).abs().maxCoeff() < 1e-12);
    QVERIFY((deflections.col(2).array() + 2).abs().maxCoeff() < 1e-12);
    QVERIFY(blade.stationTwist(1).col(1).maxCoeff() < 1e-6);  // a translation turns nothing
    const Eigen::MatrixXd stresses = blade.stationStresses(0);
    QCOMPARE(stresses.cols(), Eigen::Index(14));
    QCOMPARE(stresses(10, 2), 3.0);  // S11
    QCOMPARE(stresses(10, 4), 0.0);  // S33: not written by ANSYS
    QCOMPARE(stresses(0, 2), 0.0);
    // Von Mises of s11 = s22 = s12 = 3.
    QCOMPARE(stresses(10, 1), std::sqrt(0.5 * (9 + 9 + 6 * 9)));

    const Eigen::VectorXd objectives = blade.computeObjectives();
    QCOMPARE(objectives.size(), Eigen::Index(12));
    QVERIFY(std::abs(objectives[0] / price - 1) < 1e-12);
    QVERIFY(std::abs(objectives[1] / mass - 1) < 1e-12);
    QCOMPARE(objectives[2], 1.0);
    QCOMPARE(objectives[3], 2.0);  // the largest absolute value
    QCOMPARE(objectives[5], std::sqrt(36.0));
    QCOMPARE(objectives[6], 3.0);
    QCOMPARE(objectives[8], 0.0);

    // With no load case there is nothing to take a maximum of: zeros.
    while (blade.loads()->count())
        blade.loads()->RemoveSon(0);
    QCOMPARE(blade.computeObjectives().tail(10), Eigen::VectorXd::Zero(10));
}

void TestAnalysis::evaluation()
{
    QTemporaryDir dir;
    KBlade blade;
    build(blade);
    useAnsysStandIn(blade, dir.path());
    const Eigen::MatrixXd properties = blade.stationProperties();
    const double price = properties.col(3).sum();
    for (int i = 0; i < 18; ++i)
        setObjective(blade, i, -1, 1000, 0, 0);

    // Price below its range: refused before any solver run.
    setObjective(blade, 0, price * 2, price * 3, 0, 1);
    double fitness = 0;
    Eigen::VectorXd results;
    Capture capture;
    QVERIFY(!blade.checkPriceMass());
    QVERIFY(!blade.evaluate(fitness, results));
    QCOMPARE(fitness, -0.7 * DBL_MAX);
    QCOMPARE(results, Eigen::VectorXd::Zero(18));
    QVERIFY(capture.outLines().isEmpty());

    // All weights zero and every result inside its range: fitness 0.
    setObjective(blade, 0, 0, price * 2, 0, 0);
    QVERIFY(blade.checkPriceMass());
    QVERIFY(blade.evaluate(fitness, results));
    QCOMPARE(fitness, 0.0);
    QCOMPARE(results.size(), Eigen::Index(12));
    const QStringList out = capture.outLines();
    const int header = out.indexOf("Max. Results:");
    QVERIFY(header >= 0);
    QCOMPARE(out.mid(header + 1, 12).size(), 12);
    QCOMPARE(out[header + 3].trimmed(), QString("1"));   // def X
    QCOMPARE(out[header + 4].trimmed(), QString("2"));   // def Y
    QCOMPARE(out[header + 7].trimmed(), QString("3"));   // S11

    // One weight 1, target 6 away from the result: -sqrt(36 / 12).
    setObjective(blade, 0, 0, price * 2, price + 6, 1);
    QVERIFY(blade.evaluate(fitness, results));
    QVERIFY(std::abs(fitness + std::sqrt(3.0)) < 1e-9);

    // A result outside its range fails and keeps the initial fitness.
    setObjective(blade, 3, 0, 1.5, 0, 0);
    QVERIFY(!blade.evaluate(fitness, results));
    QCOMPARE(fitness, -0.7 * DBL_MAX);
    QCOMPARE(results[3], 2.0);

    // A design the solver refuses (a negative ply thickness) is no design:
    // it fails, however well nothing at all would have scored.
    for (int i = 0; i < 18; ++i)
        setObjective(blade, i, -1e300, 1e300, 0, 1);
    blade.patterns()->pattern(0)->ReadLaminateByInd(0)->thick()->setValue(-1);
    build(blade);
    blade.anaSet()->setType(KAnalysis::Calculix);
    blade.anaSet()->setProDir("ccx");
    QVERIFY(!blade.evaluate(fitness, results));
    QCOMPARE(fitness, -0.7 * DBL_MAX);
    QVERIFY(capture.outLines().contains("Cannot read the results"));

    // Abaqus has no analyser: no run, a failure.
    blade.anaSet()->setType(KAnalysis::Abaqus);
    capture.clear();
    QVERIFY(!blade.runAnalysis());
    QCOMPARE(capture.outLines(),
             QStringList({"KBlade - runAnalysis: Abaqus input is written but not run; choose ANSYS or CalculiX"}));
}

void TestAnalysis::resultTable()
{
    QTemporaryDir dir;
    KBlade blade;
    build(blade);
    useAnsysStandIn(blade, dir.path());
    QVERIFY(blade.runLoadCase(1));
    const QString path = dir.filePath("table.out");
    blade.exportResults(path, 1);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    QCOMPARE(lines.first(), QString("Blade Length, Area, Volume, Price, Mass, def X, def Y, Twist, Sv, S11, S22, S33, "
                                    "S12, S13, S23, E11, E22, E33, E12, E13, E23"));
    QCOMPARE(lines.size(), 1 + 46 + 1);
    QCOMPARE(lines.last(), QString());
    // Every value right-aligned to one width, separated by one blank.
    const int width = lines[1].size();
    for (int i = 1; i <= 46; ++i) {
        QCOMPARE(lines[i].size(), width);
        const QStringList values = lines[i].split(' ', Qt::SkipEmptyParts);
        QCOMPARE(values.size(), 21);
        QCOMPARE((width + 1) % 21, 0);
    }
    QCOMPARE(lines[46].split(' ', Qt::SkipEmptyParts)[0], QString("13150"));
    QCOMPARE(lines[46].split(' ', Qt::SkipEmptyParts)[6], QString("-2"));

    Capture capture;
    blade.exportResults(dir.filePath("no/such/table.out"), 1);
    QCOMPARE(capture.outLines(), QStringList({"Cantnot export to file: " + dir.filePath("no/such/table.out")}));
    KBlade unbuilt;
    capture.clear();
    QVERIFY(!unbuilt.runLoadCase(0));
    QCOMPARE(capture.outLines(), QStringList({"KBlade - runLoadCase: no FE model, build it first"}));
    QCOMPARE(unbuilt.stationProperties().rows(), Eigen::Index(0));
    QVERIFY(!unbuilt.checkPriceMass());
}

QTEST_GUILESS_MAIN(TestAnalysis)
#include "tst_analysis.moc"
