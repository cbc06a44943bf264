#ifndef FOLVANE_KSINGLELAYER_H
#define FOLVANE_KSINGLELAYER_H

#include "core/kdetailtablemodel.h"
#include "core/kobject.h"
#include "core/kobjectlist.h"
#include "core/linker.h"

#include <Eigen/Dense>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <vector>

namespace Folvane {

class KPattern;
class KPatternList;

// A span control point: a location and the number of pattern repetitions there.
class KLocNum : public KObject
{
    Q_OBJECT
    Q_PROPERTY(Folvane::Linker* Loc READ loc WRITE setLoc NOTIFY LocChanged)
    Q_PROPERTY(Folvane::Linker* Num READ num WRITE setNum NOTIFY NumChanged)

public:
    explicit KLocNum(QObject* parent = nullptr);
    KLocNum(double loc, double num, QObject* parent);
    KLocNum(const QJsonObject& json, QObject* parent);
    KLocNum(QDataStream& in, QObject* parent);

    Linker* loc() const { return m_loc; }
    void setLoc(Linker* v) { replaceLinker(m_loc, v, this); }
    Linker* num() const { return m_num; }
    void setNum(Linker* v) { replaceLinker(m_num, v, this); }

    void writeBinary(QDataStream& out) const override;
    void writeJson(QJsonObject& json) const override;

signals:
    void LocChanged();
    void NumChanged();

private:
    Linker* m_loc = nullptr;
    Linker* m_num = nullptr;
};

// One pattern stacked a span-dependent number of times.
class KSingleLayer : public KObject
{
    Q_OBJECT
    Q_PROPERTY(int PatternInd READ patternInd WRITE setPatternInd NOTIFY PatternIndChanged)

public:
    KSingleLayer(KPatternList* patterns, QObject* parent);
    KSingleLayer(const QJsonObject& json, KPatternList* patterns, QObject* parent);
    KSingleLayer(QDataStream& in, KPatternList* patterns, QObject* parent);

    // As messages name it.
    QString user() const;
    // The layer's pattern; a deleted one falls back to the first pattern.
    KPattern* pattern() const;
    int patternInd() const;
    void setPatternInd(int ind);

    void InsertLocNum(int ind);
    KLocNum* ReadLocNumByInd(int ind) const;
    void RemoveLocNum(int ind);
    int locNumCount() const { return m_points.size(); }
    void sortLocNums();
    QList<KLocNum*> sortedLocNums() const;

    // The repetition number at every station location, cut toward zero; 0
    // where it does not evaluate.
    std::vector<int> repetitionNumbers(const Eigen::VectorXd& stations);
    void computeRepetitionNumbers(const Eigen::VectorXd& stations) { m_numbers = repetitionNumbers(stations); }
    const std::vector<int>& numbers() const { return m_numbers; }

    void writeBinary(QDataStream& out) const override;
    void clearChildren() override;
    void writeJson(QJsonObject& json) const override;

signals:
    void PatternIndChanged();

private:
    KPatternList* m_patterns;
    QPointer<KPattern> m_pattern;
    QList<KLocNum*> m_points;
    std::vector<int> m_numbers;
};

class KSingleLayerTableModel;

class KSingleLayerList : public KObjectList
{
    Q_OBJECT

public:
    KSingleLayerList(KPatternList* patterns, QObject* parent = nullptr);

    KSingleLayer* layer(int i) const;
    KPatternList* patternList() const { return m_patterns; }

    // The stations x layers matrix of repetition numbers.
    void computeRepetitionMatrix(const Eigen::VectorXd& stations);
    const Eigen::MatrixXi& repetitionMatrix() const { return m_repetitions; }

    Q_INVOKABLE bool changeObject(int ind) override;
    void InsertNewSon(int ind) override;
    void readBinary(QDataStream& in) override;
    void appendSonFromJson(const QJsonObject& json) override;
    // The layers' patterns.
    void addUses(QList<SonUse>& uses) const override;

    // Control points of the used single layers that do not evaluate, one
    // text per single layer.
    QStringList problems(const QSet<const KSingleLayer*>& used) const;

private:
    KPatternList* m_patterns;
    KSingleLayerTableModel* m_table;
    Eigen::MatrixXi m_repetitions;
};

// The control points of the current single layer.
class KSingleLayerTableModel : public KDetailTable<KSingleLayer>
{
    Q_OBJECT

public:
    explicit KSingleLayerTableModel(KSingleLayerList* list);
};

} // namespace Folvane

#endif
