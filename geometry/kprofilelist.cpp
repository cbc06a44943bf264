#include "geometry/kprofilelist.h"

#include "blade/kbladesetting.h"
#include "blade/kweb.h"
#include "core/messages.h"
#include "geometry/kprofile.h"
#include "geometry/polyline.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Folvane {

namespace {

struct DefaultProfile
{
    const char* points;
    double loc, chord, twist, x, y;
    int keys[5];
};

const DefaultProfile defaultProfiles[] = {
    {"Circle", 0, 600, 0, -20, 115, {4, 27, 30, 33, 56}},
    {"Circle", 500, 600, 0, -20, 115, {5, 22, 30, 38, 55}},
    {"NACA63240", 1000, 1366, 12.4, -100, 0, {8, 18, 30, 42, 53}},
    {"NACA63220", 9000, 793, 2.77, 140, 8, {10, 15, 30, 45, 51}},
    {"NACA63214", 13150, 494, 0.29, 264.5, 12.14, {10, 15, 30, 45, 50}},
};

} // namespace

KProfileList::KProfileList(QObject* parent)
    : KObjectList(QStringLiteral("Profile"), parent)
    , m_pointModel(new KPointTableModel(this))
{
    m_minSonNum = 2;
    setTableModel(new KProfileTableModel(this));
    for (const DefaultProfile& d : defaultProfiles) {
        auto* p = new KProfile(this);
        p->loadPointSet(QLatin1String(d.points));
        p->loc()->setValue(d.loc);
        p->chordLen()->setValue(d.chord);
        p->twist()->setValue(d.twist);
        p->xOffset()->setValue(d.x);
        p->yOffset()->setValue(d.y);
        for (int k = 0; k < 5; ++k)
            p->ReadKeyInd(k)->setValue(d.keys[k]);
        m_sons.append(p);
    }
    m_pointModel->setProfile(profile(0));
}

KProfile* KProfileList::profile(int i) const
{
    return son<KProfile>(i);
}

double KProfileList::startLoc() const
{
    return m_sons.isEmpty() ? 0.0 : profile(0)->loc()->value();
}

double KProfileList::endLoc() const
{
    return m_sons.isEmpty() ? 0.0 : profile(count() - 1)->loc()->value();
}

void KProfileList::InsertNewSon(int ind)
{
    if (insertSon(ind, [this] { return new KProfile(this); }))
        emit sonChanged();
}

void KProfileList::readBinary(QDataStream& in)
{
    beginResetModel();
    clearSons();
    readSons(in, Binary::StringBytes, [&] { return new KProfile(in, this); });
    if (count() >= 2)
        sortByLocation();
    m_pointModel->setProfile(static_cast<KProfile*>(sonOrFirst(0)));
    endResetModel();
}

void KProfileList::readJson(const QJsonObject& json)
{
    KObjectList::readJson(json);
    m_pointModel->setProfile(static_cast<KProfile*>(sonOrFirst(0)));
}

void KProfileList::appendSonFromJson(const QJsonObject& json)
{
    m_sons.append(new KProfile(json, this));
}

void KProfileList::sortByLocation()
{
    // A location that does not evaluate sorts last.
    auto key = [](const KObject* o) {
        const double v = static_cast<const KProfile*>(o)->loc()->value();
        return std::isnan(v) ? std::numeric_limits<double>::infinity() : v;
    };
    std::sort(m_sons.begin(), m_sons.end(), [&](const KObject* a, const KObject* b) { return key(a) < key(b); });
}

void KProfileList::SortProfiles()
{
    beginResetModel();
    sortByLocation();
    endResetModel();
}

void KProfileList::SortKeyInd()
{
    const int regions = m_setting ? m_setting->count() : 0;
    for (int i = 0; i < count(); ++i)
        profile(i)->SortKeyInd(regions);
}

void KProfileList::autoMesh()
{
    if (!m_setting || !m_webs) {
        debugLine(QStringLiteral("KProfileList - autoMesh: no blade setting or web list"));
        return;
    }
    const double meshSize = m_setting->meshSize();
    if (!(meshSize > 0.0)) {
        debugLine(QStringLiteral("KProfileList - autoMesh: mesh size not correct!"));
        return;
    }
    const std::vector<int> webStart = m_webs->startRegionIndices();
    const std::vector<int> webEnd = m_webs->endRegionIndices();
    for (int i = 0; i < count(); ++i)
        profile(i)->AutoMesh(meshSize, m_setting->count(), webStart, webEnd);
    for (int i = 0; i + 1 < count(); ++i) {
        const double step = (profile(i + 1)->referencePoint() - profile(i)->referencePoint()).norm();
        profile(i)->setRadiusMesh(nodeCountFor(step, meshSize));
    }
    emit sonChanged();
}

