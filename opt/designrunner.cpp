#include "opt/designrunner.h"

#include "core/kfile.h"
#include "core/savefile.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

namespace Folvane {

DesignRunner::DesignRunner(const QString& program, int threads, int timeLimit)
    : m_program(program)
    , m_threads(std::max(threads, 1))
    , m_timeLimit(std::max(timeLimit, 0))
{
}

DesignRunner::~DesignRunner() = default;

QStringList DesignRunner::workerArguments(const DesignTask& task) const
{
    return {QStringLiteral("-evaluate"), QStringLiteral("design.fvm"), task.job, QString::number(m_threads)};
}

QString DesignRunner::statusPath(const QString& folder)
{
    return folder + QStringLiteral("/status.txt");
}

// "evaluated" or "failed", the fitness, the results on one line, and the
// reason of a failure; numbers in 17 digits, so that they read back as
// the same doubles.
bool DesignRunner::writeStatus(const QString& folder, const DesignOutcome& outcome)
{
    QString text = QLatin1String(outcome.evaluated ? "evaluated\n" : "failed\n");
    text += QString::number(outcome.fitness, 'g', 17) + QLatin1Char('\n');
    QStringList values;
    for (double v : outcome.results)
        values << QString::number(v, 'g', 17);
    text += values.join(QLatin1Char(' ')) + QLatin1Char('\n');
    QString why = outcome.why;
    text += why.replace(QLatin1Char('\n'), QLatin1Char(' ')) + QLatin1Char('\n');
    QSaveFile file(statusPath(folder));
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0 && commitWhole(file);
}

DesignOutcome DesignRunner::readStatus(const QString& folder)
{
    DesignOutcome outcome;
    QFile file(statusPath(folder));
    QByteArray bytes;
    if (!file.open(QIODevice::ReadOnly) || !KFile::readAtMost(file, 1 << 20, bytes)) {
        outcome.why = QStringLiteral("the worker left no status");
        return outcome;
    }
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    bool ok = lines.size() >= 4 && (lines[0] == QLatin1String("evaluated") || lines[0] == QLatin1String("failed"));
    bool number = false;
    const double fitness = lines.value(1).toDouble(&number);
    ok = ok && number;
    std::vector<double> results;
    for (const QString& v : lines.value(2).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        results.push_back(v.toDouble(&number));
        ok = ok && number;
    }
    if (!ok || !std::isfinite(fitness)) {
        outcome.why = QStringLiteral("the worker's status is damaged");
        return outcome;
    }
    outcome.evaluated = lines[0] == QLatin1String("evaluated");
    outcome.fitness = fitness;
    outcome.results = std::move(results);
    outcome.why = lines[3];
    return outcome;
}

} // namespace Folvane
