#include "opt/batchmodes.h"

#include "blade/kanalysis.h"
#include "blade/kblade.h"
#include "blade/kload.h"
#include "blade/koptsetting.h"
#include "blade/loadtable.h"
#include "blade/windiodocument.h"
#include "core/messages.h"
#include "fem/vtufile.h"
#include "opt/bladegeneration.h"
#include "opt/designrunner.h"
#include "opt/interrupt.h"
#include "opt/localrunner.h"
#include "opt/slurmrunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <iterator>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace Folvane::BatchModes {

bool decimalArgument(const char* text, const char* what, int& value)
{
    const char* p = text;
    if (*p == '+' || *p == '-')
        ++p;
    bool digits = *p != '\0';
    for (const char* q = p; *q; ++q)
        digits = digits && *q >= '0' && *q <= '9';
    errno = 0;
    const long long number = digits ? std::strtoll(text, nullptr, 10) : 0;
    if (!digits || errno == ERANGE || number < INT_MIN || number > INT_MAX) {
        std::cerr << "Folvane: the " << what << " argument '" << text << "' is not a decimal number of 32 bits"
                  << std::endl;
        return false;
    }
    value = int(number);
    return true;
}

// The model a mode works on, as given; none, with the reason on standard
// error, when it cannot be read.
static std::unique_ptr<KBlade> readModel(const char* argument)
{
    const QString path = QString::fromLocal8Bit(argument);
    outLine(QStringLiteral("Reading blade file: ") + path);
    auto blade = std::make_unique<KBlade>();
    blade->setFp(path);
    if (blade->readFile())
        return blade;
    std::cerr << "Folvane: the model file '" << argument << "' cannot be read, see the messages above" << std::endl;
    return nullptr;
}

// The index of the load case that the argument numbers from 1; false, with
// the message on standard error, when the model has no such load case.
static bool loadCaseIndex(const KBlade& blade, const char* argument, int number, int& index)
{
    index = number - 1;
    if (index >= 0 && index < blade.loads()->count())
        return true;
    std::cerr << "Folvane: load case " << argument << " not found" << std::endl;
    return false;
}

// A result that cannot be kept fails the run; its writer leaves the
// previous file, if any, as it was. error names the file and the reason.
static bool kept(bool written, const QString& error)
{
    if (!written)
        std::cerr << "Folvane: " << error.toLocal8Bit().constData() << "; the results are not kept" << std::endl;
    return written;
}

static bool sameFile(const QString& a, const QString& b)
{
    const QFileInfo first(a), second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath());
}

bool checkOutput(const char* output, const std::vector<const char*>& inputs, const std::vector<const char*>& extensions)
{
    const QString out = QString::fromLocal8Bit(output);
    for (const char* input : inputs) {
        if (sameFile(out, QString::fromLocal8Bit(input))) {
            std::cerr << "Folvane: the output '" << output << "' is the input '" << input << "'; nothing was written"
                      << std::endl;
            return false;
        }
    }
    for (const char* extension : extensions) {
        if (out.endsWith(QLatin1String(extension), Qt::CaseInsensitive))
            return true;
    }
    std::cerr << "Folvane: the output '" << output << "' does not end in ";
    for (size_t i = 0; i < extensions.size(); ++i)
        std::cerr << (i == 0 ? "" : i + 1 == extensions.size() ? " or " : ", ") << extensions[i];
    std::cerr << "; nothing was written" << std::endl;
    return false;
}

// The window shows the model's size in its status bar; a batch mode says it
// once, on standard output.
static void buildModel(KBlade& blade)
{
    blade.genFEModel();
    if (blade.elementCount() > 0)
        outLine(QStringLiteral("FE model: %1 nodes, %2 elements").arg(blade.nodeCount()).arg(blade.elementCount()));
}

