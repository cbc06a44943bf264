// What this version adds to a document: ply strengths, carried by the model
// file's additions block so that files without them stay byte for byte as
// they were, and the failure criteria they feed.
#include "capture.h"
#include "files.h"
#include "blade/kblade.h"
#include "blade/kanalysis.h"
#include "blade/kmaterial.h"
#include "blade/koptsetting.h"
#include "core/binaryio.h"
#include "core/messages.h"
#include "core/parameterlist.h"
#include "fem/failure.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

using namespace Folvane;

namespace {

const Material::Strengths Glass{1000.0, 600.0, 40.0, 140.0, 60.0};

class Probe : public UniaxMaterial
{
public:
    explicit Probe(const Material::Strengths& strengths)
        : UniaxMaterial(QStringLiteral("probe"), 1.0, 1.0, {70000.0, 0.3})
    {
        setStrengths(strengths);
    }
};

} // namespace

class TestAdditions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateHome(); }
    void filesWithoutAdditionsStayAsTheyWere();
    void strengthsRoundTrip();
    void failureCriteria();
    void noStrengthsNoIndex();
    void checksRoundTrip();
    void checksInTheFitness();
};

void TestAdditions::filesWithoutAdditionsStayAsTheyWere()
{
    // The default document's file as this program wrote it before strengths
    // existed: written again byte for byte, and read without change.
    const QByteArray before = fileBytes(QStringLiteral(FOLVANE_GOLDEN_DIR "/NewBlade.fvm"));
    KBlade blade;
    QVERIFY(modelBytes(blade) == before);
    KBlade reread;
    reread.materials()->material(0)->setStrength(KMaterial::Xt, new Linker(5.0, nullptr));
    QVERIFY(readModelBytes(reread, before));
    QCOMPARE(reread.materials()->material(0)->strength(KMaterial::Xt)->exp(), QString("0"));
    // (Reading sorts the point loads, so the bytes written back are those
    // of a read document, and stay so.)
    const QByteArray written = modelBytes(reread);
    QVERIFY(!written.contains("FVAD"));
    QVERIFY(readModelBytes(reread, written) && modelBytes(reread) == written);
    // Nor does its exchange file name a strength.
    for (const QJsonValue& m : blade.toJson()["Material"].toArray())
        QCOMPARE(m.toObject().keys(), QStringList({"Data", "Density", "Name", "Price", "Type"}));
}

void TestAdditions::strengthsRoundTrip()
{
    KBlade blade;
    Capture quiet;
    blade.parameters()->addSon();
    KMaterial* ud = blade.materials()->material(0);
    const QStringList expressions{"1200", "Par * 700", "45", "", "0"};
    for (int k = 0; k < KMaterial::StrengthCount; ++k) {
        auto* strength = new Linker(0.0, nullptr);
        strength->setExp(expressions[k]);
        ud->setStrength(k, strength);
    }
    blade.materials()->material(2)->strength(KMaterial::S)->setExp("0.3");
    const QByteArray bytes = modelBytes(blade);
    QVERIFY(bytes.contains("FVAD"));
    KBlade reread;
    QVERIFY(readModelBytes(reread, bytes));
    for (int k = 0; k < KMaterial::StrengthCount; ++k)
        QCOMPARE(reread.materials()->material(0)->strength(k)->exp(), expressions[k]);
    QCOMPARE(reread.materials()->material(2)->strength(KMaterial::S)->exp(), QString("0.3"));
    QCOMPARE(reread.materials()->material(1)->hasStrengths(), false);
    const QByteArray written = modelBytes(reread);
    QCOMPARE(written.size(), bytes.size());
    QVERIFY(readModelBytes(reread, written) && modelBytes(reread) == written);

    // The exchange file holds the strengths that are given, as numbers.
    const QJsonObject json = blade.toJson();
    const QJsonObject first = json["Material"].toArray()[0].toObject();
    QCOMPARE(first["Xt"].toDouble(), 1200.0);
    QCOMPARE(first["Yt"].toDouble(), 45.0);
    QVERIFY(first.contains("Xc") == std::isfinite(ud->strength(KMaterial::Xc)->value()));
    QVERIFY(!first.contains("Yc"));
    QVERIFY(!first.contains("S"));
    KBlade fromJson;
    fromJson.fromJson(json);
    QCOMPARE(fromJson.materials()->material(0)->strength(KMaterial::Xt)->value(), 1200.0);
    QCOMPARE(fromJson.materials()->material(0)->strength(KMaterial::Yc)->value(), 0.0);
    QCOMPARE(fromJson.materials()->material(2)->strength(KMaterial::S)->value(), 0.3);
}

