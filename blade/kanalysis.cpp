#include "blade/kanalysis.h"

#include "core/messages.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSaveFile>

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
}

bool KAnalysis::loadSetting()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        setDefaults();
        outLine(m_path + QStringLiteral(" cannot be read, the default analysis settings are used"));
        return false;
    }
    // Four lines; each is bounded so a foreign file cannot make us read it all.
    constexpr qint64 maxLine = 64 * 1024;
    QStringList lines;
    for (int i = 0; i < 4 && !file.atEnd(); ++i)
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
    return true;
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

void KAnalysis::writeBinary(QDataStream& out) const
{
    const QByteArray text = settingText();
    out.writeRawData(text.constData(), text.size());
}

void KAnalysis::saveSetting()
{
    QSaveFile file(m_path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        file.write(settingText());
        if (file.commit()) {
            outLine(m_path + QStringLiteral("Analysis setting file saved!"));
            return;
        }
    }
    outLine(m_path + QStringLiteral("Analysis setting file cannot be saved"));
}

} // namespace Folvane
