#include "capture.h"
#include "core/binaryio.h"
#include "core/messages.h"
#include "core/parameter.h"
#include "core/parameterlist.h"
#include "opt/chromosome.h"
#include "opt/generation.h"
#include "opt/parametergenes.h"
#include "opt/randomext.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <set>

using namespace Folvane;

namespace {

Chromosome* chromosomeOf(std::initializer_list<int64_t> values, int64_t low = 0, int64_t high = 100)
{
    auto* c = new Chromosome;
    for (int64_t v : values) {
        auto* g = new Gene(low, high);
        g->setValue(v);
        c->addGene(g);
    }
    return c;
}

// The default fitness, counting how often it is asked for.
class CountingGeneration : public Generation
{
public:
    void Evaluate(Chromosome& c) override
    {
        ++evaluations;
        Generation::Evaluate(c);
    }
    void add(Chromosome* c) { addToPopulation(c); }
    int evaluations = 0;
};

QByteArray recordOf(const Chromosome& c)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    Binary::prepare(out);
    c.Write(out);
    return bytes;
}

} // namespace

class TestGenetic : public QObject
{
    Q_OBJECT

private slots:
    void offspringCountAndProbabilities();
    void refusedConfigurations();
    void mutation();
    void crossoverCuts();
    void crossoverPairRules();
    void eliminationKeepsTheBest();
    void selectionPicksDistinctParents();
    void duplicateRepairIsBounded();
    void chromosomeRecord();
    void randomIntegers();
    void optimiserGrid();
    void chromosomeImport();
    void defaultRunWritesRecords();
};

void TestGenetic::offspringCountAndProbabilities()
{
    Generation g;
    QVERIFY(g.configure(10, 0.25, 0.1, 1));
    QCOMPARE(g.offspringCount(), 2);
    QVERIFY(g.configure(10, 0.3, 0.1, 1));
    QCOMPARE(g.offspringCount(), 4);
    QVERIFY(g.configure(10, 0.4, 0.1, 1));
    QCOMPARE(g.offspringCount(), 4);
    QVERIFY(g.configure(4, 0.5, 0.4, 1));
    QCOMPARE(g.selectionProbabilities(), std::vector<double>({0.25, 0.5, 0.75, 1.0}));
}

void TestGenetic::refusedConfigurations()
{
    Generation g;
    Capture capture;
    QVERIFY(!g.configure(10, 1.5, 0.1, 1));
    QVERIFY(!g.configure(3, 1.0, 0.1, 1));
    QVERIFY(!g.configure(1, 0.5, 0.1, 1));
    QVERIFY(!g.configure(10, qQNaN(), 0.1, 1));
    QVERIFY(!g.isConfigured());
    QCOMPARE(capture.outLines().size(), 4);
    QCOMPARE(capture.outLines().at(1), QString("Generation - configure: 4 offspring exceed the population of 3"));
    g.Run(3);  // unconfigured: nothing happens
}

void TestGenetic::mutation()
{
    RandomEngine engine(7);
    std::unique_ptr<Chromosome> c(chromosomeOf({5, 6, 7, 8}, 0, 1000000));
    c->setEngine(&engine);
    c->Mutate(0.0);
    QCOMPARE(c->GeneValues(), std::vector<int64_t>({5, 6, 7, 8}));
    for (int i = 0; i < 20; ++i)
        c->Mutate(1.0);
    const std::vector<int64_t> mutated = c->GeneValues();
    QVERIFY(mutated[0] != 5);
    QCOMPARE(std::vector<int64_t>(mutated.begin() + 1, mutated.end()), std::vector<int64_t>({6, 7, 8}));

    // Cloning keeps the result only of an evaluated chromosome.
    std::unique_ptr<Chromosome> copy(c->Clone());
    QVERIFY(!copy->isEvaluated());
    c->SetResult(-3, {1, 2});
    copy.reset(c->Clone());
    QVERIFY(copy->isEvaluated());
    QCOMPARE(copy->fitness(), -3.0);
    QVERIFY(copy->Equals(*c));
    c->Randomize();
    QVERIFY(!c->isEvaluated());
}

void TestGenetic::crossoverCuts()
{
    // Three genes allow only the cut at 1: gene 2 is exchanged.
    CountingGeneration g;
    QVERIFY(g.configure(2, 1.0, 0.0, 1));
    g.add(chromosomeOf({1, 2, 3}));
    g.add(chromosomeOf({7, 8, 9}));
    g.Crossover({0, 1});
    QCOMPARE(g.population().size(), size_t(4));
    QCOMPARE(g.population()[2]->GeneValues(), std::vector<int64_t>({1, 2, 9}));
    QCOMPARE(g.population()[3]->GeneValues(), std::vector<int64_t>({7, 8, 3}));
    QCOMPARE(g.evaluations, 2);

    // Five genes with three cuts (1, 2, 3): genes 2 and 4 are exchanged.
    CountingGeneration h;
    QVERIFY(h.configure(2, 1.0, 0.0, 3));
    h.add(chromosomeOf({1, 2, 3, 4, 5}));
    h.add(chromosomeOf({6, 7, 8, 9, 10}));
    h.Crossover({1, 0});
    QCOMPARE(h.population()[2]->GeneValues(), std::vector<int64_t>({6, 7, 3, 9, 5}));
    QCOMPARE(h.population()[3]->GeneValues(), std::vector<int64_t>({1, 2, 8, 4, 10}));

    // Too few positions for the cuts: plain copies, and the message.
    CountingGeneration k;
    QVERIFY(k.configure(2, 1.0, 0.0, 2));
    k.add(chromosomeOf({1, 2, 3}));
    k.add(chromosomeOf({4, 5, 6}));
    Capture capture;
    k.Crossover({0, 1});
    QCOMPARE(capture.outLines(), QStringList({"RandomExt - RandomIntMq - requested num is larger than interval"}));
    QCOMPARE(k.population()[2]->GeneValues(), std::vector<int64_t>({1, 2, 3}));
}

