#ifndef FOLVANE_GENERATION_H
#define FOLVANE_GENERATION_H

#include "opt/chromosome.h"

#include <QString>
#include <memory>
#include <vector>

class QTextStream;

namespace Folvane {

// A population of chromosomes evolved by rank-based selection, cut-point
// crossover, single-gene mutation, duplicate repair and rank-based
// elimination. Higher fitness is better; subclasses supply Evaluate.
class Generation
{
public:
    Generation();
    Generation(const Generation&) = delete;
    Generation& operator=(const Generation&) = delete;

    virtual ~Generation();
    virtual void Evaluate(Chromosome& chromosome);
    // Evaluates designs made together, in their order (one listed twice is
    // evaluated once); by default one after another.
    virtual void EvaluateMany(const std::vector<Chromosome*>& designs);
    virtual void EvaluateAll();
    virtual void Run(int iterations);

    // Sets the population size, the offspring count from the selection
    // portion, the mutation rate and the cut points. False, with a message,
    // for a configuration the algorithm cannot run.
    bool configure(int populationSize, double selectionPortion, double mutationRate, int crossoverPoints);
    bool isConfigured() const { return m_configured; }

    void NextGeneration();
    std::vector<int> Select();
    void Crossover(const std::vector<int>& parents);
    void Eliminate();
    void RepairDuplicates();
    void sortPopulation();

    void WriteRecords(QDataStream& binary, QTextStream& text) const;
    // Writes folder/Evo-n.fvo and folder/Fitness.dat; false if either
    // cannot be written (then neither is replaced).
    // false, with "cannot write <file>: <reason>" in error, when either
    // record cannot be written; the previous records stay as they were.
    bool writeGeneration(const QString& folder, int n, QString* error = nullptr) const;

    std::vector<Chromosome*>& population() { return m_population; }
    const std::vector<double>& fitnessHistory() const { return m_fitnessHistory; }
    RandomEngine& engine() { return *m_engine; }
    int populationSize() const { return m_populationSize; }
    int offspringCount() const { return m_offspringCount; }
    double mutationRate() const { return m_mutationRate; }
    int crossoverPoints() const { return m_crossoverPoints; }
    const std::vector<double>& selectionProbabilities() const { return m_selectionProbabilities; }

    static constexpr int RepairRoundLimit = 20;

protected:
    // Every design just drawn, crossed or mutated passes here before any
    // design made with it is evaluated: a subclass may redraw it. Designs
    // are all made first, then evaluated, so that how they are evaluated
    // never changes a random draw.
    virtual void Admit(Chromosome&) {}
    void addToPopulation(Chromosome* chromosome);
    void clearPopulation();
    // Sorts and repairs adjacent duplicates for at most RepairRoundLimit rounds.
    void sortAndRepair();
    bool hasAdjacentDuplicate() const;
    // Indices picked with the given probabilities, visiting them in turn
    // until count distinct ones are held.
    std::vector<int> pickDistinct(const std::vector<double>& probability, int count);

    std::vector<double> m_fitnessHistory;
    std::vector<Chromosome*> m_population;
    double m_mutationRate = 0.0;
    int m_populationSize = 0;
    int m_offspringCount = 0;
    int m_crossoverPoints = 0;
    std::vector<double> m_selectionProbabilities;
    std::unique_ptr<RandomEngine> m_engine;
    bool m_configured = false;
};

} // namespace Folvane

#endif
