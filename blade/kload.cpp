#include "blade/kload.h"

#include "core/binaryio.h"
#include "core/jsonvalues.h"
#include "core/ownedlist.h"
#include "fem/model.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Folvane {

KSingleLoad::KSingleLoad(QObject* parent)
    : KSingleLoad(0.0, 0.0, 0.0, 0.0, parent)
{
}

KSingleLoad::KSingleLoad(double loc, double x, double y, double z, QObject* parent)
    : KObject(parent)
    , m_loc(loc)
    , m_x(x)
    , m_y(y)
    , m_z(z)
{
    setName(QStringLiteral("Single Load"));
}

KSingleLoad::KSingleLoad(const QJsonObject& json, QObject* parent)
    : KSingleLoad(jsonNumber(json, "Load Location"), jsonNumber(json, "Load X"), jsonNumber(json, "Load Y"),
                  jsonNumber(json, "Load Z"), parent)
{
}

KSingleLoad::KSingleLoad(QDataStream& in, QObject* parent)
    : KObject(in, parent)
{
    m_loc = Binary::readReal(in);
    m_x = Binary::readReal(in);
    m_y = Binary::readReal(in);
    m_z = Binary::readReal(in);
}

void KSingleLoad::writeBinary(QDataStream& out) const
{
    KObject::writeBinary(out);
    for (double v : {m_loc, m_x, m_y, m_z})
        Binary::writeReal(out, v);
}

void KSingleLoad::writeJson(QJsonObject& json) const
{
    json["Load Location"] = m_loc;
    json["Load X"] = m_x;
    json["Load Y"] = m_y;
    json["Load Z"] = m_z;
}

KLoad::KLoad(QObject* parent)
    : KObject(parent)
{
    setName(QStringLiteral("Load"));
    m_loads.append(new KSingleLoad(this));
}

KLoad::KLoad(const QJsonObject& json, QObject* parent)
    : KObject(json, parent)
{
    setName(jsonText(json, NameKey));
    for (const QJsonValue& l : jsonArray(json, "Loads"))
        m_loads.append(new KSingleLoad(l.toObject(), this));
}

KLoad::KLoad(QDataStream& in, QObject* parent)
    : KObject(in, parent)
{
    const qint32 n = Binary::readCount(in, KSingleLoad::RecordBytes);
    for (qint32 i = 0; i < n && in.status() == QDataStream::Ok; ++i)
        m_loads.append(new KSingleLoad(in, this));
    sortLoads();
}

void KLoad::InsertSingleLoad(int ind)
{
    insertOwned(m_loads, ind, [this] { return new KSingleLoad(this); },
                QStringLiteral("KLoad - InsertSingleLoad: index not correct!"));
}

KSingleLoad* KLoad::ReadSingleLoadByInd(int ind) const
{
    return readOwned(m_loads, ind, QStringLiteral("KLoad - ReadSingleLoadByInd: index not correct!"));
}

void KLoad::RemoveSingleLoad(int ind)
{
    removeOwned(m_loads, ind, QStringLiteral("KLoad - RemoveSingleLoad: index not correct!"));
}

QList<KSingleLoad*> KLoad::sortedLoads() const
{
    auto key = [](const KSingleLoad* l) {
        return std::isnan(l->loc()) ? std::numeric_limits<double>::infinity() : l->loc();
    };
    QList<KSingleLoad*> sorted = m_loads;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const KSingleLoad* a, const KSingleLoad* b) { return key(a) < key(b); });
    return sorted;
}

void KLoad::sortLoads()
{
    m_loads = sortedLoads();
}

// The index of the station nearest to v; the lower index wins a tie.
static int nearestStation(const Eigen::VectorXd& stations, double v)
{
    int best = 0;
    for (int s = 1; s < stations.size(); ++s) {
        if (std::abs(stations[s] - v) < std::abs(stations[best] - v))
            best = s;
    }
    return best;
}

Eigen::MatrixXd KLoad::distribute(const Eigen::VectorXd& stations)
{
    // In location order, leaving the table's order to the user: a build
    // must not change the document.
    const QList<KSingleLoad*> loads = sortedLoads();
    const int n = int(stations.size());
    const int m = loads.size();
    m_distribution = Eigen::MatrixXd::Zero(n, 3);
    if (m == 0 || n == 0)
        return m_distribution;
    std::vector<int> bounds(m + 1);
    bounds[0] = 0;
    bounds[m] = n;
    for (int k = 1; k < m; ++k)
        bounds[k] = nearestStation(stations, (loads[k - 1]->loc() + loads[k]->loc()) / 2.0);
    for (int k = 0; k < m; ++k) {
        const int c = bounds[k + 1] - bounds[k];
        for (int s = bounds[k]; s < bounds[k + 1]; ++s)
            m_distribution.row(s) << loads[k]->x() / c, loads[k]->y() / c, loads[k]->z() / c;
    }
    return m_distribution;
}

