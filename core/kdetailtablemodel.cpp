#include "core/kdetailtablemodel.h"

namespace Folvane {

KDetailTableModel::KDetailTableModel(QObject* parent)
    : KObjectTableModel(parent)
{
}

void KDetailTableModel::setCurrentOwner(QObject* owner)
{
    beginResetModel();
    m_current = owner;
    endResetModel();
}

int KDetailTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_current ? 0 : partCount();
}

bool KDetailTableModel::insertRows(int row, int count, const QModelIndex&)
{
    // Without an owner there is no row to insert at.
    return insertRowsWith(row, count, m_current ? rowCount() : -1, [this](int r) { insertPart(r); });
}

bool KDetailTableModel::removeRows(int row, int count, const QModelIndex&)
{
    return removeRowsWith(row, count, rowCount(), [this](int r) { removePart(r); });
}

void KDetailTableModel::sortSons()
{
    if (!m_current || !sortable() || partCount() < 2)
        return;
    beginResetModel();
    sortParts();
    endResetModel();
}

} // namespace Folvane
