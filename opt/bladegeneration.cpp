#include "opt/bladegeneration.h"

#include "blade/kblade.h"
#include "core/binaryio.h"
#include "core/messages.h"
#include "core/parameterlist.h"
#include "opt/parametergenes.h"

#include <QDir>
#include <QFile>
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
    for (int i = 0; i < populationSize(); ++i) {
        Chromosome* member = templ->Clone();
        addToPopulation(member);
        int attempts = 0;
        do {
            if (++attempts > PriceMassAttempts) {
                stop(PriceMassAttempts, QStringLiteral("price and mass inside their bounds"));
                return;
            }
            member->Randomize();
            decode(*member);
        } while (!m_blade->checkPriceMass());
    }
    m_ready = true;
}

BladeGeneration::BladeGeneration(KBlade* blade, int g, Seed seed)
    : m_blade(blade)
    , m_parameters(blade->parameters())
{
    if (seed)
        engine().seed(*seed);
    int population = 0, crossover = 0;
    double portion = 0, rate = 0;
    m_blade->readOptSettings(m_folder, population, portion, rate, crossover);
    if (g < 1 || !loadRecord(g) || !configureFromSettings())
        return;
    m_ready = loadFitness(g);
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

void BladeGeneration::Evaluate(Chromosome& chromosome)
{
    if (m_stopped)
        return;
    double fitness = 0;
    Eigen::VectorXd results;
    QString why;
    for (int attempt = 1;; ++attempt) {
        decode(chromosome);
        ++m_evaluations;
        if (score(fitness, results, why))
            break;
        if (attempt >= ScoreAttempts) {
            stop(ScoreAttempts, why);
            return;
        }
        chromosome.Randomize();
    }
    chromosome.SetResult(fitness, std::vector<double>(results.data(), results.data() + results.size()));
    outLine(QStringLiteral("Evaluation %1: fitness %2").arg(m_evaluations).arg(formatNumber(fitness)));
}

void BladeGeneration::recordGeneration(int n, int last)
{
    writeGeneration(m_folder, n);
    exportBlades(n);
    outLine(QStringLiteral("Generation %1 of %2: %3 evaluations, best fitness %4")
                .arg(n).arg(last).arg(m_evaluations).arg(formatNumber(population().front()->fitness())));
}

void BladeGeneration::exportBlades(int n)
{
    const QString fp = m_blade->fp();
    const bool hadFp = m_blade->hasFP();
    QuietDebug quiet;
    for (size_t i = 0; i < population().size(); ++i) {
        importChromosome(*m_parameters, *population()[i]);
        m_blade->setFp(m_folder + QStringLiteral("/Bld-%1_%2.fvm").arg(n).arg(i + 1));
        m_blade->writeFile();
    }
    m_blade->setFp(fp);
    m_blade->setHasFP(hadFp);
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
        if (m_stopped)
            return;
        recordGeneration(1, last);
    }
    ++m_counter;
    for (int i = 0; i < iterations; ++i, ++m_counter) {
        NextGeneration();
        if (m_stopped)
            return;
        recordGeneration(m_counter, last);
    }
}

} // namespace Folvane
