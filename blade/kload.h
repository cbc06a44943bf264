#ifndef FOLVANE_KLOAD_H
#define FOLVANE_KLOAD_H

#include "core/kdetailtablemodel.h"
#include "core/kobject.h"
#include "core/kobjectlist.h"

#include <Eigen/Dense>

namespace Folvane {

class Model;
class NodeLoad;

// A point load at a span location.
class KSingleLoad : public KObject
{
    Q_OBJECT

public:
    explicit KSingleLoad(QObject* parent = nullptr);
    KSingleLoad(double loc, double x, double y, double z, QObject* parent);
    KSingleLoad(const QJsonObject& json, QObject* parent);
    KSingleLoad(QDataStream& in, QObject* parent);

    double loc() const { return m_loc; }
    double x() const { return m_x; }
    double y() const { return m_y; }
    double z() const { return m_z; }
    void setLoc(double v) { m_loc = v; }
    void setX(double v) { m_x = v; }
    void setY(double v) { m_y = v; }
    void setZ(double v) { m_z = v; }

    void writeBinary(QDataStream& out) const override;
    void writeJson(QJsonObject& json) const override;

    static constexpr qint64 RecordBytes = 8 + 4 * 8;

private:
    double m_loc = 0.0;
    double m_x = 0.0;
    double m_y = 0.0;
    double m_z = 0.0;
};

// A load case: point loads along the span.
class KLoad : public KObject
{
    Q_OBJECT

public:
    explicit KLoad(QObject* parent = nullptr);
    KLoad(const QJsonObject& json, QObject* parent);
    KLoad(QDataStream& in, QObject* parent);

    void InsertSingleLoad(int ind);
    KSingleLoad* ReadSingleLoadByInd(int ind) const;
    void RemoveSingleLoad(int ind);
    int singleLoadCount() const { return m_loads.size(); }
    void sortLoads();
    QList<KSingleLoad*> sortedLoads() const;

    // Every point load shared out evenly among the stations nearer to it than
    // to its neighbours: an n x 3 matrix (x, y, z) for n station locations.
    // A load left without a station joins the range of its nearest station,
    // with a message, so that the stations' forces add up to the loads'.
    Eigen::MatrixXd distribute(const Eigen::VectorXd& stations);
    const Eigen::MatrixXd& distribution() const { return m_distribution; }

    void writeBinary(QDataStream& out) const override;
    void clearChildren() override;
    void writeJson(QJsonObject& json) const override;

private:
    QList<KSingleLoad*> m_loads;
    Eigen::MatrixXd m_distribution;
};

class KLoadTableModel;

class KLoadList : public KObjectList
{
    Q_OBJECT

public:
    explicit KLoadList(QObject* parent = nullptr);

    KLoad* load(int i) const;

    Q_INVOKABLE bool changeObject(int ind) override;
    void InsertNewSon(int ind) override;
    void readBinary(QDataStream& in) override;
    void appendSonFromJson(const QJsonObject& json) override;

    // One nodal load record per station ("Load-1" ...), holding every load
    // case's distributed forces there, added to the model.
    std::vector<NodeLoad*> genNodeLoads(const Eigen::VectorXd& stations, Model& model);

private:
    KLoadTableModel* m_table;
};

// The point loads of the current load case.
class KLoadTableModel : public KDetailTable<KLoad>
{
    Q_OBJECT

public:
    explicit KLoadTableModel(QObject* parent);
};

} // namespace Folvane

#endif
