#include "solver/analyser.h"

#include "core/messages.h"
#include "core/processtree.h"
#include "fem/model.h"
#include "solver/cmd.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <iostream>

namespace Folvane {

Analyser::Analyser(Model* model, const QString& workDir, const QString& program, bool clearResults)
    : m_model(model)
    // Without a work folder the solver works in the current one.
    , m_workDir(workDir.isEmpty() ? QStringLiteral(".") : workDir)
    , m_program(program)
    , m_loadCases(model->loads().ReadLoadNum())
{
    if (!clearResults)
        return;
    model->nodes().initResults(m_loadCases);
    model->elements().initResults(m_loadCases);
}

Analyser::~Analyser() = default;

QString Analyser::pathOf(const QString& job, const QString& suffix) const
{
    return m_workDir + QLatin1Char('/') + job + suffix;
}

std::unique_ptr<QLockFile> Analyser::lockJob(const QString& job) const
{
    auto lock = std::make_unique<QLockFile>(pathOf(job, QStringLiteral(".lock")));
    // Only a holder on another machine is taken for gone by age, and a run
    // may take days.
    lock->setStaleLockTime(7 * 24 * 3600 * 1000);
    lock->lock();
    return lock;
}

bool Analyser::runSolver(const QString& job, QString& failure) const
{
    const QStringList command = BuildCommand(job);
    // Started directly, not through a shell: nothing in the job name or the
    // folders can be taken for a command.
    QProcess solver;
    solver.setWorkingDirectory(m_workDir);
    solver.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    setThreadEnvironment(environment);
    solver.setProcessEnvironment(environment);
    std::cout.flush();
    solver.start(command.first(), command.mid(1));
    if (!solver.waitForStarted(-1)) {
        failure = QStringLiteral("cannot start ") + command.first();
        return false;
    }
    // The exit status alone does not tell: some input errors end with 0.
    // The output is passed on as it comes and read line by line for the
    // first error (of a long line, its first 4096 bytes).
    QByteArray line;
    QByteArray firstError;
    auto endLine = [&] {
        if (firstError.isEmpty() && isErrorLine(line))
            firstError = line.trimmed();
        if (m_progress && !line.trimmed().isEmpty())
            m_progress(QString::fromLocal8Bit(line.trimmed()));
        line.clear();
    };
    auto pass = [&] {
        const QByteArray chunk = solver.readAll();
        std::cout.write(chunk.constData(), chunk.size());
        for (char c : chunk) {
            if (c == '\n')
                endLine();
            else if (line.size() < 4096)
                line += c;
        }
    };
    // With a cancel flag, the wait wakes now and then to look at it.
    const int wait = m_cancel ? 100 : -1;
    bool cancelled = false;
    while (solver.state() != QProcess::NotRunning) {
        if (m_cancel && m_cancel->load() && !cancelled) {
            killProcessTree(solver.processId());
            cancelled = true;
        }
        if (!solver.waitForReadyRead(wait) && solver.state() != QProcess::NotRunning)
            solver.waitForFinished(wait);
        pass();
    }
    solver.waitForFinished(-1);
    pass();
    endLine();
    std::cout.flush();
    if (cancelled)
        failure = QStringLiteral("cancelled");
    else if (!firstError.isEmpty())
        failure = QString::fromLocal8Bit(firstError);
    else if (solver.exitStatus() != QProcess::NormalExit)
        failure = QStringLiteral("the solver crashed");
    else if (solver.exitCode() != 0)
        failure = QStringLiteral("the solver exited with code %1").arg(solver.exitCode());
    return failure.isEmpty();
}

QString Analyser::jobName() const
{
    return m_model->name();
}

bool Analyser::RunLoadCase(int loadCase)
{
    const QString job = jobName();
    const std::unique_ptr<QLockFile> lock = lockJob(job);
    // Results of an earlier run must never pass for this one's.
    for (const QString& file : resultFiles(job))
        QFile::remove(file);
    const QString deck = pathOf(job, QStringLiteral(".inp"));
    QFile::remove(deck);
    m_writer->BuildFullInp(deck, loadCase);
    outLine(QStringLiteral("Starting analysis of %1: Load case %2").arg(job).arg(loadCase + 1));
    QString failure;
    const bool ran = QFileInfo::exists(deck) && runSolver(job, failure);
    if (cancelled())
        return false;
    outLine(QStringLiteral("Analysis finished"));
    if (!failure.isEmpty())
        outLine(QStringLiteral("Analyser - RunLoadCase: job %1, load case %2 failed: %3").arg(job).arg(loadCase + 1).arg(failure));
    const bool ok = ran && ReadResults(loadCase, job);
    outLine(ok ? QStringLiteral("Reading results finished") : QStringLiteral("Cannot read the results"));
    if (m_clean) {
        CleanFiles(job);
        outLine(QStringLiteral("Files Cleaned"));
    }
    return ok;
}

bool Analyser::RunAll()
{
    bool all = true;
    for (int i = 0; i < m_loadCases; ++i) {
        if (RunLoadCase(i))
            outLine(QStringLiteral("Load case %1 finished").arg(i + 1));
        else
            all = false;
    }
    outLine(QStringLiteral("All analysis finished!"));
    return all;
}

void Analyser::CleanFiles(const QString& job)
{
    for (const QString& suffix : qAsConst(m_suffixes))
        QFile::remove(pathOf(job, suffix));
}

bool Analyser::ReadResults(int, const QString&)
{
    return false;
}

} // namespace Folvane
