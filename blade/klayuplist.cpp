#include "blade/klayuplist.h"

#include "blade/kbladesetting.h"
#include "blade/kregion.h"
#include "blade/kweb.h"
#include "core/messages.h"

namespace Folvane {

KLayupList::KLayupList(KBladeSetting* setting, KWebList* webs, QObject* parent)
    : KObjectList(QStringLiteral("Region Layup"), parent)
    , m_setting(setting)
    , m_webs(webs)
    , m_table(new KRegionTableModel(this))
{
    setTableModel(m_table);
    beginResetModel();
    changeObject(0);
    endResetModel();
}

KRegion* KLayupList::regionAt(int row) const
{
    const int regions = m_setting->count();
    if (row >= 0 && row < regions)
        return m_setting->region(row);
    if (row >= regions && row < regions + m_webs->count())
        return m_webs->web(row - regions);
    return nullptr;
}

int KLayupList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_setting->count() + m_webs->count();
}

QVariant KLayupList::data(const QModelIndex& index, int role) const
{
    const KRegion* region = index.isValid() ? regionAt(index.row()) : nullptr;
    if (!region || role != Qt::DisplayRole)
        return QVariant();
    return region->name();
}

void KLayupList::readBinary(QDataStream&)
{
    beginResetModel();
    changeObject(0);
    endResetModel();
}

void KLayupList::writeBinary(QDataStream&) const {}

bool KLayupList::changeObject(int ind)
{
    KRegion* region = regionAt(ind);
    if (!region) {
        debugLine(QStringLiteral("KLayupList - changeObject: index out of range!"));
        return false;
    }
    m_table->setCurrent(region);
    return true;
}

KRegionTableModel::KRegionTableModel(QObject* parent)
    : KObjectTableModel(parent)
{
    m_columnNum = 1;
}

void KRegionTableModel::setCurrent(KRegion* region)
{
    beginResetModel();
    m_current = region;
    endResetModel();
}

QHash<int, QByteArray> KRegionTableModel::roleNames() const
{
    return pairedRoleNames({"sl"});
}

int KRegionTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_current ? 0 : m_current->layerCount();
}

QVariant KRegionTableModel::data(const QModelIndex& index, int role) const
{
    if (!validCell(index, rowCount()) || readColumn(role) != 0)
        return QVariant();
    return m_current->layerIndex(index.row());
}

bool KRegionTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!validCell(index, rowCount()) || writeColumn(role) != 0)
        return false;
    m_current->setLayer(index.row(), value.toInt());
    return true;
}

bool KRegionTableModel::insertRows(int row, int count, const QModelIndex&)
{
    return insertRowsWith(row, count, m_current ? rowCount() : -1, [this](int r) { m_current->InsertLayer(r); });
}

bool KRegionTableModel::removeRows(int row, int count, const QModelIndex&)
{
    return removeRowsWith(row, count, rowCount(), [this](int r) { m_current->RemoveLayer(r); });
}

} // namespace Folvane