int analyse(int argc, char** argv)
{
    int number = 0;
    if (!decimalArgument(argv[3], "load case", number))
        return 1;
    QCoreApplication app(argc, argv);
    const std::unique_ptr<KBlade> blade = readModel(argv[2]);
    if (!blade)
        return 2;
    int loadCase = 0;
    if (!loadCaseIndex(*blade, argv[3], number, loadCase))
        return 1;
    // The table goes to the current folder under a name that stays there.
    const QString stem = KFile::tableFileName(blade->bladeName() + QLatin1Char('-') + QString::fromLocal8Bit(argv[3]));
    const QString table = stem + QStringLiteral(".out");
    const QString failure = stem + QStringLiteral("-failure.out");
    buildModel(*blade);
    if (!blade->runLoadCase(loadCase)) {
        // A table of a failed run would pass zeros, or an older run's
        // numbers, for results.
        QFile::remove(table);
        QFile::remove(failure);
        std::cerr << "Folvane: the analysis of load case " << argv[3]
                  << " failed, see the messages above; no result table is written" << std::endl;
        return 3;
    }
    QString reason;
    if (!kept(blade->exportResults(table, loadCase, &reason), reason)
        || !kept(blade->exportFailure(failure, loadCase, &reason), reason))
        return 3;
    return 0;
}

// A seed is a whole number of 32 bits without a sign.
static bool seedArgument(const char* text, BladeGeneration::Seed& seed)
{
    bool digits = *text != '\0' && std::strlen(text) <= 10;
    for (const char* q = text; *q; ++q)
        digits = digits && *q >= '0' && *q <= '9';
    const unsigned long long number = digits ? std::strtoull(text, nullptr, 10) : 0;
    if (!digits || number > 4294967295ULL) {
        std::cerr << "Folvane: the seed argument '" << text << "' is not a whole number from 0 to 4294967295"
                  << std::endl;
        return false;
    }
    seed = BladeGeneration::Seed(number);
    return true;
}

namespace {

// How this run evaluates its designs: the per-user settings, and what the
// command line sets for this run alone.
struct Evaluation
{
    int workers = 0;
    int threads = 0;
    int timeLimit = -1;
    int slurm = -1;
    QString partition;
    bool partitionSet = false;
    QString options;
    bool optionsSet = false;
};

bool wholeOption(const char* name, const char* text, int low, int& value)
{
    if (!decimalArgument(text, name + 1, value))
        return false;
    if (value < low) {
        std::cerr << "Folvane: the " << name + 1 << " argument '" << text << "' is below " << low << std::endl;
        return false;
    }
    return true;
}

const char* const EvaluationOptions[] = {"-slurm", "-local", "-workers", "-threads", "-timelimit", "-partition", "-sbatch"};

bool isEvaluationOption(const char* text)
{
    return std::any_of(std::begin(EvaluationOptions), std::end(EvaluationOptions),
                       [text](const char* option) { return std::strcmp(option, text) == 0; });
}

bool evaluationOptions(int argc, char** argv, int first, Evaluation& evaluation)
{
    for (int i = first; i < argc; ++i) {
        const char* option = argv[i];
        const bool flag = std::strcmp(option, "-slurm") == 0 || std::strcmp(option, "-local") == 0;
        if (flag) {
            evaluation.slurm = std::strcmp(option, "-slurm") == 0 ? 1 : 0;
            continue;
        }
        if (!isEvaluationOption(option)) {
            std::cerr << "Folvane: '" << option << "' is not an option of -optimise" << std::endl;
            return false;
        }
        if (i + 1 >= argc) {
            std::cerr << "Folvane: the option " << option << " needs a value" << std::endl;
            return false;
        }
        const char* value = argv[++i];
        if (std::strcmp(option, "-workers") == 0 && !wholeOption(option, value, 1, evaluation.workers))
            return false;
        if (std::strcmp(option, "-threads") == 0 && !wholeOption(option, value, 1, evaluation.threads))
            return false;
        if (std::strcmp(option, "-timelimit") == 0 && !wholeOption(option, value, 0, evaluation.timeLimit))
            return false;
        if (std::strcmp(option, "-partition") == 0) {
            evaluation.partition = QString::fromLocal8Bit(value);
            evaluation.partitionSet = true;
        }
        if (std::strcmp(option, "-sbatch") == 0) {
            evaluation.options = QString::fromLocal8Bit(value);
            evaluation.optionsSet = true;
        }
    }
    return true;
}

// The runner of the settings, with the command line's values over them.
std::unique_ptr<DesignRunner> makeRunner(KAnalysis& settings, const Evaluation& evaluation)
{
    if (evaluation.threads > 0)
        settings.setCpus(evaluation.threads);
    if (evaluation.workers > 0)
        settings.setWorkers(evaluation.workers);
    if (evaluation.timeLimit >= 0)
        settings.setTimeLimit(evaluation.timeLimit);
    if (evaluation.slurm >= 0)
        settings.setSlurm(evaluation.slurm == 1);
    if (evaluation.partitionSet)
        settings.setPartition(evaluation.partition);
    if (evaluation.optionsSet)
        settings.setSbatchOptions(evaluation.options);
    const QString program = QCoreApplication::applicationFilePath();
    const QString limit = settings.timeLimit() > 0 ? QStringLiteral("%1 s").arg(settings.timeLimit()) : QStringLiteral("none");
    const QString threads = QStringLiteral("solver threads per design: %1, time limit per design: %2").arg(settings.cpus()).arg(limit);
    if (settings.slurm()) {
        outLine(QStringLiteral("Evaluating on Slurm, partition: %1, ")
                    .arg(settings.partition().isEmpty() ? QStringLiteral("the default") : settings.partition())
                + threads);
        return std::make_unique<SlurmRunner>(program, settings.cpus(), settings.timeLimit(), settings.partition(),
                                             settings.sbatchOptions());
    }
    outLine(QStringLiteral("Evaluating on this machine, workers: %1, ").arg(settings.effectiveWorkers()) + threads);
    return std::make_unique<LocalRunner>(program, settings.cpus(), settings.timeLimit(), settings.effectiveWorkers());
}

} // namespace

