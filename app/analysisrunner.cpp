#include "app/analysisrunner.h"

#include "blade/analysisjob.h"
#include "blade/kblade.h"
#include "core/messages.h"

#include <QPointer>
#include <QThread>

namespace Folvane {

AnalysisRunner::AnalysisRunner(KBlade* blade, QObject* parent)
    : QObject(parent)
    , m_blade(blade)
{
}

AnalysisRunner::~AnalysisRunner()
{
    if (!m_thread)
        return;
    m_job->cancel();
    m_thread->wait();
    delete m_thread;
    m_job->finish(*m_blade);
}

bool AnalysisRunner::start(int kind, int loadIndex, int modes)
{
    if (m_thread)
        return false;
    QString why;
    m_job = AnalysisJob::prepare(*m_blade, AnalysisJob::Kind(kind), loadIndex, modes, why);
    if (!m_job) {
        outLine(QStringLiteral("Analysis - start: ") + why);
        return false;
    }
    static const char* const names[] = {"static analysis", "buckling analysis", "modal analysis"};
    setProgress(QStringLiteral("Running the %1…").arg(QLatin1String(names[kind])));
    AnalysisJob* job = m_job.get();
    QPointer<AnalysisRunner> self(this);
    m_thread = QThread::create([job, self] {
        job->run([self](const QString& line) {
            // The runner lives on the main thread: the line goes there.
            QMetaObject::invokeMethod(self.data(), [self, line] {
                if (self)
                    self->setProgress(QStringLiteral("Solver: ") + line);
            }, Qt::QueuedConnection);
        });
    });
    connect(m_thread, &QThread::finished, this, &AnalysisRunner::ended);
    m_thread->start();
    emit RunningChanged();
    return true;
}

void AnalysisRunner::cancel()
{
    if (!m_thread)
        return;
    m_job->cancel();
    setProgress(QStringLiteral("Cancelling…"));
}

void AnalysisRunner::ended()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    const bool back = m_job->finish(*m_blade);
    const bool succeeded = back && m_job->succeeded();
    const bool cancelled = m_job->cancelled();
    const int kind = int(m_job->kind());
    m_job.reset();
    // Said once, as what the user did, not as a failure.
    if (cancelled)
        outLine(QStringLiteral("Cancelled"));
    setProgress(cancelled ? QStringLiteral("Cancelled") : succeeded ? QStringLiteral("Finished") : QStringLiteral("Failed"));
    emit RunningChanged();
    emit finished(succeeded, kind, cancelled);
}

void AnalysisRunner::setProgress(const QString& text)
{
    if (text == m_progress)
        return;
    m_progress = text;
    emit ProgressChanged();
}

} // namespace Folvane
