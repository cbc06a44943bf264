#ifndef FOLVANE_SLURMRUNNER_H
#define FOLVANE_SLURMRUNNER_H

#include "opt/designrunner.h"

namespace Folvane {

// Evaluates designs on a Slurm cluster: one job array per call, a task per
// design, submitted with sbatch. Each task leaves its status file in its
// design's folder, so the folders must lie on a file system that the nodes
// share with this machine. The array is over when every status is there,
// or when squeue (asked every few seconds) holds none of its tasks: a task
// that fails, is cancelled or runs out of time leaves no status, and its
// design is not evaluated. An interrupt cancels the array.
class SlurmRunner : public DesignRunner
{
public:
    SlurmRunner(const QString& program, int threads, int timeLimit, const QString& partition, const QString& options);
    bool run(const std::vector<DesignTask>& tasks, std::vector<DesignOutcome>& outcomes) override;

    // The batch script of the array (exposed for its tests) and the
    // arguments sbatch gets for it.
    QString script(const std::vector<DesignTask>& tasks) const;
    // Slurm's log of task i is logStem + i + ".out".
    QStringList sbatchArguments(const QString& scriptPath, const QString& logStem, int taskCount) const;

private:
    static constexpr int TickMs = 250;
    static constexpr int SqueueTicks = 12;

    QString m_partition;
    QString m_options;
    QString m_jobName;
};

} // namespace Folvane

#endif
