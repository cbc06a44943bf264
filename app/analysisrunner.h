#ifndef FOLVANE_ANALYSISRUNNER_H
#define FOLVANE_ANALYSISRUNNER_H

#include <QObject>
#include <QString>
#include <memory>

class QThread;

namespace Folvane {

class AnalysisJob;
class KBlade;

// Runs the window's analyses in the background: the model is prepared on
// the main thread, the solver runs and its results are read on a thread of
// the runner's, and the model comes back to the document when it ends.
class AnalysisRunner : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Running READ running NOTIFY RunningChanged)
    // The stage and the solver's latest line.
    Q_PROPERTY(QString Progress READ progress NOTIFY ProgressChanged)

public:
    explicit AnalysisRunner(KBlade* blade, QObject* parent = nullptr);
    // Ends a run still going (its solver with it) and waits for its thread.
    ~AnalysisRunner() override;

    bool running() const { return m_thread != nullptr; }
    QString progress() const { return m_progress; }

    // kind: 0 static (of the load case), 1 buckling (under it), 2 modal.
    // False, with the reason among the messages, when nothing can run.
    Q_INVOKABLE bool start(int kind, int loadIndex, int modes);
    Q_INVOKABLE void cancel();

signals:
    void RunningChanged();
    void ProgressChanged();
    // The run ended: whether its results are the document's now.
    void finished(bool succeeded, int kind, bool cancelled);

private:
    void setProgress(const QString& text);
    void ended();

    KBlade* m_blade;
    std::unique_ptr<AnalysisJob> m_job;
    QThread* m_thread = nullptr;
    QString m_progress;
};

} // namespace Folvane

#endif
