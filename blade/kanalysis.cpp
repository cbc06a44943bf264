#include "blade/kanalysis.h"

#include "core/messages.h"
#include "core/savefile.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QThread>
#include <algorithm>
#include <climits>

namespace Folvane {

KAnalysis::KAnalysis(QObject* parent)
    : KObject(parent)
    , m_path(QDir::homePath() + QStringLiteral("/FVanalysis.setting"))
{
    if (QFile::exists(m_path)) {
        if (loadSetting())
            outLine(m_path + QStringLiteral(" is loaded!"));
        return;
    }
    setDefaults();
    saveSetting();
}

void KAnalysis::setDefaults()
{
    m_workDir.clear();
    m_proDir.clear();
    m_type = Ansys;
    m_cpus = 2;
    m_workers = 0;
    m_timeLimit = 0;
    m_slurm = false;
    m_partition.clear();
    m_sbatchOptions.clear();
}

bool KAnalysis::loadSetting()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        setDefaults();
        outLine(m_path + QStringLiteral(" cannot be read, the default analysis settings are used"));
        return false;
    }
    // Four lines, then those of the evaluation; each is bounded so a
    // foreign file cannot make us read it all.
    constexpr qint64 maxLine = 64 * 1024;
    QStringList lines;
    for (int i = 0; i < 9 && !file.atEnd(); ++i)
        lines << QString::fromUtf8(file.readLine(maxLine)).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    bool solverOk = false;
    bool cpusOk = false;
    const int solver = lines.value(2).trimmed().toInt(&solverOk);
    const int cpus = lines.value(3).trimmed().toInt(&cpusOk);
    if (lines.size() < 4 || !solverOk || !cpusOk || solver < Ansys || solver > Calculix || cpus < 1) {
        setDefaults();
        outLine(m_path + QStringLiteral(" is not a valid analysis setting file, the default analysis settings are used"));
        return false;
    }
    m_type = Solver(solver);
    m_cpus = cpus;
    setWorkDir(lines[0]);
    setProDir(lines[1]);
    if (!readEvaluation(lines.mid(4))) {
        outLine(m_path + QStringLiteral(" holds evaluation settings that are not valid, their defaults are used"));
        return false;
    }
    return true;
}

// Workers, time limit, Slurm (0 or 1), partition, sbatch options: each line
// that is missing keeps its default.
bool KAnalysis::readEvaluation(const QStringList& lines)
{
    bool ok = true;
    auto number = [&](int i, int high) {
        if (i >= lines.size())
            return 0;
        bool valid = false;
        const int value = lines[i].trimmed().toInt(&valid);
        ok = ok && valid && value >= 0 && value <= high;
        return value;
    };
    const int workers = number(0, 4096);
    const int limit = number(1, INT_MAX);
    const int slurm = number(2, 1);
    if (!ok)
        return false;
    m_workers = workers;
    m_timeLimit = limit;
    m_slurm = slurm == 1;
    m_partition = lines.value(3).trimmed();
    m_sbatchOptions = lines.value(4).trimmed();
    return true;
}

void KAnalysis::setWorkers(int workers)
{
    m_workers = std::max(workers, 0);
    emit EvaluationChanged();
}

int KAnalysis::effectiveWorkers() const
{
    if (m_workers > 0)
        return m_workers;
    return std::max(1, QThread::idealThreadCount() / std::max(m_cpus, 1));
}

void KAnalysis::setTimeLimit(int seconds)
{
    m_timeLimit = std::max(seconds, 0);
    emit EvaluationChanged();
}

void KAnalysis::setSlurm(bool slurm)
{
    m_slurm = slurm;
    emit EvaluationChanged();
}

void KAnalysis::setPartition(const QString& partition)
{
    m_partition = partition.trimmed();
    emit EvaluationChanged();
}

void KAnalysis::setSbatchOptions(const QString& options)
{
    m_sbatchOptions = options.trimmed();
    emit EvaluationChanged();
}

void KAnalysis::setProDir(const QString& dir)
{
    m_proDir = dir;
    emit ProDirChanged();
}

void KAnalysis::setWorkDir(const QString& dir)
{
    m_workDir = dir;
    emit WorkDirChanged();
}

QByteArray KAnalysis::settingText() const
{
    return (m_workDir + QLatin1Char('\n') + m_proDir + QLatin1Char('\n') + QString::number(int(m_type))
            + QLatin1Char('\n') + QString::number(m_cpus) + QLatin1Char('\n')).toUtf8();
}

QByteArray KAnalysis::evaluationText() const
{
    if (m_workers == 0 && m_timeLimit == 0 && !m_slurm && m_partition.isEmpty() && m_sbatchOptions.isEmpty())
        return QByteArray(); // the four lines of earlier versions
    return (QString::number(m_workers) + QLatin1Char('\n') + QString::number(m_timeLimit) + QLatin1Char('\n')
            + QLatin1Char(m_slurm ? '1' : '0') + QLatin1Char('\n') + m_partition + QLatin1Char('\n') + m_sbatchOptions
            + QLatin1Char('\n'))
        .toUtf8();
}

void KAnalysis::writeBinary(QDataStream& out) const
{
    const QByteArray text = settingText();
    out.writeRawData(text.constData(), text.size());
}

void KAnalysis::saveSetting()
{
    QSaveFile file(m_path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        file.write(settingText() + evaluationText());
        if (commitWhole(file)) {
            outLine(m_path + QStringLiteral("Analysis setting file saved!"));
            return;
        }
    }
    outLine(m_path + QStringLiteral("Analysis setting file cannot be saved"));
}

} // namespace Folvane
