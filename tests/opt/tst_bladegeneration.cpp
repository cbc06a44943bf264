#include "capture.h"
#include "files.h"
#include "hostile.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "blade/koptsetting.h"
#include "core/binaryio.h"
#include "core/messages.h"
#include "core/parameter.h"
#include "core/parameterlist.h"
#include "geometry/kprofilelist.h"
#include "opt/bladegeneration.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Folvane;

namespace {

// Scores a design by how near its parameter P lies to 1.2, without a
// solver; it can be told to fail from a given evaluation on.
class FastGeneration : public BladeGeneration
{
public:
    FastGeneration(KBlade* blade, int g = 0)
        : BladeGeneration(blade, g)
        , m_blade(blade)
    {
    }
    explicit FastGeneration(KBlade* blade, bool, Seed seed = std::nullopt)
        : BladeGeneration(blade, seed)
        , m_blade(blade)
    {
    }
    // Every score of this generation and later ones fails.
    int failFromGeneration = 1 << 30;

protected:
    bool score(double& fitness, Eigen::VectorXd& results, QString& why) override
    {
        if (generationCounter() >= failFromGeneration) {
            why = "a test bound";
            return false;
        }
        const double p = m_blade->parameters()->parameter(0)->value();
        fitness = -std::abs(p - 1.2);
        results = Eigen::VectorXd::Constant(12, p);
        return true;
    }

private:
    KBlade* m_blade;
};

// A coarse default blade with one parameter P on the grid 0, 0.1, ..., 2.
void prepare(KBlade& blade, const QString& folder, int population = 4)
{
    Parameter* p = blade.parameters()->parameter(0);
    p->setLow(0);
    p->setHigh(2);
    p->setDigitNum(1);
    blade.optSetting()->setPopulation(population);
    blade.optSetting()->setSelPortion(0.5);
    blade.optSetting()->setOptDir(folder);
    blade.setting()->setMeshSize(2000);
    blade.profiles()->autoMesh();
}

QStringList linesOf(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

std::vector<std::unique_ptr<Chromosome>> readRecord(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QDataStream in(&file);
    Binary::prepare(in);
    std::vector<std::unique_ptr<Chromosome>> members(Binary::readUInt64(in));
    for (auto& m : members)
        m = std::make_unique<Chromosome>(in);
    return members;
}

} // namespace

class TestBladeGeneration : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateHome(); }
    void newRunWritesEveryGeneration();
    void noIterationsWritesTheFirstGeneration();
    void continuation();
    void continuationRefused();
    void hostileRecords();
    void boundedRedraws();
    void seededRunsRepeat();
};

void TestBladeGeneration::newRunWritesEveryGeneration()
{
    QTemporaryDir dir;
    KBlade blade;
    prepare(blade, dir.filePath("opt"));
    blade.setFp(dir.filePath("own.fvm"));
    Capture capture;
    FastGeneration run(&blade, true);
    QVERIFY(run.isReady());
    run.Run(3);
    QVERIFY(!run.stopped());
    QCOMPARE(run.generationCounter(), 5);
    for (int n = 1; n <= 4; ++n) {
        QVERIFY(QFile::exists(dir.filePath(QString("opt/Evo-%1.fvo").arg(n))));
        for (int i = 1; i <= 4; ++i)
            QVERIFY(QFile::exists(dir.filePath(QString("opt/Bld-%1_%2.fvm").arg(n).arg(i))));
    }
    QVERIFY(!QFile::exists(dir.filePath("opt/Evo-5.fvo")));
    QCOMPARE(blade.fp(), dir.filePath("own.fvm"));

    const QStringList fitness = linesOf(dir.filePath("opt/Fitness.dat"));
    QCOMPARE(fitness.size(), 5);
    QCOMPARE(fitness[0], QString("4"));
    for (int i = 2; i < 5; ++i)
        QVERIFY(fitness[i].toDouble() >= fitness[i - 1].toDouble());  // the best is never lost

    // The record: best first; its blade file holds the best member's parameter.
    const auto members = readRecord(dir.filePath("opt/Evo-4.fvo"));
    QCOMPARE(members.size(), size_t(4));
    QCOMPARE(formatNumber(members[0]->fitness()), fitness[4]);
    for (size_t i = 1; i < members.size(); ++i)
        QVERIFY(members[i]->fitness() <= members[i - 1]->fitness());
    QVERIFY(members[0]->isEvaluated());
    QCOMPARE(members[0]->objectives().size(), size_t(12));
    KBlade best;
    best.setFp(dir.filePath("opt/Bld-4_1.fvm"));
    best.readFile();
    QCOMPARE(best.parameters()->parameter(0)->value(), members[0]->GeneValues()[0] / 10.0);

    const QStringList out = capture.outLines();
    QCOMPARE(out.filter(QRegularExpression("^Evaluation 1: fitness -?[0-9.e+-]+$")).size(), 1);
    QCOMPARE(out.filter(QRegularExpression("^Generation 4 of 4: \\d+ evaluations, best fitness ")).size(), 1);
    QCOMPARE(out.filter("Generation ").size(), 4);
}

