#include "blade/kload.h"

#include "core/binaryio.h"
#include "core/jsonvalues.h"
#include "core/messages.h"
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

// The index of the station nearest to v; the lower index wins a tie. A
// location that does not evaluate counts as beyond the tip, where it sorts.
static int nearestStation(const Eigen::VectorXd& stations, double v)
{
    const double first = stations[0], last = stations[stations.size() - 1];
    const double at = std::isnan(v) ? last : std::min(std::max(v, first), last);
    int best = 0;
    for (int s = 1; s < stations.size(); ++s) {
        if (std::abs(stations[s] - at) < std::abs(stations[best] - at))
            best = s;
    }
    return best;
}

// Load k of loads (in location order) spreads over the stations from
// bounds[k] up to bounds[k + 1]: the boundary between two loads is the
// station nearest to the middle between them.
static std::vector<int> rangeBounds(const QList<KSingleLoad*>& loads, const Eigen::VectorXd& stations)
{
    const int m = loads.size();
    std::vector<int> bounds(size_t(m) + 1);
    bounds[0] = 0;
    bounds[size_t(m)] = int(stations.size());
    for (int k = 1; k < m; ++k)
        bounds[size_t(k)] = nearestStation(stations, (loads[k - 1]->loc() + loads[k]->loc()) / 2.0);
    return bounds;
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
    const std::vector<int> bounds = rangeBounds(loads, stations);
    // Loads nearer to each other than the stations leave some without a
    // station: such a load joins the range that holds its nearest station,
    // so that every load case keeps its whole force.
    auto holder = [&](int station) {
        return int(std::upper_bound(bounds.begin(), bounds.end(), station) - bounds.begin()) - 1;
    };
    Eigen::MatrixXd forces = Eigen::MatrixXd::Zero(m, 3);
    for (int k = 0; k < m; ++k) {
        const KSingleLoad* load = loads[k];
        const Eigen::RowVector3d force(load->x(), load->y(), load->z());
        const int host = bounds[size_t(k)] < bounds[size_t(k) + 1] ? k : holder(nearestStation(stations, load->loc()));
        forces.row(host) += force;
        if (host != k && !force.isZero(0.0))
            outLine(QStringLiteral("Load case %1: the point load at %2 mm has no station of its own and shares those of "
                                   "the point load at %3 mm")
                        .arg(name(), formatNumber(load->loc()), formatNumber(loads[host]->loc())));
    }
    for (int k = 0; k < m; ++k) {
        const int c = bounds[size_t(k) + 1] - bounds[size_t(k)];
        for (int s = bounds[size_t(k)]; s < bounds[size_t(k) + 1]; ++s)
            m_distribution.row(s) = forces.row(k) / c;
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
