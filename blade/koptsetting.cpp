#include "blade/koptsetting.h"

#include "blade/kload.h"
#include "core/binaryio.h"
#include "core/messages.h"

namespace Folvane {

KObjective::KObjective(QObject* parent)
    : QObject(parent)
{
}

KObjective::KObjective(QDataStream& in, QObject* parent)
    : QObject(parent)
{
    m_name = Binary::readString(in);
    m_isOpt = Binary::readFlag(in);
    m_high = Binary::readReal(in);
    m_low = Binary::readReal(in);
    m_target = Binary::readReal(in);
    m_weight = Binary::readReal(in);
}

void KObjective::writeBinary(QDataStream& out) const
{
    Binary::writeString(out, m_name);
    Binary::writeFlag(out, m_isOpt);
    for (double v : {m_high, m_low, m_target, m_weight})
        Binary::writeReal(out, v);
}

KOptSetting::KOptSetting(KLoadList* loads, QObject* parent)
    : KObjectList(QStringLiteral("Optimisation Setting"), parent)
    , m_loads(loads)
{
    connect(loads, &KObjectList::sonRemoved, this, &KOptSetting::loadCaseRemoved);
    setTableModel(new KObjectiveTableModel(this));
    const struct { const char* name; bool opt; double high, weight; } defaults[] = {
        {"Price", true, 100, 1}, {"Mass", true, 100, 1}, {"Def X", false, 2000, 0}, {"Def Y", false, 2000, 0},
        {"Twist", false, 1, 0}, {"Von Mises Stress", false, 1000, 0},
        {"s11", false, 1000, 0}, {"s22", false, 1000, 0}, {"s33", false, 1000, 0},
        {"s12", false, 1000, 0}, {"s13", false, 1000, 0}, {"s23", false, 1000, 0},
        {"e11", false, 1, 0}, {"e22", false, 1, 0}, {"e33", false, 1, 0},
        {"e12", false, 1, 0}, {"e13", false, 1, 0}, {"e23", false, 1, 0}};
    for (const auto& d : defaults) {
        auto* o = new KObjective(this);
        o->setName(QLatin1String(d.name));
        o->setIsOpt(d.opt);
        o->setHigh(d.high);
        o->setWeight(d.weight);
        m_objectives.append(o);
    }
    for (KObjective* c : defaultChecks(this))
        m_checks.append(c);
}

// Not optimised, weight 1, target 0; the buckling factor must stay above 1
// and the failure index below 1.
QList<KObjective*> KOptSetting::defaultChecks(QObject* parent)
{
    const struct { const char* name; double low, high; } defaults[] = {
        {"Buckling Factor", 1, 1e6}, {"Flap Frequency", 0, 1e6}, {"Edge Frequency", 0, 1e6}, {"Failure Index", -1, 1}};
    QList<KObjective*> checks;
    for (const auto& d : defaults) {
        auto* c = new KObjective(parent);
        c->setName(QLatin1String(d.name));
        c->setLow(d.low);
        c->setHigh(d.high);
        checks.append(c);
    }
    return checks;
}

bool KOptSetting::checksChanged() const
{
    QByteArray now, fresh;
    QDataStream a(&now, QIODevice::WriteOnly), b(&fresh, QIODevice::WriteOnly);
    Binary::prepare(a);
    Binary::prepare(b);
    for (const KObjective* c : m_checks)
        c->writeBinary(a);
    const QList<KObjective*> defaults = defaultChecks(nullptr);
    for (const KObjective* c : defaults)
        c->writeBinary(b);
    qDeleteAll(defaults);
    return now != fresh || m_modalModes != 5 || m_bucklingModes != 5 || m_bucklingLoadCase != 0;
}

void KOptSetting::writeChecks(QDataStream& out) const
{
    for (int v : {m_modalModes, m_bucklingModes, m_bucklingLoadCase})
        Binary::writeInt(out, v);
    for (const KObjective* c : m_checks)
        c->writeBinary(out);
}

bool KOptSetting::readChecks(QDataStream& in)
{
    const qint32 modal = Binary::readInt(in), buckling = Binary::readInt(in), loadCase = Binary::readInt(in);
    QList<KObjective*> checks;
    for (int i = 0; i < CheckCount && in.status() == QDataStream::Ok; ++i)
        checks.append(new KObjective(in, this));
    if (in.status() != QDataStream::Ok || modal < 1 || modal > 100 || buckling < 1 || buckling > 100 || loadCase < 0) {
        qDeleteAll(checks);
        return false;
    }
    beginResetModel();
    qDeleteAll(m_checks);
    m_checks = checks;
    m_modalModes = modal;
    m_bucklingModes = buckling;
    m_bucklingLoadCase = loadCase;
    endResetModel();
    tableModel()->updateTable();
    return true;
}

KObjective* KOptSetting::ReadObjective(int ind) const
{
    if (ind < 0 || ind >= m_objectives.size() + m_checks.size()) {
        debugLine(QStringLiteral("KOptSetting - ReadObjective: index not correct!"));
        return nullptr;
    }
    return ind < m_objectives.size() ? m_objectives[ind] : m_checks[ind - m_objectives.size()];
}

void KOptSetting::objectiveArrays(Eigen::VectorXd& targets, Eigen::VectorXd& lows, Eigen::VectorXd& highs,
                                  Eigen::VectorXd& weights) const
{
    const int n = m_objectives.size();
    targets.resize(n);
    lows.resize(n);
    highs.resize(n);
    weights.resize(n);
    for (int i = 0; i < n; ++i) {
        targets[i] = m_objectives[i]->target();
        lows[i] = m_objectives[i]->low();
        highs[i] = m_objectives[i]->high();
        weights[i] = m_objectives[i]->weight();
    }
}

void KOptSetting::clearSons()
{
    while (!m_objectives.isEmpty())
        delete m_objectives.takeLast();
}

void KOptSetting::readBinary(QDataStream& in)
{
    beginResetModel();
    m_population = Binary::readInt(in);
    m_crossoverNum = Binary::readInt(in);
    m_startNum = Binary::readInt(in);
    m_iterNum = Binary::readInt(in);
    m_selPortion = Binary::readReal(in);
    m_mutateRate = Binary::readReal(in);
    m_optDir = Binary::readString(in);
    clearSons();
    const qint32 n = Binary::readCount(in, KObjective::RecordBytes);
    for (qint32 i = 0; i < n && in.status() == QDataStream::Ok; ++i)
        m_objectives.append(new KObjective(in, this));
    // The checks come from the additions block, when the file has one.
    qDeleteAll(m_checks);
    m_checks = defaultChecks(this);
    m_modalModes = m_bucklingModes = 5;
    m_bucklingLoadCase = 0;
    endResetModel();
    tableModel()->updateTable();
}

void KOptSetting::writeBinary(QDataStream& out) const
{
    for (int v : {m_population, m_crossoverNum, m_startNum, m_iterNum})
        Binary::writeInt(out, v);
    Binary::writeReal(out, m_selPortion);
    Binary::writeReal(out, m_mutateRate);
    Binary::writeString(out, m_optDir);
    Binary::writeInt(out, m_objectives.size());
    for (const KObjective* o : m_objectives)
        o->writeBinary(out);
}

KObjectiveTableModel::KObjectiveTableModel(KOptSetting* setting)
    : KObjectTableModel(setting)
    , m_setting(setting)
{
    using O = KObjective*;
    setColumns({[setting](const QModelIndex& index) { return setting->ReadObjective(index.row()); },
                {{"name", [](O o) { return o->name(); }},
                 {"isopt", [](O o) { return o->isOpt(); }, [](O o, const QVariant& v) { o->setIsOpt(v.toBool()); }},
                 {"target", [](O o) { return o->target(); }, [](O o, const QVariant& v) { o->setTarget(v.toDouble()); }},
                 {"low", [](O o) { return o->low(); }, [](O o, const QVariant& v) { o->setLow(v.toDouble()); }},
                 {"high", [](O o) { return o->high(); }, [](O o, const QVariant& v) { o->setHigh(v.toDouble()); }},
                 {"weight", [](O o) { return o->weight(); },
                  [](O o, const QVariant& v) { o->setWeight(v.toDouble()); }}}});
}

int KObjectiveTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_setting->objectiveCount() + KOptSetting::CheckCount;
}

void KOptSetting::addUses(QList<SonUse>& uses) const
{
    if (m_bucklingLoadCase > 0 && m_bucklingLoadCase <= m_loads->count())
        uses.append({m_loads->sons().at(m_bucklingLoadCase - 1), QStringLiteral("the optimisation setting (buckled load case)")});
}

void KOptSetting::loadCaseRemoved(int ind)
{
    if (m_bucklingLoadCase > ind + 1)
        --m_bucklingLoadCase;
}

} // namespace Folvane
