#include "app/spanplotter.h"

#include "blade/kblade.h"
#include "core/kfile.h"
#include "core/messages.h"

#include <QCoreApplication>

namespace Folvane {

SpanPlotter::SpanPlotter(KBlade* blade, QObject* parent)
    : QObject(parent)
    , m_blade(blade)
    , m_program(QCoreApplication::applicationFilePath())
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    connect(&m_process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this, &SpanPlotter::drawn);
}

SpanPlotter::~SpanPlotter()
{
    m_process.disconnect(this);
    m_process.kill();
    m_process.waitForFinished(5000);
}

bool SpanPlotter::plotResults()
{
    const int loadCase = m_blade->resultLoadCase();
    if (busy() || loadCase < 0) {
        outLine(busy() ? QStringLiteral("Span plots - a plot is being drawn")
                       : QStringLiteral("Span plots - no results: run a static analysis first"));
        return false;
    }
    // Named as -analyse names its table, which the legend shows.
    const QString table = m_dir.filePath(KFile::tableFileName(m_blade->bladeName() + QStringLiteral("-%1").arg(loadCase + 1))
                                         + QStringLiteral(".out"));
    m_blade->exportResults(table, loadCase);
    // A new name each time: the window's picture must not come from a cache.
    m_target = m_dir.filePath(QStringLiteral("span-%1.png").arg(++m_count));
    m_process.start(m_program, {QStringLiteral("-plot"), m_target, table});
    emit BusyChanged();
    return true;
}

void SpanPlotter::drawn(int exitCode, QProcess::ExitStatus status)
{
    const QByteArray said = m_process.readAll().trimmed();
    if (status == QProcess::NormalExit && exitCode == 0) {
        m_image = QUrl::fromLocalFile(m_target);
        emit ImageChanged();
    } else {
        outLine(QStringLiteral("Span plots - the plot failed: ") + QString::fromLocal8Bit(said));
    }
    emit BusyChanged();
}

} // namespace Folvane
