#ifndef FOLVANE_BLADEGENERATION_H
#define FOLVANE_BLADEGENERATION_H

#include "opt/generation.h"

#include <Eigen/Dense>
#include <QString>
#include <cfloat>
#include <memory>
#include <optional>

namespace Folvane {

class DesignRunner;
class KBlade;
class ParameterList;

// The genetic algorithm over a blade's design parameters: a chromosome is
// decoded into the parameters, the blade is built, analysed and scored, and
// every generation is recorded in the optimisation folder.
//
// The designs of a generation are all made first (every random draw, with
// the redraws of those outside the price and mass bounds), then evaluated
// together: one after another in this process, or, given a runner, each
// in a folder of its own (Work-g/k in the optimisation folder) by workers
// or a cluster. Their results are taken in the order the designs were
// made, so how many evaluate at once never changes a record.
class BladeGeneration : public Generation
{
public:
    // How many times one design is drawn before the run gives up on price
    // and mass (a build each).
    static constexpr int PriceMassAttempts = 1000;
    // The fitness of a design that could not be evaluated: below any other.
    static constexpr double FailedFitness = -0.7 * DBL_MAX;

    // The random engine's seed: a seeded run draws the same designs every
    // time; without one the engine is seeded from the system.
    using Seed = std::optional<RandomEngine::result_type>;

    // A new optimisation: an unevaluated initial population within the
    // price and mass bounds.
    explicit BladeGeneration(KBlade* blade, Seed seed = std::nullopt);
    // Continues from the record of generation g and the fitness history.
    BladeGeneration(KBlade* blade, int g, Seed seed = std::nullopt);

    ~BladeGeneration() override;

    void Evaluate(Chromosome& chromosome) override;
    void EvaluateMany(const std::vector<Chromosome*>& designs) override;
    void Run(int iterations) override;

    // Evaluates designs through the runner instead of in this process.
    void setRunner(std::unique_ptr<DesignRunner> runner);

    // False when the run cannot start or continue (see the messages), or
    // when it stopped at a redraw bound.
    bool isReady() const { return m_ready; }
    bool stopped() const { return m_stopped; }
    // The signal that interrupted the run, 0 if none did.
    int interruptedBy() const { return m_interruptedBy; }
    int generationCounter() const { return m_counter; }
    // The last generation recorded whole, 0 before the first.
    int lastRecorded() const { return m_recorded; }
    // Why a generation's records could not be written; empty if they were.
    const QString& recordError() const { return m_recordError; }

protected:
    // The blade's score of the decoded design; a subclass may score
    // otherwise. On failure why names the bound the design missed.
    virtual bool score(double& fitness, Eigen::VectorXd& results, QString& why);
    void decode(Chromosome& chromosome);
    // Redraws a design outside the price and mass bounds.
    void Admit(Chromosome& chromosome) override;

private:
    bool configureFromSettings();
    bool loadRecord(int g);
    bool loadFitness(int g);
    bool recordGeneration(int n, int last);
    bool exportBlades(int n);
    void stop(int attempts, const QString& why);
    void evaluateHere(const std::vector<Chromosome*>& designs);
    void evaluateByRunner(const std::vector<Chromosome*>& designs);
    void setOutcome(Chromosome& chromosome, bool evaluated, double fitness, const std::vector<double>& results,
                    const QString& why, const QString& folder);
    bool writeDesign(Chromosome& chromosome, const QString& folder);
    QString workFolder(int generation) const;

    KBlade* m_blade;
    ParameterList* m_parameters;
    QString m_folder;
    QString m_recordError;
    std::unique_ptr<DesignRunner> m_runner;
    int m_counter = 0;
    int m_recorded = 0;
    int m_evaluations = 0;
    // Designs evaluated in the current generation, and how many failed.
    int m_generationDesigns = 0;
    int m_generationFailures = 0;
    int m_interruptedBy = 0;
    bool m_ready = false;
    bool m_stopped = false;
};

} // namespace Folvane

#endif