void KLoad::clearChildren()
{
    deleteOwned(m_loads);
}

void KLoad::writeBinary(QDataStream& out) const
{
    KObject::writeBinary(out);
    Binary::writeInt(out, m_loads.size());
    for (const KSingleLoad* l : m_loads)
        l->writeBinary(out);
}

void KLoad::writeJson(QJsonObject& json) const
{
    json[NameKey] = name();
    QJsonArray loads;
    for (const KSingleLoad* l : m_loads) {
        QJsonObject object;
        l->writeJson(object);
        loads.append(object);
    }
    json["Loads"] = loads;
}

KLoadList::KLoadList(QObject* parent)
    : KObjectList(QStringLiteral("Load"), parent)
    , m_table(new KLoadTableModel(this))
{
    setSonKind(QStringLiteral("load case"));
    setTableModel(m_table);
    const struct { const char* name; std::vector<std::pair<double, double>> points; } defaults[] = {
        {"Load-1", {{0, 0}, {500, 0}, {1000, -1855}, {2000, -2000}, {5000, -2540}, {11000, -1760}, {13150, -548}}},
        {"Load-2", {{0, 0}, {6000, -5000}, {13150, 0}, {0, 0}}},
    };
    beginResetModel();
    for (const auto& d : defaults) {
        auto* load = new KLoad(this);
        load->setName(QLatin1String(d.name));
        load->RemoveSingleLoad(0);
        for (const auto& p : d.points) {
            load->InsertSingleLoad(load->singleLoadCount());
            KSingleLoad* single = load->ReadSingleLoadByInd(load->singleLoadCount() - 1);
            single->setLoc(p.first);
            single->setY(p.second);
        }
        m_sons.append(load);
    }
    endResetModel();
    changeObject(0);
}

KLoad* KLoadList::load(int i) const
{
    return son<KLoad>(i);
}

std::vector<NodeLoad*> KLoadList::genNodeLoads(const Eigen::VectorXd& stations, Model& model)
{
    const Eigen::Index n = stations.size();
    const int cases = count();
    Eigen::MatrixXd x(n, cases), y(n, cases), z(n, cases);
    for (int i = 0; i < cases; ++i) {
        const Eigen::MatrixXd d = load(i)->distribute(stations);
        x.col(i) = d.col(0);
        y.col(i) = d.col(1);
        z.col(i) = d.col(2);
    }
    auto stationRow = [cases](const Eigen::MatrixXd& m, Eigen::Index s) {
        std::vector<double> v(static_cast<size_t>(cases));
        for (int i = 0; i < cases; ++i)
            v[size_t(i)] = m(s, i);
        return v;
    };
    std::vector<NodeLoad*> loads;
    loads.reserve(size_t(n));
    for (Eigen::Index s = 0; s < n; ++s) {
        auto* load = new NodeLoad(QStringLiteral("Load-%1").arg(s + 1), int(s), stationRow(x, s), stationRow(y, s),
                                  stationRow(z, s), &model);
        model.loads().add(load);
        loads.push_back(load);
    }
    return loads;
}

bool KLoadList::changeObject(int ind)
{
    if (ind < 0 || ind >= count()) {
        debugLine(QStringLiteral("KLoadList - changeObject: index out of range!"));
        return false;
    }
    m_table->setCurrent(load(ind));
    return true;
}

void KLoadList::InsertNewSon(int ind)
{
    insertSon(ind, [this] { return new KLoad(this); });
}

void KLoadList::readBinary(QDataStream& in)
{
    beginResetModel();
    clearSons();
    readSons(in, Binary::StringBytes + 4, [&] { return new KLoad(in, this); });
    changeObject(0);
    endResetModel();
}

void KLoadList::appendSonFromJson(const QJsonObject& json)
{
    m_sons.append(new KLoad(json, this));
}

KLoadTableModel::KLoadTableModel(QObject* parent)
    : KDetailTable(parent, {&KLoad::singleLoadCount, &KLoad::InsertSingleLoad, &KLoad::RemoveSingleLoad,
                            &KLoad::sortLoads})
{
    using L = KSingleLoad*;
    setColumns({[this](const QModelIndex& index) { return current()->ReadSingleLoadByInd(index.row()); },
                {{"loc", [](L l) { return l->loc(); }, [](L l, const QVariant& v) { l->setLoc(v.toDouble()); }},
                 {"x", [](L l) { return l->x(); }, [](L l, const QVariant& v) { l->setX(v.toDouble()); }},
                 {"y", [](L l) { return l->y(); }, [](L l, const QVariant& v) { l->setY(v.toDouble()); }},
                 {"z", [](L l) { return l->z(); }, [](L l, const QVariant& v) { l->setZ(v.toDouble()); }}}});
}

} // namespace Folvane