void TestBladeGeneration::noIterationsWritesTheFirstGeneration()
{
    QTemporaryDir dir;
    KBlade blade;
    prepare(blade, dir.filePath("new/folder"));
    Capture capture;
    FastGeneration run(&blade, true);
    run.Run(0);
    QVERIFY(QFile::exists(dir.filePath("new/folder/Evo-1.fvo")));
    QVERIFY(!QFile::exists(dir.filePath("new/folder/Evo-2.fvo")));
    QCOMPARE(linesOf(dir.filePath("new/folder/Fitness.dat")).size(), 2);
}

void TestBladeGeneration::continuation()
{
    QTemporaryDir dir;
    KBlade blade;
    prepare(blade, dir.filePath("opt"));
    Capture capture;
    {
        FastGeneration first(&blade, true);
        first.Run(3);
    }
    const QStringList before = linesOf(dir.filePath("opt/Fitness.dat"));
    // From generation 2: the history's first two values, then generation 3 anew.
    FastGeneration later(&blade, 2);
    QVERIFY(later.isReady());
    QCOMPARE(later.generationCounter(), 2);
    QCOMPARE(later.population().size(), size_t(4));
    QVERIFY(later.population()[0]->isEvaluated());
    later.Run(1);
    const QStringList after = linesOf(dir.filePath("opt/Fitness.dat"));
    QCOMPARE(after.size(), 4);
    QCOMPARE(after[0], QString("3"));
    QCOMPARE(after.mid(1, 2), before.mid(1, 2));
    QVERIFY(after[3].toDouble() >= after[2].toDouble());

    // Without a fitness file the loaded population is evaluated as generation 1.
    QFile::remove(dir.filePath("opt/Fitness.dat"));
    capture.clear();
    FastGeneration fresh(&blade, 4);
    QVERIFY(fresh.isReady());
    QCOMPARE(fresh.generationCounter(), 0);
    QCOMPARE(capture.outLines(), QStringList({"BladeGeneration - BladeGeneration: cannot open the fitness file!",
                                              "New optimisation will be started!"}));
    fresh.Run(0);
    QCOMPARE(linesOf(dir.filePath("opt/Fitness.dat")).first(), QString("1"));
}

