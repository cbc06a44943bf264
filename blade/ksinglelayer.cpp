#include "blade/ksinglelayer.h"

#include "blade/kpattern.h"
#include "core/binaryio.h"
#include "core/jsonvalues.h"
#include "core/linkercolumns.h"
#include "core/ownedlist.h"
#include "core/parameterlist.h"
#include "geometry/interp.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Folvane {

KLocNum::KLocNum(QObject* parent)
    : KLocNum(0.0, 0.0, parent)
{
}

KLocNum::KLocNum(double loc, double num, QObject* parent)
    : KObject(parent)
    , m_loc(new Linker(loc, this))
    , m_num(new Linker(num, this))
{
    setName(QStringLiteral("LocNum"));
}

KLocNum::KLocNum(const QJsonObject& json, QObject* parent)
    : KLocNum(jsonNumber(json, "Location"), jsonInt(json, "Number"), parent)
{
}

KLocNum::KLocNum(QDataStream& in, QObject* parent)
    : KObject(in, parent)
{
    m_loc = new Linker(in, this);
    m_num = new Linker(in, this);
}

void KLocNum::writeBinary(QDataStream& out) const
{
    KObject::writeBinary(out);
    m_loc->writeBinary(out);
    m_num->writeBinary(out);
}

void KLocNum::writeJson(QJsonObject& json) const
{
    json["Location"] = m_loc->value();
    json["Number"] = m_num->value();
}

KSingleLayer::KSingleLayer(KPatternList* patterns, QObject* parent)
    : KObject(parent)
    , m_patterns(patterns)
    , m_pattern(static_cast<KPattern*>(patterns->sonOrFirst(0)))
{
    setName(QStringLiteral("Layer"));
    m_points.append(new KLocNum(this));
}

KSingleLayer::KSingleLayer(const QJsonObject& json, KPatternList* patterns, QObject* parent)
    : KObject(json, parent)
    , m_patterns(patterns)
{
    setName(jsonText(json, NameKey));
    m_pattern = static_cast<KPattern*>(patterns->ReadSonByName(jsonText(json, "Laminate"), user()));
    for (const QJsonValue& p : jsonArray(json, "Thickness"))
        m_points.append(new KLocNum(p.toObject(), this));
}

KSingleLayer::KSingleLayer(QDataStream& in, KPatternList* patterns, QObject* parent)
    : KObject(in, parent)
    , m_patterns(patterns)
{
    m_pattern = static_cast<KPattern*>(patterns->referredSon(Binary::readInt(in), user()));
    const qint32 points = Binary::readCount(in, Binary::StringBytes + 2 * Linker::RecordBytes);
    for (qint32 i = 0; i < points && in.status() == QDataStream::Ok; ++i)
        m_points.append(new KLocNum(in, this));
    if (in.status() == QDataStream::Ok)
        sortLocNums();
}

QString KSingleLayer::user() const
{
    return QStringLiteral("single layer ") + name();
}

KPattern* KSingleLayer::pattern() const
{
    return m_pattern ? m_pattern.data() : static_cast<KPattern*>(m_patterns->sonOrFirst(0));
}

int KSingleLayer::patternInd() const
{
    return m_patterns->indexOfSon(pattern());
}

void KSingleLayer::setPatternInd(int ind)
{
    m_pattern = static_cast<KPattern*>(m_patterns->ReadSon(ind));
}

void KSingleLayer::InsertLocNum(int ind)
{
    insertOwned(m_points, ind, [this] { return new KLocNum(this); },
                QStringLiteral("KSingleLayer - InsertLocNum: index not correct!"));
}

KLocNum* KSingleLayer::ReadLocNumByInd(int ind) const
{
    return readOwned(m_points, ind, QStringLiteral("KSingleLayer - ReadLocNumByInd: index not correct!"));
}

void KSingleLayer::RemoveLocNum(int ind)
{
    removeOwned(m_points, ind, QStringLiteral("KSingleLayer - RemoveLocNum: index not correct!"));
}

QList<KLocNum*> KSingleLayer::sortedLocNums() const
{
    if (ParameterList* parameters = parameterList())
        parameters->resetEngine();
    auto key = [](const KLocNum* p) {
        const double v = p->loc()->value();
        return std::isnan(v) ? std::numeric_limits<double>::infinity() : v;
    };
    QList<KLocNum*> sorted = m_points;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const KLocNum* a, const KLocNum* b) { return key(a) < key(b); });
    return sorted;
}

void KSingleLayer::sortLocNums()
{
    m_points = sortedLocNums();
}

// A number that does not evaluate stacks nothing.
static int repetitionCount(double number)
{
    return std::isfinite(number) ? Binary::truncatedInt(number) : 0;
}

std::vector<int> KSingleLayer::repetitionNumbers(const Eigen::VectorXd& stations)
{
    // In location order, leaving the table's order to the user.
    const QList<KLocNum*> points = sortedLocNums();
    const int n = points.size();
    std::vector<int> numbers(stations.size(), 0);
    if (n == 0)
        return numbers;
    Eigen::VectorXd loc(n);
    Eigen::MatrixXd num(n, 1);
    for (int i = 0; i < n; ++i) {
        loc[i] = points[i]->loc()->value();
        num(i, 0) = points[i]->num()->value();
    }
    const Eigen::MatrixXd values = LinearInterp(loc, num).valuesAt(stations);
    for (Eigen::Index s = 0; s < stations.size(); ++s)
        numbers[s] = repetitionCount(values(s, 0));
    return numbers;
}

