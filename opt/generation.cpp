#include "opt/generation.h"

#include "core/binaryio.h"
#include "core/messages.h"
#include "core/savefile.h"
#include "opt/randomext.h"

#include <QDir>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <limits>

namespace Folvane {

Generation::Generation()
    : m_engine(std::make_unique<RandomEngine>(std::random_device{}()))
{
}

Generation::~Generation()
{
    clearPopulation();
}

void Generation::clearPopulation()
{
    for (Chromosome* c : m_population)
        delete c;
    m_population.clear();
}

void Generation::addToPopulation(Chromosome* chromosome)
{
    chromosome->setEngine(m_engine.get());
    m_population.push_back(chromosome);
}

bool Generation::configure(int populationSize, double selectionPortion, double mutationRate, int crossoverPoints)
{
    m_configured = false;
    const double wanted = double(populationSize) * selectionPortion;
    if (populationSize < 2 || !(wanted >= 0.0) || wanted > populationSize || crossoverPoints < 0
        || !std::isfinite(mutationRate)) {
        outLine(QStringLiteral("Generation - configure: population %1, selection portion %2, crossover points %3 cannot run")
                    .arg(populationSize).arg(formatNumber(selectionPortion)).arg(crossoverPoints));
        return false;
    }
    int offspring = int(wanted);
    if (offspring % 2 == 1)
        ++offspring;
    if (offspring > populationSize) {
        outLine(QStringLiteral("Generation - configure: %1 offspring exceed the population of %2")
                    .arg(offspring).arg(populationSize));
        return false;
    }
    m_populationSize = populationSize;
    m_offspringCount = offspring;
    m_mutationRate = mutationRate;
    m_crossoverPoints = crossoverPoints;
    m_selectionProbabilities.resize(populationSize);
    for (int i = 0; i < populationSize; ++i)
        m_selectionProbabilities[i] = double(i + 1) / populationSize;
    m_configured = true;
    return true;
}

void Generation::Evaluate(Chromosome& chromosome)
{
    const std::vector<int64_t> values = chromosome.GeneValues();
    double sum = 0.0;
    for (size_t k = 0; k < std::min<size_t>(6, values.size()); ++k) {
        const double d = double(values[k]) - double(k + 1);
        sum += d * d;
    }
    chromosome.SetResult(-sum, {0.0});
}

void Generation::sortPopulation()
{
    // NaN ranks last, so the order stays strict and weak.
    auto key = [](const Chromosome* c) {
        return std::isnan(c->fitness()) ? -std::numeric_limits<double>::infinity() : c->fitness();
    };
    std::stable_sort(m_population.begin(), m_population.end(),
                     [&](const Chromosome* a, const Chromosome* b) { return key(a) > key(b); });
}

bool Generation::hasAdjacentDuplicate() const
{
    for (size_t k = m_population.size(); k-- > 1;) {
        if (m_population[k]->Equals(*m_population[k - 1]))
            return true;
    }
    return false;
}

void Generation::sortAndRepair()
{
    sortPopulation();
    for (int round = 0; hasAdjacentDuplicate() && round < RepairRoundLimit; ++round) {
        RepairDuplicates();
        sortPopulation();
    }
}

void Generation::RepairDuplicates()
{
    std::vector<Chromosome*> duplicates;
    for (size_t k = m_population.size(); k-- > 1;) {
        if (m_population[k]->Equals(*m_population[k - 1]))
            duplicates.push_back(m_population[k]);
    }
    for (Chromosome* c : duplicates) {
        c->Randomize();
        Admit(*c);
    }
    EvaluateMany(duplicates);
}

void Generation::EvaluateMany(const std::vector<Chromosome*>& designs)
{
    std::vector<Chromosome*> done;
    for (Chromosome* c : designs) {
        if (std::find(done.begin(), done.end(), c) != done.end())
            continue;
        Evaluate(*c);
        done.push_back(c);
    }
}

void Generation::EvaluateAll()
{
    EvaluateMany(m_population);
    sortAndRepair();
    if (!m_population.empty())
        m_fitnessHistory.push_back(m_population.front()->fitness());
}

void Generation::NextGeneration()
{
    Crossover(Select());
    sortAndRepair();
    Eliminate();
    if (!m_population.empty())
        m_fitnessHistory.push_back(m_population.front()->fitness());
}

std::vector<int> Generation::pickDistinct(const std::vector<double>& probability, int count)
{
    const int n = int(probability.size());
    const int eligible = int(std::count_if(probability.begin(), probability.end(), [](double p) { return p > 0.0; }));
    count = std::min(count, eligible);
    std::vector<int> picked;
    std::vector<bool> taken(n, false);
    for (int i = 0; int(picked.size()) < count; i = (i + 1) % n) {
        if (probability[i] > uniformUnit(*m_engine) && !taken[i]) {
            taken[i] = true;
            picked.push_back(i);
        }
    }
    return picked;
}

std::vector<int> Generation::Select()
{
    std::vector<double> p = m_selectionProbabilities;
    p.resize(std::min(p.size(), m_population.size()));
    std::vector<int> parents = pickDistinct(p, m_offspringCount);
    std::shuffle(parents.begin(), parents.end(), *m_engine);
    return parents;
}

void Generation::Crossover(const std::vector<int>& parents)
{
    const int size = int(m_population.size());
    std::vector<Chromosome*> made;
    for (size_t pair = 0; pair + 1 < parents.size(); pair += 2) {
        int a = parents[pair];
        int b = parents[pair + 1];
        if (a == b)
            b = b > 0 ? b - 1 : b + 1;
        if (a >= size || b >= size)
            continue;
        Chromosome* A = m_population[a];
        Chromosome* B = m_population[b];
        if (A->Equals(*B)) {
            B->Randomize();
            Admit(*B);
            made.push_back(B);
        }
        Chromosome* X = A->Clone();
        Chromosome* Y = B->Clone();
        const int g = A->geneCount();
        const std::vector<int> cuts = RandomExt::RandomIntMq(*m_engine, 1, g - 2, m_crossoverPoints, true);
        for (size_t j = 0; j < cuts.size(); j += 2) {
            const int end = j + 1 < cuts.size() ? cuts[j + 1] : g - 1;
            for (int k = cuts[j] + 1; k <= end && k < Y->geneCount(); ++k) {
                const int64_t x = X->ReadGene(k)->value();
                X->ReadGene(k)->setValue(Y->ReadGene(k)->value());
                Y->ReadGene(k)->setValue(x);
            }
        }
        X->Mutate(m_mutationRate);
        Y->Mutate(m_mutationRate);
        Admit(*X);
        Admit(*Y);
        made.push_back(X);
        made.push_back(Y);
        m_population.push_back(X);
        m_population.push_back(Y);
    }
    EvaluateMany(made);
}

void Generation::Eliminate()
{
    const int m = int(m_population.size());
    std::vector<double> q(m);
    for (int i = 0; i < m; ++i)
        q[i] = double(i) / m;
    std::vector<int> marked = pickDistinct(q, m_offspringCount);
    std::sort(marked.begin(), marked.end());
    for (auto it = marked.rbegin(); it != marked.rend(); ++it) {
        delete m_population[*it];
        m_population.erase(m_population.begin() + *it);
    }
}

void Generation::WriteRecords(QDataStream& binary, QTextStream& text) const
{
    binary << quint64(m_population.size());
    for (const Chromosome* c : m_population)
        c->Write(binary);
    text << m_fitnessHistory.size() << '\n';
    for (double f : m_fitnessHistory)
        text << formatNumber(f) << '\n';
}

bool Generation::writeGeneration(const QString& folder, int n, QString* error) const
{
    QSaveFile record(folder + QStringLiteral("/Evo-%1.fvo").arg(n));
    QSaveFile fitness(folder + QStringLiteral("/Fitness.dat"));
    QSaveFile* failed = !record.open(QIODevice::WriteOnly)                        ? &record
                        : !fitness.open(QIODevice::WriteOnly | QIODevice::Text) ? &fitness
                                                                                : nullptr;
    if (!failed) {
        QDataStream binary(&record);
        Binary::prepare(binary);
        QTextStream text(&fitness);
        WriteRecords(binary, text);
        text.flush();
        // The history last: without this generation's record, a
        // continuation finds the history of the one before.
        failed = !commitWhole(record) ? &record : !commitWhole(fitness) ? &fitness : nullptr;
    }
    if (failed && error)
        *error = QStringLiteral("cannot write %1: %2").arg(failed->fileName(), failed->errorString());
    return !failed;
}

void Generation::Run(int iterations)
{
    if (!m_configured || m_population.empty())
        return;
    const QString folder = QStringLiteral("opt");
    EvaluateAll();
    writeGeneration(folder, 1);
    for (int i = 0; i < iterations; ++i) {
        NextGeneration();
        QStringList genes;
        for (int64_t v : m_population.front()->GeneValues())
            genes << QString::number(v);
        outLine(genes.join(QLatin1Char(' ')));
        writeGeneration(folder, i + 2);
    }
}

} // namespace Folvane