void TestGenetic::crossoverPairRules()
{
    CountingGeneration g;
    QVERIFY(g.configure(2, 1.0, 0.0, 1));
    g.add(chromosomeOf({1, 2, 3}));
    g.add(chromosomeOf({7, 8, 9}));
    g.Crossover({0, 0});  // becomes (0, 1)
    QCOMPARE(g.population()[2]->GeneValues(), std::vector<int64_t>({1, 2, 9}));

    // Equal parents: the second is redrawn and evaluated before cloning.
    CountingGeneration h;
    QVERIFY(h.configure(2, 1.0, 0.0, 1));
    h.add(chromosomeOf({4, 4, 4}, 0, 1000000000));
    h.add(chromosomeOf({4, 4, 4}, 0, 1000000000));
    h.Crossover({0, 1});
    QCOMPARE(h.evaluations, 3);
    QVERIFY(!h.population()[0]->Equals(*h.population()[1]));
    QVERIFY(h.population()[1]->isEvaluated());
}

void TestGenetic::eliminationKeepsTheBest()
{
    for (int round = 0; round < 50; ++round) {
        CountingGeneration g;
        QVERIFY(g.configure(6, 1.0, 0.0, 1));
        for (int i = 0; i < 12; ++i)
            g.add(chromosomeOf({i, 0, 0}));
        Chromosome* best = g.population().front();
        g.Eliminate();
        QCOMPARE(g.population().size(), size_t(6));
        QCOMPARE(g.population().front(), best);
    }
}

void TestGenetic::selectionPicksDistinctParents()
{
    CountingGeneration g;
    QVERIFY(g.configure(10, 0.8, 0.0, 1));
    for (int i = 0; i < 10; ++i)
        g.add(chromosomeOf({i, 1, 2}));
    // Rank i is taken with probability (i + 1) / N: the worst rank far more
    // often than the best.
    int best = 0, worst = 0;
    for (int round = 0; round < 300; ++round) {
        std::vector<int> parents = g.Select();
        QCOMPARE(parents.size(), size_t(8));
        std::sort(parents.begin(), parents.end());
        QVERIFY(std::adjacent_find(parents.begin(), parents.end()) == parents.end());
        best += std::binary_search(parents.begin(), parents.end(), 0);
        worst += std::binary_search(parents.begin(), parents.end(), 9);
    }
    QVERIFY2(worst > best, qPrintable(QString("%1 %2").arg(worst).arg(best)));
}

void TestGenetic::duplicateRepairIsBounded()
{
    // Genes of one possible value can never be repaired: 20 rounds, then stop.
    CountingGeneration g;
    QVERIFY(g.configure(5, 0.4, 0.0, 1));
    for (int i = 0; i < 5; ++i)
        g.add(chromosomeOf({3, 3, 3}, 3, 3));
    g.EvaluateAll();
    QCOMPARE(g.evaluations, 5 + Generation::RepairRoundLimit * 4);
    QCOMPARE(g.fitnessHistory(), std::vector<double>({-(4.0 + 1.0 + 0.0)}));
}

void TestGenetic::chromosomeRecord()
{
    std::unique_ptr<Chromosome> c(chromosomeOf({-2, 9}, -5, 10));
    c->SetResult(-1.5, {3.0});
    const QByteArray bytes = recordOf(*c);
    QByteArray expected;
    QDataStream e(&expected, QIODevice::WriteOnly);
    Binary::prepare(e);
    e << quint64(2) << qint64(-5) << qint64(10) << qint64(-2) << qint64(-5) << qint64(10) << qint64(9)
      << -1.5 << quint64(1) << 3.0 << quint8(1);
    QCOMPARE(bytes, expected);

    QDataStream in(bytes);
    Binary::prepare(in);
    Chromosome read(in);
    QCOMPARE(in.status(), QDataStream::Ok);
    QCOMPARE(recordOf(read), bytes);

    // Every truncation reads without crashing and is reported by the stream.
    for (int cut = 0; cut < bytes.size(); ++cut) {
        QDataStream part(bytes.left(cut));
        Binary::prepare(part);
        Chromosome partial(part);
        QVERIFY(part.status() != QDataStream::Ok);
    }
    QByteArray inflated = bytes;
    inflated[7] = '\x7f';
    QDataStream bad(inflated);
    Binary::prepare(bad);
    Chromosome refused(bad);
    QCOMPARE(refused.geneCount(), 0);
    QVERIFY(bad.status() != QDataStream::Ok);

    Capture capture;
    QCOMPARE(c->ReadGene(2), nullptr);
    QCOMPARE(capture.outLines(), QStringList({"Chromosome - ReadGene: index not correct!"}));
}

