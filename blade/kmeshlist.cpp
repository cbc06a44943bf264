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
    // Every grid column is the same column of the table: a mesh number.
    setColumns({[profiles](const QModelIndex& index) { return MeshCell{profiles->profile(index.row()), index.column()}; },
                {{"mesh", [this](const MeshCell& cell) { return meshNumber(cell); },
                  [this](const MeshCell& cell, const QVariant& v) { setMeshNumber(cell, v.toInt()); }}}});
}

int KMeshTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_profiles->count();
}

int KMeshTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1 + m_setting->count() + m_webs->count();
}

int KMeshTableModel::meshNumber(const MeshCell& cell) const
{
    const int regions = m_setting->count();
    if (cell.column == 0)
        return cell.profile->radiusMesh();
    if (cell.column <= regions)
        return cell.profile->ReadRegMesh(cell.column - 1);
    return cell.profile->ReadWebMesh(cell.column - regions - 1);
}

void KMeshTableModel::setMeshNumber(const MeshCell& cell, int n)
{
    const int regions = m_setting->count();
    if (cell.column == 0)
        cell.profile->setRadiusMesh(n);
    else if (cell.column <= regions)
        cell.profile->SetRegMesh(cell.column - 1, n);
    else
        cell.profile->SetWebMesh(cell.column - regions - 1, n);
}

} // namespace Folvane