int optimise(int argc, char** argv)
{
    int start = 0, iterations = 0;
    BladeGeneration::Seed seed;
    Evaluation evaluation;
    // The seed is the one argument after the counts that is no option.
    const bool seeded = argc > 7 && !isEvaluationOption(argv[7]);
    if (!decimalArgument(argv[5], "start generation", start) || !decimalArgument(argv[6], "iterations", iterations)
        || (seeded && !seedArgument(argv[7], seed)) || !evaluationOptions(argc, argv, seeded ? 8 : 7, evaluation))
        return 1;
    if (start < 0) {
        std::cerr << "Folvane: the start generation argument '" << argv[5] << "' is below 0" << std::endl;
        return 1;
    }
    QCoreApplication app(argc, argv);
    const std::unique_ptr<KBlade> blade = readModel(argv[2]);
    if (!blade)
        return 2;
    blade->setOptDir(QString::fromLocal8Bit(argv[4]));
    outLine(start != 0 ? QStringLiteral("Continue Optimisation...") : QStringLiteral("Start New Optimisation..."));
    std::unique_ptr<BladeGeneration> optimisation = start != 0 ? std::make_unique<BladeGeneration>(blade.get(), start, seed)
                                                               : std::make_unique<BladeGeneration>(blade.get(), seed);
    if (!optimisation->isReady()) {
        std::cerr << "Folvane: the optimisation cannot " << (start != 0 ? "continue" : "start")
                  << ", see the messages above" << std::endl;
        return 2;
    }
    // Two runs into one folder would evaluate in each other's work folders
    // and write each other's records.
    const QString folder = blade->optSetting()->optDir();
    if (!QDir().mkpath(folder)) {
        std::cerr << "Folvane: the optimisation folder '" << argv[4] << "' cannot be created" << std::endl;
        return 2;
    }
    QLockFile lock(folder + QStringLiteral("/optimisation.lock"));
    lock.setStaleLockTime(0); // only a holder that is gone gives it up
    if (!lock.tryLock(0)) {
        qint64 pid = 0;
        QString host, program;
        if (lock.error() == QLockFile::LockFailedError && lock.getLockInfo(&pid, &host, &program))
            std::cerr << "Folvane: the optimisation folder '" << argv[4] << "' is in use by process " << pid << " ("
                      << program.toLocal8Bit().constData() << " on " << host.toLocal8Bit().constData()
                      << "); nothing was written" << std::endl;
        else
            std::cerr << "Folvane: the optimisation folder '" << argv[4] << "' cannot be written; nothing was written"
                      << std::endl;
        return 2;
    }
    optimisation->setRunner(makeRunner(*blade->anaSet(), evaluation));
    {
        InterruptGuard guard;
        optimisation->Run(iterations);
    }
    if (optimisation->interruptedBy() != 0) {
        const int last = optimisation->lastRecorded();
        if (last > 0)
            std::cerr << "Folvane: the optimisation was interrupted; generations up to " << last
                      << " are recorded, it continues from generation " << last << std::endl;
        else
            std::cerr << "Folvane: the optimisation was interrupted before its first generation was recorded" << std::endl;
        return 128 + optimisation->interruptedBy();
    }
    if (!optimisation->recordError().isEmpty()) {
        const int last = optimisation->lastRecorded();
        std::cerr << "Folvane: " << optimisation->recordError().toLocal8Bit().constData()
                  << (last > 0 ? "; generations up to " + std::to_string(last) + " are recorded"
                               : std::string("; no generation is recorded"))
                  << std::endl;
        return 3;
    }
    if (optimisation->stopped()) {
        std::cerr << "Folvane: the optimisation stopped early, see the messages above" << std::endl;
        return 3;
    }
    return 0;
}

