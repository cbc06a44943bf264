#include "solver/analyser.h"

#include "core/messages.h"
#include "fem/model.h"
#include "solver/cmd.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <iostream>

namespace Folvane {

Analyser::Analyser(Model* model, const QString& workDir, const QString& program)
    : m_model(model)
    // Without a work folder the solver works in the current one.
    , m_workDir(workDir.isEmpty() ? QStringLiteral(".") : workDir)
    , m_program(program)
    , m_loadCases(model->loads().ReadLoadNum())
{
    model->nodes().initResults(m_loadCases);
    model->elements().initResults(m_loadCases);
}

Analyser::~Analyser() = default;

QString Analyser::pathOf(const QString& job, const QString& suffix) const
{
    return m_workDir + QLatin1Char('/') + job + suffix;
}

bool Analyser::runSolver(const QString& job) const
{
    const QStringList command = BuildCommand(job);
    // Started directly, not through a shell: nothing in the job name or the
    // folders can be taken for a command.
    QProcess solver;
    solver.setWorkingDirectory(m_workDir);
    solver.setProcessChannelMode(QProcess::ForwardedChannels);
    std::cout.flush();
    solver.start(command.first(), command.mid(1));
    if (!solver.waitForStarted(-1)) {
        outLine(QStringLiteral("Analyser - RunLoadCase: cannot start ") + command.first());
        return false;
    }
    solver.waitForFinished(-1);
    return true;
}

bool Analyser::RunLoadCase(int loadCase)
{
    const QString job = m_model->name();
    // Results of an earlier run must never pass for this one's.
    for (const QString& file : resultFiles(job))
        QFile::remove(file);
    const QString deck = pathOf(job, QStringLiteral(".inp"));
    QFile::remove(deck);
    m_writer->BuildFullInp(deck, loadCase);
    outLine(QStringLiteral("Starting analysis of %1: Load case %2").arg(job).arg(loadCase + 1));
    const bool ran = QFileInfo::exists(deck) && runSolver(job);
    outLine(QStringLiteral("Analysis finished"));
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
