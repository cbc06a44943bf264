#ifndef FOLVANE_BLADEGENERATION_H
#define FOLVANE_BLADEGENERATION_H

#include "opt/generation.h"

#include <Eigen/Dense>
#include <QString>
#include <optional>

namespace Folvane {

class KBlade;
class ParameterList;

// The genetic algorithm over a blade's design parameters: a chromosome is
// decoded into the parameters, the blade is built, analysed and scored, and
// every generation is recorded in the optimisation folder.
class BladeGeneration : public Generation
{
public:
    // How many times one design is drawn before the run gives up: for price
    // and mass (a build each), and for a score (a solver run each).
    static constexpr int PriceMassAttempts = 1000;
    static constexpr int ScoreAttempts = 20;

    // The random engine's seed: a seeded run draws the same designs every
    // time; without one the engine is seeded from the system.
    using Seed = std::optional<RandomEngine::result_type>;

    // A new optimisation: an unevaluated initial population within the
    // price and mass bounds.
    explicit BladeGeneration(KBlade* blade, Seed seed = std::nullopt);
    // Continues from the record of generation g and the fitness history.
    BladeGeneration(KBlade* blade, int g, Seed seed = std::nullopt);

    void Evaluate(Chromosome& chromosome) override;
    void Run(int iterations) override;

    // False when the run cannot start or continue (see the messages), or
    // when it stopped at a redraw bound.
    bool isReady() const { return m_ready; }
    bool stopped() const { return m_stopped; }
    int generationCounter() const { return m_counter; }

protected:
    // The blade's score of the decoded design; a subclass may score
    // otherwise. On failure why names the bound the design missed.
    virtual bool score(double& fitness, Eigen::VectorXd& results, QString& why);
    void decode(Chromosome& chromosome);

private:
    bool configureFromSettings();
    bool loadRecord(int g);
    bool loadFitness(int g);
    void recordGeneration(int n, int last);
    void exportBlades(int n);
    void stop(int attempts, const QString& why);

    KBlade* m_blade;
    ParameterList* m_parameters;
    QString m_folder;
    int m_counter = 0;
    int m_evaluations = 0;
    bool m_ready = false;
    bool m_stopped = false;
};

} // namespace Folvane

#endif