bool KProfileList::changePointModel(int ind)
{
    if (ind < 0 || ind >= count()) {
        debugLine(QStringLiteral("KProfileList::ChangePointModel - index out of range"));
        return false;
    }
    m_pointModel->setProfile(profile(ind));
    return true;
}

KProfileTableModel::KProfileTableModel(KProfileList* list)
    : KObjectTableModel(list)
    , m_list(list)
{
    m_columnNum = 7;
}

QHash<int, QByteArray> KProfileTableModel::roleNames() const
{
    return pairedRoleNames({"name", "loc", "chordlen", "twist", "xoffset", "yoffset"});
}

int KProfileTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list->count();
}

static Linker* profileLinker(const KProfile* p, int field)
{
    switch (field) {
    case 1: return p->loc();
    case 2: return p->chordLen();
    case 3: return p->twist();
    case 4: return p->xOffset();
    case 5: return p->yOffset();
    default: return nullptr;
    }
}

QVariant KProfileTableModel::data(const QModelIndex& index, int role) const
{
    if (!validCell(index, m_list->count()))
        return QVariant();
    const KProfile* p = m_list->profile(index.row());
    const int field = readColumn(role);
    if (field == 0)
        return p->name();
    if (Linker* l = profileLinker(p, field))
        return QVariant::fromValue(l);
    return QVariant();
}

bool KProfileTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!validCell(index, m_list->count()))
        return false;
    KProfile* p = m_list->profile(index.row());
    const int field = writeColumn(role);
    if (field == 0) {
        p->setName(value.toString());
        return true;
    }
    if (Linker* l = profileLinker(p, field)) {
        l->setExp(value.toString());
        return true;
    }
    return false;
}

bool KProfileTableModel::insertRows(int row, int count, const QModelIndex&)
{
    return insertRowsWith(row, count, m_list->count(), [this](int r) { m_list->InsertNewSon(r); });
}

bool KProfileTableModel::removeRows(int row, int count, const QModelIndex&)
{
    return removeRowsWith(row, count, m_list->count(), [this](int r) { m_list->RemoveSon(r); });
}

void KProfileTableModel::sortSons()
{
    beginResetModel();
    m_list->SortProfiles();
    endResetModel();
}

KPointTableModel::KPointTableModel(QObject* parent)
    : KObjectTableModel(parent)
{
    m_columnNum = 2;
    m_minRowNum = 2;
}

void KPointTableModel::setProfile(KProfile* profile)
{
    beginResetModel();
    m_profile = profile;
    endResetModel();
}

QHash<int, QByteArray> KPointTableModel::roleNames() const
{
    return pairedRoleNames({"x", "y"});
}

int KPointTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_profile ? 0 : m_profile->points().size();
}

QVariant KPointTableModel::data(const QModelIndex& index, int role) const
{
    if (!validCell(index, rowCount()))
        return QVariant();
    const KPoint* p = m_profile->points().at(index.row());
    switch (readColumn(role)) {
    case 0: return p->x();
    case 1: return p->y();
    default: return QVariant();
    }
}

bool KPointTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!validCell(index, rowCount()))
        return false;
    KPoint* p = m_profile->points().at(index.row());
    switch (writeColumn(role)) {
    case 0: p->setX(value.toDouble()); return true;
    case 1: p->setY(value.toDouble()); return true;
    default: return false;
    }
}

bool KPointTableModel::insertRows(int row, int count, const QModelIndex&)
{
    // Without a profile there is no row to insert at.
    return insertRowsWith(row, count, m_profile ? rowCount() : -1, [this](int r) { m_profile->InsertPoint(r); });
}

bool KPointTableModel::removeRows(int row, int count, const QModelIndex&)
{
    return removeRowsWith(row, count, rowCount(), [this](int r) { m_profile->RemovePoint(r); });
}

void KPointTableModel::copyFromClipBoard(int value)
{
    if (!m_profile)
        return;
    beginResetModel();
    m_profile->ImportFromClipboard(value);
    endResetModel();
}

} // namespace Folvane
