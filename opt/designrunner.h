#ifndef FOLVANE_DESIGNRUNNER_H
#define FOLVANE_DESIGNRUNNER_H

#include <QString>
#include <QStringList>
#include <vector>

namespace Folvane {

// One design to evaluate: a folder of its own that holds its model file
// (design.fvm) and gets the solver's files, and the solver's job name.
struct DesignTask
{
    QString folder;
    QString job;
};

// What the evaluation of a design gave. A design that was not evaluated
// (its solver failed, it ran past its time, it lies outside a bound) has
// the reason in why.
struct DesignOutcome
{
    bool evaluated = false;
    double fitness = 0.0;
    std::vector<double> results;
    QString why;
};

// Evaluates designs by running the program's worker mode on each
// (`folvane -evaluate design.fvm job threads` in the design's folder),
// which leaves the outcome in the folder's status file.
class DesignRunner
{
public:
    DesignRunner(const QString& program, int threads, int timeLimit);
    virtual ~DesignRunner();
    DesignRunner(const DesignRunner&) = delete;
    DesignRunner& operator=(const DesignRunner&) = delete;

    // Evaluates every task; the outcomes in the tasks' order. False when the
    // run must stop: interrupted (by a signal), or the designs cannot be
    // run at all (error() says why); the outcomes are then incomplete.
    virtual bool run(const std::vector<DesignTask>& tasks, std::vector<DesignOutcome>& outcomes) = 0;
    QString error() const { return m_error; }

    // The status file a worker leaves, and how it is read: a design whose
    // file is missing or damaged was not evaluated.
    static QString statusPath(const QString& folder);
    static bool writeStatus(const QString& folder, const DesignOutcome& outcome);
    static DesignOutcome readStatus(const QString& folder);

protected:
    QStringList workerArguments(const DesignTask& task) const;

    QString m_program;
    int m_threads = 1;
    int m_timeLimit = 0;
    QString m_error;
};

} // namespace Folvane

#endif