int evaluate(int argc, char** argv)
{
    int threads = 0;
    if (!decimalArgument(argv[4], "threads", threads))
        return 1;
    const QString job = QString::fromLocal8Bit(argv[3]);
    if (threads < 1 || KFile::safeFileName(job) != job) {
        std::cerr << "Folvane: -evaluate needs a job name of letters, digits, '_', '-' and '.' and at least one thread"
                  << std::endl;
        return 1;
    }
    QCoreApplication app(argc, argv);
    const QString folder = QFileInfo(QString::fromLocal8Bit(argv[2])).absolutePath();
    const std::unique_ptr<KBlade> blade = readModel(argv[2]);
    DesignOutcome outcome;
    if (!blade) {
        outcome.fitness = BladeGeneration::FailedFitness;
        outcome.why = QStringLiteral("its model file cannot be read");
        return DesignRunner::writeStatus(folder, outcome) ? 0 : 2;
    }
    // The design's folder is its work folder; the settings are not saved.
    blade->anaSet()->setWorkDir(folder);
    blade->anaSet()->setCpus(threads);
    blade->setJobName(job);
    buildModel(*blade);
    Eigen::VectorXd results;
    QString why;
    outcome.evaluated = blade->evaluate(outcome.fitness, results, &why);
    outcome.results.assign(results.data(), results.data() + results.size());
    if (!outcome.evaluated) {
        outcome.fitness = BladeGeneration::FailedFitness;
        outcome.why = QStringLiteral("the design did not have ") + why;
    }
    if (!DesignRunner::writeStatus(folder, outcome)) {
        std::cerr << "Folvane: the status of the design cannot be written to " << folder.toLocal8Bit().constData()
                  << std::endl;
        return 2;
    }
    return 0;
}

static bool writeModel(KBlade& blade, const char* output)
{
    blade.setFp(QString::fromLocal8Bit(output));
    if (blade.writeFile())
        return true;
    std::cerr << "Folvane: the model file '" << output << "' cannot be written" << std::endl;
    return false;
}

// Reads one model file and writes the document to another. The script
// engine of the parameters needs an application object, so every batch
// mode has one; none runs its event loop.
static int convert(int argc, char** argv, const char* input, const char* output)
{
    if (!checkOutput(output, {input}, {".fvm"}))
        return 1;
    QCoreApplication app(argc, argv);
    KBlade blade;
    const QString path = QString::fromLocal8Bit(input);
    blade.setFp(path);
    // A missing input gives the default document; a damaged one stops the
    // run, so that it is never replaced by the default document.
    if (!blade.readFile() && QFileInfo::exists(path)) {
        std::cerr << "Folvane: the model file '" << input << "' cannot be read, nothing was written" << std::endl;
        return 2;
    }
    return writeModel(blade, output) ? 0 : 2;
}

