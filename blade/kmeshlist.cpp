#include "blade/kmeshlist.h"

#include "blade/kbladesetting.h"
#include "blade/kweb.h"
#include "geometry/kprofile.h"
#include "geometry/kprofilelist.h"

namespace Folvane {

KMeshList::KMeshList(KProfileList* profiles, KBladeSetting* setting, KWebList* webs, QObject* parent)
    : KObjectList(QStringLiteral("Mesh"), parent)
{
    setTableModel(new KMeshTableModel(profiles, setting, webs, this));
}

void KMeshList::readBinary(QDataStream&)
{
    beginResetModel();
    changeObject(0);
    endResetModel();
}

void KMeshList::writeBinary(QDataStream&) const {}

KMeshTableModel::KMeshTableModel(KProfileList* profiles, KBladeSetting* setting, KWebList* webs, QObject* parent)
    : KObjectTableModel(parent)
    , m_profiles(profiles)
    , m_setting(setting)
    , m_webs(webs)
{
}

QHash<int, QByteArray> KMeshTableModel::roleNames() const
{
    return pairedRoleNames({"mesh"});
}

int KMeshTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_profiles->count();
}

int KMeshTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1 + m_setting->count() + m_webs->count();
}

bool KMeshTableModel::validMeshCell(const QModelIndex& index) const
{
    return index.isValid() && index.row() < rowCount() && index.column() < columnCount();
}

QVariant KMeshTableModel::data(const QModelIndex& index, int role) const
{
    if (!validMeshCell(index) || readColumn(role) != 0)
        return QVariant();
    const KProfile* p = m_profiles->profile(index.row());
    const int c = index.column();
    const int regions = m_setting->count();
    if (c == 0)
        return p->radiusMesh();
    if (c <= regions)
        return p->ReadRegMesh(c - 1);
    return p->ReadWebMesh(c - regions - 1);
}

bool KMeshTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!validMeshCell(index) || writeColumn(role) != 0)
        return false;
    KProfile* p = m_profiles->profile(index.row());
    const int c = index.column();
    const int regions = m_setting->count();
    const int n = value.toInt();
    if (c == 0)
        p->setRadiusMesh(n);
    else if (c <= regions)
        p->SetRegMesh(c - 1, n);
    else
        p->SetWebMesh(c - regions - 1, n);
    return true;
}

} // namespace Folvane
