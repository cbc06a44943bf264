#include "opt/slurmrunner.h"

#include "core/savefile.h"
#include "opt/interrupt.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QTimer>
#include <algorithm>

namespace Folvane {

SlurmRunner::SlurmRunner(const QString& program, int threads, int timeLimit, const QString& partition,
                         const QString& options)
    : DesignRunner(program, threads, timeLimit)
    , m_partition(partition)
    , m_options(options)
    // In squeue: the program, and which of its runs submitted the array.
    , m_jobName(QStringLiteral("folvane-%1").arg(QCoreApplication::applicationPid()))
{
}

namespace {

// A word for sh that stays one word whatever it holds.
QString quoted(const QString& text)
{
    QString body = text;
    body.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + body + QLatin1Char('\'');
}

} // namespace

QString SlurmRunner::script(const std::vector<DesignTask>& tasks) const
{
    QString text = QStringLiteral("#!/bin/sh\n# One design per task of the array; the outcome goes to the design's status file.\n"
                                  "case \"$SLURM_ARRAY_TASK_ID\" in\n");
    for (size_t i = 0; i < tasks.size(); ++i) {
        QStringList command{quoted(m_program)};
        for (const QString& argument : workerArguments(tasks[i]))
            command << quoted(argument);
        text += QStringLiteral("%1) cd %2 || exit 1\n   exec %3 >log.txt 2>&1 ;;\n")
                    .arg(i + 1)
                    .arg(quoted(tasks[i].folder), command.join(QLatin1Char(' ')));
    }
    text += QStringLiteral("esac\nexit 1\n");
    return text;
}

QStringList SlurmRunner::sbatchArguments(const QString& scriptPath, const QString& logStem, int taskCount) const
{
    QStringList arguments{QStringLiteral("--parsable"),
                          QStringLiteral("--array=1-%1").arg(taskCount), QStringLiteral("--job-name=") + m_jobName,
                          // Slurm expands % in the name; a folder's own % is doubled.
                          QStringLiteral("--output=") + QString(logStem).replace(QLatin1Char('%'), QStringLiteral("%%"))
                              + QStringLiteral("%a.out"),
                          QStringLiteral("--cpus-per-task=%1").arg(m_threads)};
    if (!m_partition.isEmpty())
        arguments << QStringLiteral("--partition=") + m_partition;
    // Slurm counts whole minutes.
    if (m_timeLimit > 0)
        arguments << QStringLiteral("--time=%1").arg((qint64(m_timeLimit) + 59) / 60);
    arguments << QProcess::splitCommand(m_options);
    arguments << scriptPath;
    return arguments;
}

bool SlurmRunner::run(const std::vector<DesignTask>& tasks, std::vector<DesignOutcome>& outcomes)
{
    outcomes.assign(tasks.size(), DesignOutcome());
    m_error.clear();
    if (tasks.empty())
        return true;
    for (const DesignTask& task : tasks)
        QFile::remove(statusPath(task.folder));
    // The script and Slurm's own logs go beside the first design's folder.
    const QString batchFolder = QFileInfo(tasks.front().folder).absolutePath();
    const QString batch = QFileInfo(tasks.front().folder).fileName();
    const QString scriptPath = batchFolder + QStringLiteral("/array-%1.sh").arg(batch);
    const QString logStem = batchFolder + QStringLiteral("/slurm-%1-").arg(batch);
    QSaveFile file(scriptPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(script(tasks).toUtf8()) < 0 || !commitWhole(file)) {
        m_error = QStringLiteral("the batch script %1 cannot be written").arg(scriptPath);
        return false;
    }
    QFile::setPermissions(scriptPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // Submitted at once; sbatch --wait would only return up to half a
    // minute after the array ends.
    QProcess sbatch;
    sbatch.start(QStringLiteral("sbatch"), sbatchArguments(scriptPath, logStem, int(tasks.size())));
    sbatch.waitForFinished(-1);
    // With --parsable, the line is the job's number (";cluster" may follow).
    const QString jobId =
        QString::fromUtf8(sbatch.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0).section(QLatin1Char(';'), 0, 0).trimmed();
    bool isNumber = false;
    jobId.toULongLong(&isNumber);
    if (sbatch.exitStatus() != QProcess::NormalExit || sbatch.exitCode() != 0 || !isNumber) {
        const QString said = QString::fromLocal8Bit(sbatch.readAllStandardError()).trimmed();
        m_error = QStringLiteral("sbatch did not submit the designs: ") + (said.isEmpty() ? sbatch.errorString() : said);
        return false;
    }

    // Done once every task has left its status, or the cluster holds none
    // of the array's tasks any more (those that failed leave none). The
    // status files are looked at a few times a second; the cluster is asked
    // every few seconds.
    auto allReported = [&] {
        return std::all_of(tasks.begin(), tasks.end(),
                           [](const DesignTask& task) { return QFile::exists(statusPath(task.folder)); });
    };
    auto arrayGone = [&] {
        QProcess squeue;
        squeue.start(QStringLiteral("squeue"), {QStringLiteral("-h"), QStringLiteral("-j"), jobId, QStringLiteral("-o"), QStringLiteral("%i")});
        squeue.waitForFinished(60000);
        if (squeue.exitStatus() == QProcess::NormalExit && squeue.exitCode() == 0)
            return squeue.readAllStandardOutput().trimmed().isEmpty();
        // A job long over is forgotten by the controller.
        return squeue.readAllStandardError().contains("Invalid job id");
    };
    QEventLoop loop;
    QTimer tick;
    int ticks = 0;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        ++ticks;
        if (InterruptGuard::signal() != 0 || allReported() || (ticks % SqueueTicks == 0 && arrayGone()))
            loop.quit();
    });
    tick.start(TickMs);
    loop.exec();
    if (InterruptGuard::signal() != 0) {
        QProcess::execute(QStringLiteral("scancel"), {jobId});
        m_error = QStringLiteral("interrupted");
        return false;
    }
    bool allEvaluated = true;
    for (size_t i = 0; i < tasks.size(); ++i) {
        outcomes[i] = readStatus(tasks[i].folder);
        if (!QFile::exists(statusPath(tasks[i].folder)))
            outcomes[i].why = QStringLiteral("its task of job %1 failed, was cancelled or ran out of time").arg(jobId);
        // Slurm's own log of a task says why it ended: kept for a failed design.
        if (outcomes[i].evaluated)
            QFile::remove(logStem + QStringLiteral("%1.out").arg(i + 1));
        allEvaluated = allEvaluated && outcomes[i].evaluated;
    }
    if (allEvaluated)
        QFile::remove(scriptPath);
    return true;
}

} // namespace Folvane