void TestAdditions::failureCriteria()
{
    // Each strength alone, reached: both criteria give 1, and twice the
    // stress twice the index (both are factors on the load).
    const struct { double s1, s2, s12; } limits[] = {
        {Glass[0], 0, 0}, {-Glass[1], 0, 0}, {0, Glass[2], 0}, {0, -Glass[3], 0}, {0, 0, Glass[4]}, {0, 0, -Glass[4]}};
    for (const auto& l : limits) {
        QVERIFY(std::abs(maxStressIndex(Glass, l.s1, l.s2, l.s12) - 1.0) < 1e-12);
        QVERIFY(std::abs(tsaiWuIndex(Glass, l.s1, l.s2, l.s12) - 1.0) < 1e-12);
        QVERIFY(std::abs(tsaiWuIndex(Glass, 0.5 * l.s1, 0.5 * l.s2, 0.5 * l.s12) - 0.5) < 1e-12);
    }
    // Combined: maximum stress takes the worst component; Tsai-Wu, with
    // F12 = -sqrt(F11 F22)/2, the root of its quadratic in the load factor.
    const double s1 = 300, s2 = 20, s12 = 30;
    QCOMPARE(maxStressIndex(Glass, s1, s2, s12), 0.5);
    const double f1 = 1 / Glass[0] - 1 / Glass[1], f2 = 1 / Glass[2] - 1 / Glass[3];
    const double f11 = 1 / (Glass[0] * Glass[1]), f22 = 1 / (Glass[2] * Glass[3]), f66 = 1 / (Glass[4] * Glass[4]);
    const double f12 = -0.5 * std::sqrt(f11 * f22);
    const double index = tsaiWuIndex(Glass, s1, s2, s12);
    const double r = 1 / index;
    const double criterion = f1 * s1 * r + f2 * s2 * r + f11 * s1 * s1 * r * r + f22 * s2 * s2 * r * r
        + f66 * s12 * s12 * r * r + 2 * f12 * s1 * s2 * r * r;
    QVERIFY(std::abs(criterion - 1.0) < 1e-12);
    QVERIFY(index > 0.5 && index < 2.0);

    // Without all five strengths there is no index at all.
    Material::Strengths partial = Glass;
    partial[4] = std::nan("");
    const PlyFailure none = plyFailure(Probe(partial), s1, s2, s12);
    QVERIFY(std::isnan(none.maxStress) && std::isnan(none.tsaiWu));
    const PlyFailure given = plyFailure(Probe(Glass), s1, s2, s12);
    QCOMPARE(given.maxStress, 0.5);
    QCOMPARE(given.tsaiWu, index);
}