int resave(int argc, char** argv)
{
    return convert(argc, argv, argv[2], argv[3]);
}

int autoLayupOpt(int argc, char** argv)
{
    // The two numbers take no further part, but must be numbers.
    int value = 0;
    if (!decimalArgument(argv[3], "third", value) || !decimalArgument(argv[4], "fourth", value))
        return 1;
    return convert(argc, argv, argv[2], argv[5]);
}

int autoKpOpt(int argc, char** argv)
{
    int value = 0, pairs = 0;
    if (!decimalArgument(argv[4], "fourth", value) || !decimalArgument(argv[5], "pair count", pairs))
        return 1;
    if (pairs < 0 || 6 + 2LL * pairs > argc) {
        std::cerr << "Folvane: the pair count argument '" << argv[5] << "' asks for " << pairs << " pairs, "
                  << (argc - 6) / 2 << " are given" << std::endl;
        return 1;
    }
    for (int k = 0; k < 2 * pairs; ++k) {
        if (!decimalArgument(argv[6 + k], "pair", value))
            return 1;
    }
    return convert(argc, argv, argv[2], argv[3]);
}

// The table and mode shapes of a modal or buckling run beside each other.
static bool exportEigen(const KBlade& blade, const QString& stem, bool buckling)
{
    const QString table = stem + QStringLiteral(".out");
    const QString shapes = stem + QStringLiteral(".vtu");
    QString reason;
    return kept(buckling ? blade.exportBuckling(table, &reason) : blade.exportModal(table, &reason), reason)
        && kept(blade.exportModeVtk(shapes, buckling, &reason), reason);
}

static void removeEigenFiles(const QString& stem)
{
    QFile::remove(stem + QStringLiteral(".out"));
    QFile::remove(stem + QStringLiteral(".vtu"));
}

// The mode count argument, when given; 0 (the document's setting) otherwise.
static bool modeCount(int argc, char** argv, int at, int& modes)
{
    modes = 0;
    if (argc <= at)
        return true;
    if (!decimalArgument(argv[at], "mode count", modes))
        return false;
    if (modes < 1 || modes > 100) {
        std::cerr << "Folvane: the mode count argument '" << argv[at] << "' is not from 1 to 100" << std::endl;
        return false;
    }
    return true;
}

int modal(int argc, char** argv)
{
    int modes = 0;
    if (!modeCount(argc, argv, 3, modes))
        return 1;
    QCoreApplication app(argc, argv);
    const std::unique_ptr<KBlade> blade = readModel(argv[2]);
    if (!blade)
        return 2;
    const QString stem = KFile::tableFileName(blade->bladeName() + QStringLiteral("-modal"));
    buildModel(*blade);
    if (!blade->runModal(modes > 0 ? modes : blade->optSetting()->modalModes())) {
        removeEigenFiles(stem);
        std::cerr << "Folvane: the modal analysis failed, see the messages above; no table is written" << std::endl;
        return 3;
    }
    return exportEigen(*blade, stem, false) ? 0 : 3;
}

int buckle(int argc, char** argv)
{
    int number = 0, modes = 0;
    if (!decimalArgument(argv[3], "load case", number) || !modeCount(argc, argv, 4, modes))
        return 1;
    QCoreApplication app(argc, argv);
    const std::unique_ptr<KBlade> blade = readModel(argv[2]);
    if (!blade)
        return 2;
    int loadCase = 0;
    if (!loadCaseIndex(*blade, argv[3], number, loadCase))
        return 1;
    const QString stem = KFile::tableFileName(blade->bladeName() + QLatin1Char('-') + QString::fromLocal8Bit(argv[3])
                                              + QStringLiteral("-buckle"));
    buildModel(*blade);
    if (!blade->runBuckling(loadCase, modes > 0 ? modes : blade->optSetting()->bucklingModes())) {
        removeEigenFiles(stem);
        std::cerr << "Folvane: the buckling analysis of load case " << argv[3]
                  << " failed, see the messages above; no table is written" << std::endl;
        return 3;
    }
    return exportEigen(*blade, stem, true) ? 0 : 3;
}

