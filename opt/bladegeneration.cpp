#include "opt/bladegeneration.h"

#include "blade/kblade.h"
#include "core/binaryio.h"
#include "core/kfile.h"
#include "core/messages.h"
#include "core/parameterlist.h"
#include "opt/designrunner.h"
#include "opt/interrupt.h"
#include "opt/parametergenes.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cfloat>

namespace Folvane {

bool BladeGeneration::configureFromSettings()
{
    int population = 0, crossover = 0;
    double portion = 0, rate = 0;
    m_blade->readOptSettings(m_folder, population, portion, rate, crossover);
    return configure(population, portion, rate, crossover);
}

BladeGeneration::BladeGeneration(KBlade* blade, Seed seed)
    : m_blade(blade)
    , m_parameters(blade->parameters())
{
    if (seed)
        engine().seed(*seed);
    if (!configureFromSettings())
        return;
    std::unique_ptr<Chromosome> templ(chromosomeOf(*m_parameters));
    templ->setEngine(&engine());
    for (int i = 0; i < populationSize() && !m_stopped; ++i) {
        Chromosome* member = templ->Clone();
        addToPopulation(member);
        member->Randomize();
        Admit(*member);
    }
    m_ready = !m_stopped;
}

BladeGeneration::~BladeGeneration() = default;

void BladeGeneration::setRunner(std::unique_ptr<DesignRunner> runner)
{
    m_runner = std::move(runner);
}

BladeGeneration::BladeGeneration(KBlade* blade, int g, Seed seed)
    : m_blade(blade)
    , m_parameters(blade->parameters())
{
    if (seed)
        engine().seed(*seed);
    int size = 0, crossover = 0;
    double portion = 0, rate = 0;
    m_blade->readOptSettings(m_folder, size, portion, rate, crossover);
    if (g < 1 || !loadRecord(g) || !configureFromSettings())
        return;
    // A population of another size would not keep its size: selection and
    // elimination count on the size set.
    if (int(m_population.size()) != populationSize()) {
        outLine(QStringLiteral("BladeGeneration - BladeGeneration: generation %1 holds %2 designs, the population "
                               "size is set to %3; set it to %2 to continue this optimisation")
                    .arg(g).arg(m_population.size()).arg(populationSize()));
        clearPopulation();
        return;
    }
    m_ready = loadFitness(g);
    m_recorded = m_ready ? g : 0;
}

bool BladeGeneration::loadRecord(int g)
{
    QFile file(m_folder + QStringLiteral("/Evo-%1.fvo").arg(g));
    if (!file.open(QIODevice::ReadOnly)) {
        outLine(QStringLiteral("BladeGeneration - BladeGeneration: cannot open the .fvo file!"));
        return false;
    }
    QByteArray bytes;
    if (!KFile::readAtMost(file, KFile::MaxModelFileBytes, bytes))
        bytes.clear(); // refused below as damaged
    QDataStream in(bytes);
    Binary::prepare(in);
    const quint64 count = Binary::readUInt64(in);
    const int genes = m_parameters->count();
    // Every record of this population is a chromosome of one gene per parameter.
    const qint64 recordBytes = 8 + 24 * genes + 8 + 8 + 1;
    if (Binary::fits(in, count, recordBytes)) {
        for (quint64 i = 0; i < count; ++i) {
            auto* c = new Chromosome(in);
            addToPopulation(c);
            if (in.status() != QDataStream::Ok || c->geneCount() != genes)
                break;
        }
    }
    if (in.status() != QDataStream::Ok || !in.atEnd() || population().empty()
        || population().back()->geneCount() != genes) {
        outLine(QStringLiteral("BladeGeneration - BladeGeneration: the .fvo file of generation %1 is damaged "
                               "or not of this blade's %2 parameters")
                    .arg(g).arg(genes));
        clearPopulation();
        return false;
    }
    return true;
}

bool BladeGeneration::loadFitness(int g)
{
    QFile file(m_folder + QStringLiteral("/Fitness.dat"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        outLine(QStringLiteral("BladeGeneration - BladeGeneration: cannot open the fitness file!"));
        outLine(QStringLiteral("New optimisation will be started!"));
        return true;
    }
    bool ok = false;
    const int entries = QString::fromLatin1(file.readLine(64).trimmed()).toInt(&ok);
    std::vector<double> history;
    for (int i = 0; ok && i < g && !file.atEnd(); ++i) {
        history.push_back(QString::fromLatin1(file.readLine(64).trimmed()).toDouble(&ok));
    }
    if (!ok || entries < g || int(history.size()) < g) {
        outLine(QStringLiteral("BladeGeneration - BladeGeneration: the fitness file holds fewer than %1 values, "
                               "generation %1 cannot be continued")
                    .arg(g));
        return false;
    }
    m_fitnessHistory = std::move(history);
    m_counter = std::min(entries, g);
    return true;
}

void BladeGeneration::decode(Chromosome& chromosome)
{
    importChromosome(*m_parameters, chromosome);
    m_parameters->resetEngine();
    QuietDebug quiet;
    m_blade->genFEModel();
}

bool BladeGeneration::score(double& fitness, Eigen::VectorXd& results, QString& why)
{
    return m_blade->evaluate(fitness, results, &why);
}

void BladeGeneration::stop(int attempts, const QString& why)
{
    if (!m_stopped)
        outLine(QStringLiteral("BladeGeneration - no design in %1 attempts had %2; the optimisation stops")
                    .arg(attempts).arg(why));
    m_stopped = true;
}

void BladeGeneration::Admit(Chromosome& chromosome)
{
    for (int attempts = 1; !m_stopped; ++attempts) {
        decode(chromosome);
        if (m_blade->checkPriceMass())
            return;
        if (attempts >= PriceMassAttempts) {
            stop(PriceMassAttempts, QStringLiteral("price and mass inside their bounds"));
            return;
        }
        chromosome.Randomize();
    }
}

void BladeGeneration::Evaluate(Chromosome& chromosome)
{
    EvaluateMany({&chromosome});
}

void BladeGeneration::EvaluateMany(const std::vector<Chromosome*>& designs)
{
    if (m_stopped)
        return;
    std::vector<Chromosome*> distinct;
    for (Chromosome* c : designs) {
        if (std::find(distinct.begin(), distinct.end(), c) == distinct.end())
            distinct.push_back(c);
    }
    if (m_runner)
        evaluateByRunner(distinct);
    else
        evaluateHere(distinct);
}

void BladeGeneration::setOutcome(Chromosome& chromosome, bool evaluated, double fitness,
                                 const std::vector<double>& results, const QString& why, const QString& folder)
{
    ++m_evaluations;
    ++m_generationDesigns;
    if (evaluated) {
        chromosome.SetResult(fitness, results);
        outLine(QStringLiteral("Evaluation %1: fitness %2").arg(m_evaluations).arg(formatNumber(fitness)));
        return;
    }
    // A failed design stays, ranked below every other, so that a solver
    // failure never changes what is drawn next.
    ++m_generationFailures;
    chromosome.SetResult(FailedFitness, results);
    outLine(QStringLiteral("Evaluation %1 failed: %2").arg(m_evaluations).arg(why)
            + (folder.isEmpty() ? QString() : QStringLiteral("; its files are in ") + folder));
}

void BladeGeneration::evaluateHere(const std::vector<Chromosome*>& designs)
{
    for (Chromosome* c : designs) {
        double fitness = 0;
        Eigen::VectorXd results;
        QString why;
        decode(*c);
        const bool evaluated = score(fitness, results, why);
        setOutcome(*c, evaluated, fitness, std::vector<double>(results.data(), results.data() + results.size()),
                   QStringLiteral("the design did not have ") + why, QString());
    }
}

QString BladeGeneration::workFolder(int generation) const
{
    return m_folder + QStringLiteral("/Work-%1").arg(generation);
}

// The design's parameters in a model file of its own, as the worker reads it.
bool BladeGeneration::writeDesign(Chromosome& chromosome, const QString& folder)
{
    QDir(folder).removeRecursively();
    if (!QDir().mkpath(folder))
        return false;
    const QString fp = m_blade->fp();
    const bool hadFp = m_blade->hasFP();
    importChromosome(*m_parameters, chromosome);
    m_blade->setFp(folder + QStringLiteral("/design.fvm"));
    bool written = false;
    {
        QuietDebug quiet;
        written = m_blade->writeFile();
    }
    m_blade->setFp(fp);
    m_blade->setHasFP(hadFp);
    return written;
}

void BladeGeneration::evaluateByRunner(const std::vector<Chromosome*>& designs)
{
    // Folder and job names count on in the generation: no two designs
    // share a file, and the names are safe for any solver.
    const QString stem = KFile::safeFileName(m_blade->bladeName());
    // What an interrupted run left of this generation goes first.
    if (m_generationDesigns == 0)
        QDir(workFolder(m_counter)).removeRecursively();
    std::vector<DesignTask> tasks;
    for (size_t i = 0; i < designs.size(); ++i) {
        const int k = m_generationDesigns + int(i) + 1;
        const QString folder = workFolder(m_counter) + QStringLiteral("/%1").arg(k);
        tasks.push_back({QDir(folder).absolutePath(), stem + QStringLiteral("-%1_%2").arg(m_counter).arg(k)});
        if (!writeDesign(*designs[i], folder)) {
            outLine(QStringLiteral("BladeGeneration - the design cannot be written to ") + folder);
            m_stopped = true;
            return;
        }
    }
    std::vector<DesignOutcome> outcomes;
    if (!m_runner->run(tasks, outcomes)) {
        m_interruptedBy = InterruptGuard::signal();
        outLine(m_interruptedBy != 0 ? QStringLiteral("BladeGeneration - interrupted in generation %1").arg(m_counter)
                                     : QStringLiteral("BladeGeneration - the designs cannot be evaluated: ") + m_runner->error());
        m_stopped = true;
        return;
    }
    for (size_t i = 0; i < designs.size(); ++i) {
        const DesignOutcome& outcome = outcomes[i];
        std::vector<double> results = outcome.results;
        if (results.empty())
            results.assign(KBlade::ResultCount, 0.0);
        setOutcome(*designs[i], outcome.evaluated, outcome.fitness, results, outcome.why,
                   outcome.evaluated ? QString() : tasks[i].folder);
        // A failed design's files stay for a look; the others' are done with.
        if (outcome.evaluated)
            QDir(tasks[i].folder).removeRecursively();
    }
}

bool BladeGeneration::recordGeneration(int n, int last)
{
    // A generation whose records are lost cannot be continued: the run
    // stops rather than spend solver time that nothing keeps.
    if (!writeGeneration(m_folder, n, &m_recordError) || !exportBlades(n)) {
        outLine(QStringLiteral("BladeGeneration - generation %1 cannot be recorded: ").arg(n) + m_recordError);
        m_stopped = true;
        return false;
    }
    m_recorded = n;
    QDir().rmdir(workFolder(n)); // only when no failed design's files are left
    m_generationDesigns = 0;
    m_generationFailures = 0;
    outLine(QStringLiteral("Generation %1 of %2: %3 evaluations, best fitness %4")
                .arg(n).arg(last).arg(m_evaluations).arg(formatNumber(population().front()->fitness())));
    return true;
}

bool BladeGeneration::exportBlades(int n)
{
    const QString fp = m_blade->fp();
    const bool hadFp = m_blade->hasFP();
    QuietDebug quiet;
    bool written = true;
    for (size_t i = 0; i < population().size() && written; ++i) {
        importChromosome(*m_parameters, *population()[i]);
        m_blade->setFp(m_folder + QStringLiteral("/Bld-%1_%2.fvm").arg(n).arg(i + 1));
        written = m_blade->writeFile();
        if (!written)
            m_recordError = QStringLiteral("cannot write ") + m_blade->fp();
    }
    m_blade->setFp(fp);
    m_blade->setHasFP(hadFp);
    return written;
}

void BladeGeneration::Run(int iterations)
{
    if (!m_ready)
        return;
    if (!QDir().mkpath(m_folder)) {
        outLine(QStringLiteral("BladeGeneration - Run: cannot create the optimisation folder ") + m_folder);
        m_stopped = true;
        return;
    }
    const int last = std::max(m_counter, 1) + std::max(iterations, 0);
    if (m_counter == 0) {
        m_counter = 1;
        EvaluateAll();
        if (!m_stopped && m_generationFailures == m_generationDesigns) {
            outLine(QStringLiteral("BladeGeneration - no design of the first generation could be evaluated; "
                                   "the optimisation stops"));
            m_stopped = true;
        }
        if (m_stopped || !recordGeneration(1, last))
            return;
    }
    ++m_counter;
    for (int i = 0; i < iterations; ++i, ++m_counter) {
        if (InterruptGuard::signal() != 0) {
            m_interruptedBy = InterruptGuard::signal();
            outLine(QStringLiteral("BladeGeneration - interrupted in generation %1").arg(m_counter));
            m_stopped = true;
            return;
        }
        NextGeneration();
        if (m_stopped || !recordGeneration(m_counter, last))
            return;
    }
}

} // namespace Folvane
