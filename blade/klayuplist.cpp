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
    : KDetailTable(parent, {&KRegion::layerCount, &KRegion::InsertLayer, &KRegion::RemoveLayer})
{
    // A layer is no object of its own: the cell is its place in the stack.
    setColumns({[](const QModelIndex& index) { return index.row(); },
                {{"sl", [this](int row) { return current()->layerIndex(row); },
                  [this](int row, const QVariant& v) { current()->setLayer(row, v.toInt()); }}}});
}

} // namespace Folvane