int vtk(int argc, char** argv)
{
    const bool every = argc == 5 && std::strcmp(argv[4], "all") == 0;
    int number = 0;
    if (argc == 5 && !every && !decimalArgument(argv[4], "load case", number))
        return 1;
    if (!checkOutput(argv[3], {argv[2]}, {every ? ".pvd" : ".vtu"}))
        return 1;
    QCoreApplication app(argc, argv);
    const QString output = QString::fromLocal8Bit(argv[3]);
    const std::unique_ptr<KBlade> blade = readModel(argv[2]);
    if (!blade)
        return 2;
    std::vector<int> cases;
    if (every) {
        for (int l = 0; l < blade->loads()->count(); ++l)
            cases.push_back(l);
    } else if (argc == 5) {
        int index = 0;
        if (!loadCaseIndex(*blade, argv[4], number, index))
            return 1;
        cases.push_back(index);
    }
    buildModel(*blade);
    if (blade->elementCount() == 0) {
        std::cerr << "Folvane: the FE model cannot be built, see the messages above; nothing is written" << std::endl;
        return 2;
    }
    QString reason;
    if (argc == 4)
        return kept(blade->exportVtk(output, -1, &reason), reason) ? 0 : 3;

    // With every load case, one dataset each beside the collection,
    // named by the load case's number.
    const QFileInfo info(output);
    std::vector<Vtu::CollectionEntry> entries;
    QStringList written;
    auto forget = [&written] {
        for (const QString& f : written)
            QFile::remove(f);
    };
    for (int l : cases) {
        const QString file = every ? info.completeBaseName() + QStringLiteral("-%1.vtu").arg(l + 1) : info.fileName();
        const QString target = info.dir().filePath(file);
        if (!blade->runLoadCase(l)) {
            forget();
            QFile::remove(target);
            std::cerr << "Folvane: the analysis of load case " << l + 1
                      << " failed, see the messages above; no VTK file is written" << std::endl;
            return 3;
        }
        if (!kept(blade->exportVtk(target, l, &reason), reason)) {
            forget();
            return 3;
        }
        written << target;
        entries.push_back({double(l + 1), file});
    }
    if (every && !kept(Vtu::writePvd(entries, output, reason), reason)) {
        forget();
        return 3;
    }
    return 0;
}

int importWindio(int argc, char** argv)
{
    if (!checkOutput(argv[3], {argv[2]}, {".fvm"}))
        return 1;
    QCoreApplication app(argc, argv);
    const QString input = QString::fromLocal8Bit(argv[2]);
    outLine(QStringLiteral("Importing windIO file: ") + input);
    KBlade blade;
    Windio::ImportReport report;
    QString error;
    if (!Windio::importFile(blade, input, Windio::ImportSettings(), report, error)) {
        std::cerr << "Folvane: the windIO file '" << argv[2] << "' cannot be imported: " << error.toLocal8Bit().constData()
                  << "; nothing was written" << std::endl;
        return 2;
    }
    Windio::reportImport(blade, report);
    return writeModel(blade, argv[3]) ? 0 : 2;
}

int importLoads(int argc, char** argv)
{
    if (!checkOutput(argv[4], {argv[2], argv[3]}, {".fvm"}))
        return 1;
    QCoreApplication app(argc, argv);
    const std::unique_ptr<KBlade> blade = readModel(argv[2]);
    if (!blade)
        return 2;
    QStringList report;
    QString error;
    if (!importLoadCase(*blade, QString::fromLocal8Bit(argv[3]), report, error)) {
        std::cerr << "Folvane: the load table '" << argv[3] << "' cannot be imported: "
                  << error.toLocal8Bit().constData() << "; nothing was written" << std::endl;
        return 2;
    }
    if (!writeModel(*blade, argv[4]))
        return 2;
    for (const QString& line : report)
        outLine(line);
    return 0;
}

} // namespace Folvane::BatchModes
