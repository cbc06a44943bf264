#ifndef FOLVANE_KANALYSIS_H
#define FOLVANE_KANALYSIS_H

#include "core/kobject.h"

namespace Folvane {

// The per-user analysis settings: solver, its program, the work folder and
// the processor count, kept in a four-line text file in the home folder.
class KAnalysis : public KObject
{
    Q_OBJECT
    Q_PROPERTY(QString ProDir READ proDir WRITE setProDir NOTIFY ProDirChanged)
    Q_PROPERTY(QString WorkDir READ workDir WRITE setWorkDir NOTIFY WorkDirChanged)
    Q_PROPERTY(Solver Type READ type WRITE setType NOTIFY TypeChanged)
    Q_PROPERTY(int Cpus READ cpus WRITE setCpus NOTIFY CpusChanged)

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
    QString settingPath() const { return m_path; }

    void writeBinary(QDataStream& out) const override;

public slots:
    void saveSetting();

signals:
    void ProDirChanged();
    void WorkDirChanged();
    void TypeChanged();
    void CpusChanged();

private:
    bool loadSetting();
    QByteArray settingText() const;
    void setDefaults();

    QString m_proDir;
    QString m_workDir;
    Solver m_type = Ansys;
    int m_cpus = 2;
    QString m_path;
};

} // namespace Folvane

#endif
