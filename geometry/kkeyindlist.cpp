#include "geometry/kkeyindlist.h"

#include "blade/kbladesetting.h"
#include "geometry/kprofile.h"
#include "geometry/kprofilelist.h"

namespace Folvane {

KKeyIndList::KKeyIndList(KProfileList* profiles, KBladeSetting* setting, QObject* parent)
    : KObjectList(QStringLiteral("Region Location"), parent)
{
    setTableModel(new KKeyIndTableModel(profiles, setting, this));
}

void KKeyIndList::readBinary(QDataStream&)
{
    beginResetModel();
    changeObject(0);
    endResetModel();
}

void KKeyIndList::writeBinary(QDataStream&) const {}

KKeyIndTableModel::KKeyIndTableModel(KProfileList* profiles, KBladeSetting* setting, QObject* parent)
    : KObjectTableModel(parent)
    , m_profiles(profiles)
    , m_setting(setting)
{
}

QHash<int, QByteArray> KKeyIndTableModel::roleNames() const
{
    return pairedRoleNames({"id"});
}

int KKeyIndTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_profiles->count();
}

int KKeyIndTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : qMax(m_setting->count() - 1, 0);
}

Linker* KKeyIndTableModel::keyAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return nullptr;
    const KProfile* p = m_profiles->profile(index.row());
    // A profile loaded without key indices has none to show.
    return index.column() < p->keyIndexCount() ? p->ReadKeyInd(index.column()) : nullptr;
}

QVariant KKeyIndTableModel::data(const QModelIndex& index, int role) const
{
    Linker* key = readColumn(role) == 0 ? keyAt(index) : nullptr;
    return key ? QVariant::fromValue(key) : QVariant();
}

bool KKeyIndTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    Linker* key = writeColumn(role) == 0 ? keyAt(index) : nullptr;
    if (!key)
        return false;
    key->setExp(value.toString());
    return true;
}

} // namespace Folvane