void KSingleLayer::clearChildren()
{
    deleteOwned(m_points);
}

void KSingleLayer::writeBinary(QDataStream& out) const
{
    KObject::writeBinary(out);
    Binary::writeInt(out, patternInd());
    Binary::writeInt(out, m_points.size());
    for (const KLocNum* p : m_points)
        p->writeBinary(out);
}

void KSingleLayer::writeJson(QJsonObject& json) const
{
    json[NameKey] = name();
    const KPattern* p = pattern();
    json["Laminate"] = p ? p->name() : QString();
    QJsonArray points;
    for (const KLocNum* point : m_points) {
        QJsonObject object;
        point->writeJson(object);
        points.append(object);
    }
    json["Thickness"] = points;
}

KSingleLayerList::KSingleLayerList(KPatternList* patterns, QObject* parent)
    : KObjectList(QStringLiteral("Single Layer"), parent)
    , m_patterns(patterns)
    , m_table(new KSingleLayerTableModel(this))
{
    setUniqueNames(true);
    setSonKind(QStringLiteral("single layer"));
    setTableModel(m_table);
    struct Default
    {
        const char* name;
        int pattern;
        std::vector<std::pair<double, double>> points;
    };
    const Default defaults[] = {
        {"Shell-Triax", 1, {{0, 2}, {13150, 2}}},
        {"Shell-UD", 0, {{0, 32}, {500, 32}, {1000, 4}, {13150, 4}}},
        {"Shell-Core", 2, {{0, 0}, {500, 0}, {1000, 1}, {13150, 1}}},
        {"Spar-UD", 0, {{0, 0}, {500, 0}, {1000, 12}, {4000, 12}, {11640, 3}, {13150, 3}}},
        {"Web", 1, {{0, 20}, {5500, 20}, {6000, 14}, {13150, 14}}},
    };
    beginResetModel();
    for (const Default& d : defaults) {
        auto* layer = new KSingleLayer(patterns, this);
        layer->setName(QLatin1String(d.name));
        layer->setPatternInd(d.pattern);
        layer->RemoveLocNum(0);
        for (const auto& p : d.points) {
            layer->InsertLocNum(layer->locNumCount());
            layer->ReadLocNumByInd(layer->locNumCount() - 1)->loc()->setValue(p.first);
            layer->ReadLocNumByInd(layer->locNumCount() - 1)->num()->setValue(p.second);
        }
        m_sons.append(layer);
    }
    endResetModel();
    changeObject(0);
}

KSingleLayer* KSingleLayerList::layer(int i) const
{
    return son<KSingleLayer>(i);
}

void KSingleLayerList::computeRepetitionMatrix(const Eigen::VectorXd& stations)
{
    m_repetitions.resize(stations.size(), count());
    for (int j = 0; j < count(); ++j) {
        layer(j)->computeRepetitionNumbers(stations);
        m_repetitions.col(j) = Eigen::Map<const Eigen::VectorXi>(layer(j)->numbers().data(), stations.size());
    }
}

QStringList KSingleLayerList::problems(const QSet<const KSingleLayer*>& used) const
{
    QStringList found;
    for (int i = 0; i < count(); ++i) {
        if (!used.contains(layer(i)))
            continue;
        for (int k = 0; k < layer(i)->locNumCount(); ++k) {
            const KLocNum* p = layer(i)->ReadLocNumByInd(k);
            if (!std::isfinite(p->loc()->value()) || !std::isfinite(p->num()->value())) {
                found << QStringLiteral("single layer %1 has a value that does not evaluate").arg(layer(i)->name());
                break;
            }
        }
    }
    return found;
}

bool KSingleLayerList::changeObject(int ind)
{
    if (ind < 0 || ind >= count()) {
        debugLine(QStringLiteral("KSingleLayerList - changeObject: index out of range!"));
        return false;
    }
    m_table->setCurrent(layer(ind));
    return true;
}

void KSingleLayerList::InsertNewSon(int ind)
{
    insertSon(ind, [this] { return new KSingleLayer(m_patterns, this); });
}

void KSingleLayerList::readBinary(QDataStream& in)
{
    beginResetModel();
    clearSons();
    readSons(in, Binary::StringBytes + 8, [&] { return new KSingleLayer(in, m_patterns, this); });
    changeObject(0);
    endResetModel();
}

void KSingleLayerList::appendSonFromJson(const QJsonObject& json)
{
    m_sons.append(new KSingleLayer(json, m_patterns, this));
}

void KSingleLayerList::addUses(QList<SonUse>& uses) const
{
    for (int i = 0; i < count(); ++i)
        uses.append({layer(i)->pattern(), layer(i)->user()});
}

KSingleLayerTableModel::KSingleLayerTableModel(KSingleLayerList* list)
    : KDetailTable(list, {&KSingleLayer::locNumCount, &KSingleLayer::InsertLocNum, &KSingleLayer::RemoveLocNum,
                          &KSingleLayer::sortLocNums})
{
    setColumns({[this](const QModelIndex& index) { return current()->ReadLocNumByInd(index.row()); },
                {numberColumn("loc", &KLocNum::loc), numberColumn("num", &KLocNum::num)}});
}

} // namespace Folvane
