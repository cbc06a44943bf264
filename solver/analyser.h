#ifndef FOLVANE_ANALYSER_H
#define FOLVANE_ANALYSER_H

#include <QLockFile>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>

namespace Folvane {

class Cmd;
class Model;

// Drives one external solver for one FE model: per load case it writes the
// deck into the work folder, runs the solver there and reads its results
// back into the model's nodes and elements.
class Analyser
{
public:
    // Sizes the model's static results for its load cases, unless told to
    // keep them (an eigenvalue run leaves them as they are).
    Analyser(Model* model, const QString& workDir, const QString& program, bool clearResults = true);
    virtual ~Analyser();
    Analyser(const Analyser&) = delete;
    Analyser& operator=(const Analyser&) = delete;

    bool RunLoadCase(int loadCase);
    // The job the solver runs: the model's name.
    virtual QString jobName() const;
    bool RunAll();
    virtual void CleanFiles(const QString& job);
    virtual bool ReadResults(int loadCase, const QString& job);

    int loadCaseCount() const { return m_loadCases; }
    // Whether a run removes the solver's files after reading them; off, so
    // that the deck and the solver's output stay for inspection.
    void setCleanAfterRun(bool clean) { m_clean = clean; }
    // Looked at while the solver runs: once it holds, the solver is ended
    // and the run fails as cancelled, quietly (whoever cancelled says so).
    void setCancelFlag(const std::atomic_bool* cancel) { m_cancel = cancel; }
    // Gets every line the solver prints, on the thread that runs it.
    void setProgress(std::function<void(const QString&)> progress) { m_progress = std::move(progress); }
    // The threads the solver may use for one run (at least 1).
    void setThreads(int threads) { m_threads = std::max(threads, 1); }
    int threads() const { return m_threads; }

protected:
    // The solver's program and arguments for a job; it runs in the work folder.
    virtual QStringList BuildCommand(const QString& job) const = 0;
    // The result files a run must produce (old ones are removed first).
    virtual QStringList resultFiles(const QString& job) const = 0;
    // Whether a line the solver prints reports an error in the run.
    virtual bool isErrorLine(const QByteArray&) const { return false; }
    // The solver's environment: ours, plus what tells it its thread count.
    virtual void setThreadEnvironment(QProcessEnvironment&) const {}
    QString pathOf(const QString& job, const QString& suffix) const;
    // Held from writing a job's deck to reading its results: two runs of
    // one job name in one folder (blades of one name) take turns instead of
    // reading each other's results. A holder that died leaves no lock.
    std::unique_ptr<QLockFile> lockJob(const QString& job) const;

    Model* m_model;
    std::unique_ptr<Cmd> m_writer;
    QString m_workDir;
    QString m_program;
    int m_loadCases = 0;
    QStringList m_suffixes;

    // Runs the solver, its output passed on to ours; false, with the reason
    // in failure, when it cannot start, crashes, exits with an error code or
    // reports an error.
    bool runSolver(const QString& job, QString& failure) const;
    bool cancelled() const { return m_cancel && m_cancel->load(); }

private:
    bool m_clean = false;
    int m_threads = 1;
    const std::atomic_bool* m_cancel = nullptr;
    std::function<void(const QString&)> m_progress;
};

} // namespace Folvane

#endif
