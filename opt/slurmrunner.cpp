#include "opt/slurmrunner.h"

#include "opt/interrupt.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QTimer>

namespace Folvane {

SlurmRunner::SlurmRunner(const QString& program, int threads, int timeLimit, const QString& partition,
                         const QString& options)
    : DesignRunner(program, threads, timeLimit)
    , m_partition(partition)
    , m_options(options)
    // sbatch may hold the job's number until it ends: the name alone must
    // find the array to cancel.
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

QStringList SlurmRunner::sbatchArguments(const QString& scriptPath, const QString& logFolder, int taskCount) const
{
    QStringList arguments{QStringLiteral("--wait"), QStringLiteral("--parsable"),
                          QStringLiteral("--array=1-%1").arg(taskCount), QStringLiteral("--job-name=") + m_jobName,
                          QStringLiteral("--output=") + logFolder + QStringLiteral("/slurm-%a.out"),
                          QStringLiteral("--cpus-per-task=%1").arg(m_threads)};
    if (!m_partition.isEmpty())
        arguments << QStringLiteral("--partition=") + m_partition;
    // Slurm counts whole minutes.
    if (m_timeLimit > 0)
        arguments << QStringLiteral("--time=%1").arg((m_timeLimit + 59) / 60);
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
    const QString scriptPath = batchFolder + QStringLiteral("/array-%1.sh").arg(QFileInfo(tasks.front().folder).fileName());
    QSaveFile file(scriptPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(script(tasks).toUtf8()) < 0 || !file.commit()) {
        m_error = QStringLiteral("the batch script %1 cannot be written").arg(scriptPath);
        return false;
    }
    QFile::setPermissions(scriptPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcess sbatch;
    sbatch.start(QStringLiteral("sbatch"), sbatchArguments(scriptPath, batchFolder, int(tasks.size())));
    if (!sbatch.waitForStarted(-1)) {
        m_error = QStringLiteral("sbatch cannot start: ") + sbatch.errorString();
        return false;
    }
    // sbatch waits for the array itself: nothing here asks the cluster
    // again and again. The wait wakes only to look for an interrupt.
    QEventLoop loop;
    QObject::connect(&sbatch, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop, &QEventLoop::quit);
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (InterruptGuard::signal() != 0)
            loop.quit();
    });
    tick.start(200);
    if (sbatch.state() != QProcess::NotRunning)
        loop.exec();
    // With --parsable, the first line is the job's number (";cluster" may follow).
    QByteArray printed = sbatch.readAllStandardOutput();
    const QString jobId = QString::fromUtf8(printed).section(QLatin1Char('\n'), 0, 0).section(QLatin1Char(';'), 0, 0).trimmed();
    if (InterruptGuard::signal() != 0) {
        QProcess::execute(QStringLiteral("scancel"), {QStringLiteral("--name=") + m_jobName});
        sbatch.waitForFinished(30000);
        m_error = QStringLiteral("interrupted");
        return false;
    }
    if (jobId.isEmpty()) {
        m_error = QStringLiteral("sbatch did not submit the designs: ")
            + QString::fromLocal8Bit(sbatch.readAllStandardError()).trimmed();
        return false;
    }
    for (size_t i = 0; i < tasks.size(); ++i) {
        outcomes[i] = readStatus(tasks[i].folder);
        if (!QFile::exists(statusPath(tasks[i].folder)))
            outcomes[i].why = QStringLiteral("its task of job %1 failed, was cancelled or ran out of time").arg(jobId);
    }
    return true;
}

} // namespace Folvane