void TestBladeGeneration::continuationRefused()
{
    QTemporaryDir dir;
    KBlade blade;
    prepare(blade, dir.filePath("opt"));
    Capture capture;
    {
        FastGeneration first(&blade, true);
        first.Run(1);
    }
    capture.clear();
    QVERIFY(!FastGeneration(&blade, 5).isReady());
    QCOMPARE(capture.outLines(), QStringList({"BladeGeneration - BladeGeneration: cannot open the .fvo file!"}));

    // A fitness file of fewer values than the generation asked for.
    capture.clear();
    QFile::copy(dir.filePath("opt/Evo-2.fvo"), dir.filePath("opt/Evo-3.fvo"));
    QVERIFY(!FastGeneration(&blade, 3).isReady());
    QCOMPARE(capture.outLines(), QStringList({"BladeGeneration - BladeGeneration: the fitness file holds fewer than 3 "
                                              "values, generation 3 cannot be continued"}));

    // A population size other than the record's: it would not keep the size set.
    for (int size : {2, 10}) {
        blade.optSetting()->setPopulation(size);
        capture.clear();
        QVERIFY(!FastGeneration(&blade, 2).isReady());
        QCOMPARE(capture.outLines(), QStringList({QString("BladeGeneration - BladeGeneration: generation 2 holds 4 "
                                                          "designs, the population size is set to %1; set it to 4 to "
                                                          "continue this optimisation").arg(size)}));
    }
    blade.optSetting()->setPopulation(4);

    // Damaged records: cut short, or of another blade's parameters.
    QFile record(dir.filePath("opt/Evo-2.fvo"));
    record.open(QIODevice::ReadOnly);
    const QByteArray bytes = record.readAll();
    record.close();
    for (const QByteArray& damaged : {bytes.left(bytes.size() - 1), bytes.left(20), bytes + "x", QByteArray()}) {
        QFile out(dir.filePath("opt/Evo-2.fvo"));
        out.open(QIODevice::WriteOnly);
        out.write(damaged);
        out.close();
        capture.clear();
        QVERIFY(!FastGeneration(&blade, 2).isReady());
        QVERIFY(capture.outLines().first().contains("is damaged or not of this blade's 1 parameters"));
    }
    QFile out(dir.filePath("opt/Evo-2.fvo"));
    out.open(QIODevice::WriteOnly);
    out.write(bytes);
    out.close();
    blade.parameters()->addSon();
    QVERIFY(!FastGeneration(&blade, 2).isReady());
    // A refused continuation runs nothing and writes nothing.
    FastGeneration refused(&blade, 7);
    refused.Run(3);
    QVERIFY(!QFile::exists(dir.filePath("opt/Evo-8.fvo")));
}

void TestBladeGeneration::hostileRecords()
{
    QTemporaryDir dir;
    KBlade blade;
    prepare(blade, dir.filePath("opt"));
    {
        Capture quiet;
        FastGeneration(&blade, true).Run(1);
    }
    const QString recordPath = dir.filePath("opt/Evo-2.fvo");
    const QString fitnessPath = dir.filePath("opt/Fitness.dat");
    const QByteArray record = fileBytes(recordPath);
    const QByteArray fitness = fileBytes(fitnessPath);
    int tried = 0, continued = 0;
    // Either the continuation is refused with its message, or it goes on
    // for one generation as with a whole record.
    const auto attempt = [&](const QByteArray& damagedRecord, const QByteArray& damagedFitness) {
        writeBytes(recordPath, damagedRecord);
        writeBytes(fitnessPath, damagedFitness);
        QFile::remove(dir.filePath("opt/Evo-3.fvo"));
        ++tried;
        Capture capture;
        FastGeneration generation(&blade, 2);
        if (!generation.isReady()) {
            QVERIFY(!capture.outLines().isEmpty());
            QVERIFY(capture.outLines().first().startsWith("BladeGeneration - BladeGeneration: "));
            return;
        }
        ++continued;
        generation.Run(1);
        QVERIFY(QFile::exists(dir.filePath("opt/Evo-3.fvo")));
    };
    for (int cut = 0; cut < record.size(); ++cut)
        attempt(record.left(cut), fitness);
    for (int cut = 0; cut < fitness.size(); ++cut)
        attempt(record, fitness.left(cut));
    std::mt19937 random(3);
    for (int i = 0; i < 300 && !QTest::currentTestFailed(); ++i) {
        attempt(flipped(record, random), fitness);
        attempt(record, flipped(fitness, random));
    }
    for (int offset = 0; offset + 4 <= record.size() && !QTest::currentTestFailed(); ++offset)
        attempt(inflated(record, offset, offset % InflationVariants), fitness);
    qInfo("%d damaged records, %d continued", tried, continued);
}