void TestAdditions::noStrengthsNoIndex()
{
    // The default blade gives no strengths: its failure table says so in
    // every cell but the station's.
    KBlade blade;
    QTemporaryDir dir;
    Capture quiet;
    blade.genFEModel();
    const Eigen::MatrixXd table = blade.stationFailure(0);
    QCOMPARE(table.rows(), blade.stationPositions().size());
    QVERIFY(table.rightCols(KBlade::FailureColumns - 1).array().isNaN().all());
    const QString path = dir.filePath("failure.out");
    QVERIFY(blade.exportFailure(path, 0));
    const QList<QByteArray> lines = fileBytes(path).split('\n');
    QCOMPARE(lines[0], QByteArray("Blade Length, Max Stress, Element, Ply, Tsai-Wu, Element, Ply"));
    QCOMPARE(lines.size(), int(table.rows()) + 2);
    for (int r = 1; r <= table.rows(); ++r)
        QCOMPARE(lines[r].simplified().split(' ').mid(1).join(' '), QByteArray("- - - - - -"));
}

// The design checks and their analyses' settings go in the block too; a
// block of the first version (strengths only) still reads.
void TestAdditions::checksRoundTrip()
{
    KBlade blade;
    KOptSetting* opt = blade.optSetting();
    QCOMPARE(opt->ReadObjective(opt->objectiveCount() + KOptSetting::FailureIndex)->name(), QString("Failure Index"));
    QCOMPARE(opt->tableModel()->rowCount(), opt->objectiveCount() + 4);
    const QByteArray plain = modelBytes(blade);
    opt->setBucklingLoadCase(2);
    QVERIFY(modelBytes(blade).contains("FVAD"));
    opt->setBucklingLoadCase(0);
    QVERIFY(modelBytes(blade) == plain);
    // Every field of every check, and the three choices.
    for (int i = 0; i < KOptSetting::CheckCount; ++i) {
        KObjective* c = opt->check(i);
        c->setIsOpt(i % 2 == 0);
        c->setLow(0.5 + i);
        c->setHigh(10.0 + i);
        c->setTarget(3.25 + i);
        c->setWeight(0.75 + i);
    }
    opt->setModalModes(8);
    opt->setBucklingModes(7);
    opt->setBucklingLoadCase(2);
    const QByteArray bytes = modelBytes(blade);
    KBlade reread;
    QVERIFY(readModelBytes(reread, bytes));
    for (int i = 0; i < KOptSetting::CheckCount; ++i) {
        const KObjective* c = reread.optSetting()->check(i);
        QCOMPARE(c->isOpt(), i % 2 == 0);
        QCOMPARE(c->low(), 0.5 + i);
        QCOMPARE(c->high(), 10.0 + i);
        QCOMPARE(c->target(), 3.25 + i);
        QCOMPARE(c->isOpt() ? c->weight() : 0.0, c->isOpt() ? 0.75 + i : 0.0);
        QCOMPARE(c->name(), opt->check(i)->name());
    }
    QCOMPARE(reread.optSetting()->modalModes(), 8);
    QCOMPARE(reread.optSetting()->bucklingModes(), 7);
    QCOMPARE(reread.optSetting()->bucklingLoadCase(), 2);
    // Read over by a file without the block: the checks are a new document's.
    QVERIFY(readModelBytes(reread, plain));
    QVERIFY(!reread.optSetting()->check(KOptSetting::BucklingFactor)->isOpt());
    QCOMPARE(reread.optSetting()->modalModes(), 5);

    // Version 1: tag, version, length, the strengths, their digest.
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        Binary::prepare(out);
        Binary::writeInt(out, 3);
        for (int m = 0; m < 3; ++m)
            for (int k = 0; k < KMaterial::StrengthCount; ++k)
                Linker(m == 1 && k == KMaterial::Xc ? 450.0 : 0.0, nullptr).writeBinary(out);
    }
    QByteArray first = plain + "FVAD";
    {
        QDataStream out(&first, QIODevice::Append);
        Binary::prepare(out);
        Binary::writeInt(out, 1);
        Binary::writeInt64(out, payload.size());
    }
    first += payload + QCryptographicHash::hash(payload, QCryptographicHash::Md5);
    QVERIFY(readModelBytes(reread, first));
    QCOMPARE(reread.materials()->material(1)->strength(KMaterial::Xc)->value(), 450.0);
    QCOMPARE(reread.optSetting()->modalModes(), 5);
}

