#ifndef FOLVANE_KANALYSIS_H
#define FOLVANE_KANALYSIS_H

#include "core/kobject.h"

namespace Folvane {

// The per-user analysis settings: solver, its program, the work folder and
// the solver's threads per run, kept in the first four lines of a text file
// in the home folder; then how an optimisation evaluates its designs:
// workers at once, a time limit per design, and the Slurm cluster to submit
// them to. The model file keeps the first four lines only: a blade file
// someone sends cannot change how this machine runs it.
class KAnalysis : public KObject
{
    Q_OBJECT
    Q_PROPERTY(QString ProDir READ proDir WRITE setProDir NOTIFY ProDirChanged)
    Q_PROPERTY(QString WorkDir READ workDir WRITE setWorkDir NOTIFY WorkDirChanged)
    Q_PROPERTY(Solver Type READ type WRITE setType NOTIFY TypeChanged)
    Q_PROPERTY(int Cpus READ cpus WRITE setCpus NOTIFY CpusChanged)
    Q_PROPERTY(int Workers READ workers WRITE setWorkers NOTIFY EvaluationChanged)
    Q_PROPERTY(int TimeLimit READ timeLimit WRITE setTimeLimit NOTIFY EvaluationChanged)
    Q_PROPERTY(bool Slurm READ slurm WRITE setSlurm NOTIFY EvaluationChanged)
    Q_PROPERTY(QString Partition READ partition WRITE setPartition NOTIFY EvaluationChanged)
    Q_PROPERTY(QString SbatchOptions READ sbatchOptions WRITE setSbatchOptions NOTIFY EvaluationChanged)

public:
    enum Solver : int { Ansys = 0, Abaqus = 1, Calculix = 2 };
    Q_ENUM(Solver)

    explicit KAnalysis(QObject* parent = nullptr);

    QString proDir() const { return m_proDir; }
    void setProDir(const QString& dir);
    QString workDir() const { return m_workDir; }
    void setWorkDir(const QString& dir);
    Solver type() const { return m_type; }
    void setType(Solver type) { m_type = type; }
    int cpus() const { return m_cpus; }
    void setCpus(int cpus) { m_cpus = cpus; }
    // Designs evaluated at once; 0: the machine's cores divided by the
    // solver's threads, at least 1.
    int workers() const { return m_workers; }
    void setWorkers(int workers);
    int effectiveWorkers() const;
    // Seconds one design may take; 0: no limit.
    int timeLimit() const { return m_timeLimit; }
    void setTimeLimit(int seconds);
    // Whether designs go to a Slurm cluster as job arrays, the partition
    // (empty: the cluster's default) and further options for sbatch.
    bool slurm() const { return m_slurm; }
    void setSlurm(bool slurm);
    QString partition() const { return m_partition; }
    void setPartition(const QString& partition);
    QString sbatchOptions() const { return m_sbatchOptions; }
    void setSbatchOptions(const QString& options);
    QString settingPath() const { return m_path; }

    void writeBinary(QDataStream& out) const override;

public slots:
    void saveSetting();

signals:
    void ProDirChanged();
    void WorkDirChanged();
    void TypeChanged();
    void CpusChanged();
    void EvaluationChanged();

private:
    bool loadSetting();
    QByteArray settingText() const;
    QByteArray evaluationText() const;
    void setDefaults();
    bool readEvaluation(const QStringList& lines);

    QString m_proDir;
    QString m_workDir;
    Solver m_type = Ansys;
    int m_cpus = 2;
    int m_workers = 0;
    int m_timeLimit = 0;
    bool m_slurm = false;
    QString m_partition;
    QString m_sbatchOptions;
    QString m_path;
};

} // namespace Folvane

#endif
