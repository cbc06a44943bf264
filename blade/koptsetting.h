#ifndef FOLVANE_KOPTSETTING_H
#define FOLVANE_KOPTSETTING_H

#include "core/kobjectlist.h"
#include "core/kobjecttablemodel.h"

#include <Eigen/Dense>
#include <QObject>

namespace Folvane {

class KLoadList;

// One optimisation objective: its bounds, target and weight.
class KObjective : public QObject
{
    Q_OBJECT
    Q_PROPERTY(double High READ high WRITE setHigh NOTIFY HighChanged)
    Q_PROPERTY(double Low READ low WRITE setLow NOTIFY LowChanged)
    Q_PROPERTY(double Target READ target WRITE setTarget NOTIFY TargetChanged)
    Q_PROPERTY(double Weight READ weight WRITE setWeight NOTIFY WeightChanged)
    Q_PROPERTY(bool IsOpt READ isOpt WRITE setIsOpt NOTIFY IsOptChanged)

public:
    explicit KObjective(QObject* parent = nullptr);
    KObjective(QDataStream& in, QObject* parent);

    QString name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    double high() const { return m_high; }
    void setHigh(double v) { m_high = v; }
    double low() const { return m_low; }
    void setLow(double v) { m_low = v; }
    double target() const { return m_target; }
    void setTarget(double v) { m_target = v; }
    // The weight counts only for an objective that is optimised.
    double weight() const { return m_isOpt ? m_weight : 0.0; }
    void setWeight(double v) { m_weight = v; }
    bool isOpt() const { return m_isOpt; }
    void setIsOpt(bool v) { m_isOpt = v; }

    virtual void writeBinary(QDataStream& out) const;

    static constexpr qint64 RecordBytes = 8 + 1 + 4 * 8;

signals:
    void HighChanged();
    void LowChanged();
    void TargetChanged();
    void WeightChanged();
    void IsOptChanged();

private:
    QString m_name = QStringLiteral("Single Objective");
    double m_high = 1.0;
    double m_low = 0.0;
    double m_target = 0.0;
    double m_weight = 1.0;
    bool m_isOpt = false;
};

// The genetic algorithm's parameters and the objectives.
class KOptSetting : public KObjectList
{
    Q_OBJECT
    Q_PROPERTY(int Population READ population WRITE setPopulation NOTIFY PopulationChanged)
    Q_PROPERTY(int CrossoverNum READ crossoverNum WRITE setCrossoverNum NOTIFY CrossoverNumChanged)
    Q_PROPERTY(int StartNum READ startNum WRITE setStartNum NOTIFY StartNumChanged)
    Q_PROPERTY(int IterNum READ iterNum WRITE setIterNum NOTIFY IterNumChanged)
    Q_PROPERTY(double SelPortion READ selPortion WRITE setSelPortion NOTIFY SelPortionChanged)
    Q_PROPERTY(double MutateRate READ mutateRate WRITE setMutateRate NOTIFY MutateRateChanged)
    Q_PROPERTY(QString OptDir READ optDir WRITE setOptDir NOTIFY OptDirChanged)
    Q_PROPERTY(int ModalModes READ modalModes WRITE setModalModes NOTIFY ChecksChanged)
    Q_PROPERTY(int BucklingModes READ bucklingModes WRITE setBucklingModes NOTIFY ChecksChanged)
    Q_PROPERTY(int BucklingLoadCase READ bucklingLoadCase WRITE setBucklingLoadCase NOTIFY ChecksChanged)

public:
    // The buckled load case is one of the loads'.
    explicit KOptSetting(KLoadList* loads, QObject* parent = nullptr);

    int population() const { return m_population; }
    void setPopulation(int v) { m_population = v; }
    int crossoverNum() const { return m_crossoverNum; }
    void setCrossoverNum(int v) { m_crossoverNum = v; }
    int startNum() const { return m_startNum; }
    void setStartNum(int v) { m_startNum = v; }
    int iterNum() const { return m_iterNum; }
    void setIterNum(int v) { m_iterNum = v; }
    double selPortion() const { return m_selPortion; }
    void setSelPortion(double v) { m_selPortion = v; }
    double mutateRate() const { return m_mutateRate; }
    void setMutateRate(double v) { m_mutateRate = v; }
    QString optDir() const { return m_optDir; }
    void setOptDir(const QString& v) { m_optDir = v; }

    int objectiveCount() const { return m_objectives.size(); }
    // The objectives, then the design checks (see below).
    KObjective* ReadObjective(int ind) const;

    // Design checks beside the objectives, each needing an analysis of its
    // own when it is optimised: the lowest buckling factor, the first
    // flapwise and edgewise frequencies, the largest failure index.
    enum Check { BucklingFactor = 0, FlapFrequency, EdgeFrequency, FailureIndex };
    static constexpr int CheckCount = 4;
    KObjective* check(int i) const { return m_checks[i]; }
    // Modes of the modal and buckling runs, and the load case buckled
    // (from 1; 0 buckles every load case and takes the lowest factor).
    int modalModes() const { return m_modalModes; }
    void setModalModes(int v) { m_modalModes = v; }
    int bucklingModes() const { return m_bucklingModes; }
    void setBucklingModes(int v) { m_bucklingModes = v; }
    int bucklingLoadCase() const { return m_bucklingLoadCase; }
    void setBucklingLoadCase(int v) { m_bucklingLoadCase = v; }
    // Whether the checks or the choices differ from a new document's; the
    // model file's additions block then carries them.
    bool checksChanged() const;
    void writeChecks(QDataStream& out) const;
    // False, with nothing changed, when the stream does not hold them.
    bool readChecks(QDataStream& in);
    // One entry per objective, in order; weights as read through Weight.
    void objectiveArrays(Eigen::VectorXd& targets, Eigen::VectorXd& lows, Eigen::VectorXd& highs,
                         Eigen::VectorXd& weights) const;

    void clearSons() override;
    void readBinary(QDataStream& in) override;
    void writeBinary(QDataStream& out) const override;
    // The buckled load case; its number follows the deletion of a load
    // case before it.
    void addUses(QList<SonUse>& uses) const override;

signals:
    void PopulationChanged();
    void CrossoverNumChanged();
    void StartNumChanged();
    void IterNumChanged();
    void SelPortionChanged();
    void MutateRateChanged();
    void OptDirChanged();
    void ChecksChanged();

private:
    static QList<KObjective*> defaultChecks(QObject* parent);
    void loadCaseRemoved(int ind);

    KLoadList* m_loads;
    int m_population = 4;
    int m_crossoverNum = 1;
    int m_startNum = 0;
    int m_iterNum = 4;
    double m_selPortion = 0.5;
    double m_mutateRate = 0.4;
    QString m_optDir;
    QList<KObjective*> m_objectives;
    QList<KObjective*> m_checks;
    int m_modalModes = 5;
    int m_bucklingModes = 5;
    int m_bucklingLoadCase = 0;
};

class KObjectiveTableModel : public KObjectTableModel
{
    Q_OBJECT

public:
    explicit KObjectiveTableModel(KOptSetting* setting);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;

private:
    KOptSetting* m_setting;
};

} // namespace Folvane

#endif