// Checks that are optimised follow the objectives in the results and weigh
// in the fitness alike; each runs its analysis only then.
void TestAdditions::checksInTheFitness()
{
    QTemporaryDir dir;
    KBlade blade;
    blade.anaSet()->setType(KAnalysis::Calculix);
    blade.anaSet()->setProDir("ccx");
    blade.anaSet()->setWorkDir(dir.path());
    KOptSetting* opt = blade.optSetting();
    for (int i = 0; i < opt->objectiveCount(); ++i) {
        KObjective* o = opt->ReadObjective(i);
        o->setLow(-1e300);
        o->setHigh(1e300);
        o->setTarget(0);
        o->setWeight(0);
    }
    for (KMaterial* m : {blade.materials()->material(0), blade.materials()->material(1), blade.materials()->material(2)})
        for (int k = 0; k < KMaterial::StrengthCount; ++k)
            m->strength(k)->setExp("100");
    Capture capture;
    blade.genFEModel();
    double fitness = 0;
    Eigen::VectorXd results;
    QVERIFY(blade.evaluate(fitness, results));
    QCOMPARE(results.size(), Eigen::Index(KBlade::ObjectiveCount));
    QCOMPARE(fitness, 0.0);
    QVERIFY(!capture.outLines().join('\n').contains("modal analysis"));
    QVERIFY(!capture.outLines().join('\n').contains("buckling analysis"));

    KObjective* failure = opt->check(KOptSetting::FailureIndex);
    KObjective* flap = opt->check(KOptSetting::FlapFrequency);
    failure->setIsOpt(true);
    flap->setIsOpt(true);
    flap->setTarget(1.0);
    flap->setWeight(1.0);
    capture.clear();
    QVERIFY(blade.evaluate(fitness, results));
    QCOMPARE(results.size(), Eigen::Index(KBlade::ObjectiveCount + 2));
    QVERIFY(capture.outLines().join('\n').contains("Starting modal analysis"));
    QVERIFY(!capture.outLines().join('\n').contains("buckling analysis"));
    double largest = 0;
    for (int l = 0; l < blade.loadNum(); ++l) {
        // Row 0 is the root station's: no elements, no index.
        const Eigen::MatrixXd table = blade.stationFailure(l).bottomRows(blade.stationPositions().size() - 1);
        largest = std::max({largest, table.col(1).maxCoeff(), table.col(4).maxCoeff()});
    }
    QVERIFY(std::abs(results[KBlade::ObjectiveCount] - 2.8286) < 1e-3);  // the default blade's first flap mode
    QCOMPARE(results[KBlade::ObjectiveCount + 1], largest);
    // Both checks weigh 1; the failure index's target is 0.
    const double expected = -std::sqrt((std::pow(results[KBlade::ObjectiveCount] - 1.0, 2) + largest * largest) / 14.0);
    QVERIFY(std::abs(fitness - expected) < 1e-12);

    // Outside its band a check fails the design, by name.
    failure->setHigh(largest / 2);
    QString why;
    QVERIFY(!blade.evaluate(fitness, results, &why));
    QCOMPARE(why, QString("Failure Index between -1 and %1").arg(formatNumber(largest / 2)));
    failure->setIsOpt(false);
    flap->setIsOpt(false);
    KObjective* buckling = opt->check(KOptSetting::BucklingFactor);
    buckling->setIsOpt(true);
    opt->setBucklingLoadCase(1);
    capture.clear();
    QVERIFY(blade.evaluate(fitness, results));
    QVERIFY(capture.outLines().join('\n').contains("Starting buckling analysis of NewBlade-buckle: Load case 1, 5 modes"));
    QVERIFY(std::abs(results[KBlade::ObjectiveCount] - 27.1) < 0.3);
}

QTEST_GUILESS_MAIN(TestAdditions)
#include "tst_additions.moc"