void TestGenetic::randomIntegers()
{
    RandomEngine engine(11);
    for (int i = 0; i < 100; ++i) {
        const std::vector<int> v = RandomExt::RandomIntMq(engine, 3, 9, 7, true);
        QCOMPARE(v, std::vector<int>({3, 4, 5, 6, 7, 8, 9}));
        const std::vector<int> w = RandomExt::RandomIntMq(engine, 0, 100, 5, false);
        QCOMPARE(std::set<int>(w.begin(), w.end()).size(), size_t(5));
    }
    Capture capture;
    QVERIFY(RandomExt::RandomIntMq(engine, 1, 2, 3, true).empty());
    QCOMPARE(capture.outLines(), QStringList({"RandomExt - RandomIntMq - requested num is larger than interval"}));
}

void TestGenetic::optimiserGrid()
{
    Parameter p;
    p.setDigitNum(2);
    p.setLow(0);
    p.setHigh(10);
    setFromGene(p, 1234);
    QCOMPARE(p.value(), 10.0);
    setFromGene(p, -5);
    QCOMPARE(p.value(), 0.0);
    setFromGene(p, 567);
    QCOMPARE(p.value(), 5.67);

    p.setDigitNum(1);
    p.setLow(-0.25);
    p.setHigh(0.99);
    std::unique_ptr<Gene> gene(geneOf(p));
    QCOMPARE(gene->low(), int64_t(-2));
    QCOMPARE(gene->high(), int64_t(9));

    // Ranges beyond 64 bits are clamped rather than overflowing.
    p.setDigitNum(30);
    gene.reset(geneOf(p));
    QVERIFY(gene->high() > int64_t(9e18));
    QVERIFY(gene->low() < -int64_t(9e18));
}

void TestGenetic::chromosomeImport()
{
    ParameterList list;
    for (int i = 0; i < 3; ++i)
        list.addSon();
    for (int i = 0; i < 4; ++i) {
        list.parameter(i)->setHigh(100);
        list.parameter(i)->setValue(i);
    }
    std::unique_ptr<Chromosome> c(chromosomeOf(list));
    QCOMPARE(c->geneCount(), 4);
    QCOMPARE(c->ReadGene(3)->high(), int64_t(100));

    Chromosome shorter;
    for (int i = 0; i < 3; ++i) {
        shorter.addGene(new Gene(0, 100));
        shorter.ReadGene(i)->setValue(50);
    }
    Capture capture;
    importChromosome(list, shorter);
    QCOMPARE(capture.debugLines(), QStringList({"ParameterList - ImportChromosome: size not correct!"}));
    QCOMPARE(list.parameter(2)->value(), 2.0);

    for (int i = 0; i < 4; ++i)
        c->ReadGene(i)->setValue(10 * (i + 1));
    importChromosome(list, *c);
    QCOMPARE(list.parameter(0)->value(), 10.0);
    QCOMPARE(list.parameter(3)->value(), 40.0);
}

void TestGenetic::defaultRunWritesRecords()
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QDir().mkdir("opt");
    CountingGeneration g;
    QVERIFY(g.configure(8, 0.5, 0.3, 2));
    for (int i = 0; i < 8; ++i) {
        Chromosome* c = chromosomeOf({0, 0, 0, 0, 0, 0, 0}, -10, 10);
        g.add(c);
        c->Randomize();
    }
    {
        Capture capture;
        g.Run(25);
        QCOMPARE(capture.outLines().size(), 25);
    }
    const std::vector<double>& history = g.fitnessHistory();
    QCOMPARE(history.size(), size_t(26));
    for (size_t i = 1; i < history.size(); ++i)
        QVERIFY(history[i] >= history[i - 1]);

    QFile fitness("opt/Fitness.dat");
    QVERIFY(fitness.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(fitness.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 27);
    QCOMPARE(lines.first(), QString("26"));
    QCOMPARE(lines.last(), formatNumber(history.back()));

    QFile record("opt/Evo-26.fvo");
    QVERIFY(record.open(QIODevice::ReadOnly));
    QDataStream in(&record);
    Binary::prepare(in);
    QCOMPARE(Binary::readUInt64(in), quint64(8));
    Chromosome best(in);
    QCOMPARE(best.fitness(), history.back());
    QVERIFY(QFile::exists("opt/Evo-1.fvo"));
    QVERIFY(!QFile::exists("opt/Evo-27.fvo"));
    QDir::setCurrent(previous);
}

QTEST_GUILESS_MAIN(TestGenetic)
#include "tst_genetic.moc"