void TestBladeGeneration::boundedRedraws()
{
    QTemporaryDir dir;
    KBlade blade;
    prepare(blade, dir.filePath("opt"));
    // No design can cost less than nothing: the initial draws give up.
    blade.optSetting()->ReadObjective(0)->setHigh(0);
    Capture capture;
    {
        FastGeneration run(&blade, true);
        QVERIFY(!run.isReady());
        QVERIFY(run.stopped());
        run.Run(2);
    }
    QCOMPARE(capture.outLines().last(), QString("BladeGeneration - no design in 1000 attempts had price and mass "
                                                "inside their bounds; the optimisation stops"));
    QVERIFY(!QFile::exists(dir.filePath("opt/Evo-1.fvo")));

    // Scores that fail from generation 2 on: each failed design is named,
    // ranks below every other and is not drawn again; the run goes on.
    blade.optSetting()->ReadObjective(0)->setHigh(100);
    capture.clear();
    {
        FastGeneration run(&blade, true);
        run.failFromGeneration = 2;
        run.Run(2);
        QVERIFY(!run.stopped());
    }
    const QStringList failed = capture.outLines().filter(" failed: ");
    // Two children in each of generations 2 and 3, and any redrawn twin.
    QVERIFY(failed.size() >= 4);
    for (const QString& line : failed)
        QVERIFY2(QRegularExpression("^Evaluation \\d+ failed: the design did not have a test bound$").match(line).hasMatch(),
                 qPrintable(line));
    QCOMPARE(readRecord(dir.filePath("opt/Evo-3.fvo")).size(), size_t(4));
    QCOMPARE(linesOf(dir.filePath("opt/Fitness.dat")).first(), QString("3"));

    // When no design of the first generation can be scored, nothing is.
    QDir(dir.filePath("opt")).removeRecursively();
    capture.clear();
    FastGeneration none(&blade, true);
    none.failFromGeneration = 1;
    none.Run(2);
    QVERIFY(none.stopped());
    QCOMPARE(capture.outLines().last(), QString("BladeGeneration - no design of the first generation could be "
                                                "evaluated; the optimisation stops"));
    QVERIFY(!QFile::exists(dir.filePath("opt/Evo-1.fvo")));
}

// One seed, one run: the same records byte for byte; another seed draws
// other designs. (The blade files hold the optimisation folder: each run
// writes into the same one, moved aside after it.)
void TestBladeGeneration::seededRunsRepeat()
{
    QTemporaryDir dir;
    auto runWith = [&](BladeGeneration::Seed seed, const QString& keptAs) {
        KBlade blade;
        prepare(blade, dir.filePath("opt"));
        QuietDebug quiet;
        FastGeneration run(&blade, true, seed);
        run.Run(2);
        return !run.stopped() && QDir().rename(dir.filePath("opt"), dir.filePath(keptAs));
    };
    QVERIFY(runWith(7u, "first") && runWith(7u, "again") && runWith(8u, "other"));
    auto bytes = [&](const QString& file) {
        QFile f(dir.filePath(file));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    for (const char* file : {"Evo-1.fvo", "Evo-3.fvo", "Fitness.dat", "Bld-3_4.fvm"}) {
        QVERIFY2(!bytes(QString("first/") + file).isEmpty(), file);
        QVERIFY2(bytes(QString("first/") + file) == bytes(QString("again/") + file), file);
    }
    QVERIFY(bytes("first/Evo-1.fvo") != bytes("other/Evo-1.fvo"));
}

QTEST_GUILESS_MAIN(TestBladeGeneration)
#include "tst_bladegeneration.moc"
