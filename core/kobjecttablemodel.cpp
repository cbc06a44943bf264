#include "core/kobjecttablemodel.h"

#include "core/kobjectlist.h"
#include "core/messages.h"

namespace Folvane {

KObjectTableModel::KObjectTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int KObjectTableModel::rowCount(const QModelIndex&) const
{
    return 0;
}

int KObjectTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_columnNum;
}

QVariant KObjectTableModel::data(const QModelIndex& index, int role) const
{
    return validCell(index) ? m_columns.read(index, role) : QVariant();
}

bool KObjectTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    return validCell(index) && m_columns.write(index, role, value);
}

QString KObjectTableModel::writeCell(int row, const QString& column, const QVariant& value)
{
    const QModelIndex cell = index(row, 0);
    if (!validCell(cell))
        return QStringLiteral("the cell cannot be written");
    const QString why = m_columns.write(cell, column.toUtf8(), value);
    // The view shows the value as it is kept (a number as read back).
    if (why.isEmpty())
        emit dataChanged(cell, cell);
    return why;
}

QVariant KObjectTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return KObjectList::headerText(section, orientation, role);
}

QHash<int, QByteArray> KObjectTableModel::roleNames() const
{
    return m_columns.roleNames();
}

void KObjectTableModel::setColumns(TableColumns columns)
{
    m_columns = std::move(columns);
    m_columnNum = m_columns.size();
}

bool KObjectTableModel::validCell(const QModelIndex& index) const
{
    return index.isValid() && index.row() < rowCount() && index.column() < columnCount();
}

void KObjectTableModel::reportPosition(const char* what) const
{
    debugLine(className(this) + QStringLiteral(" - ") + QLatin1String(what) + QStringLiteral(" position not correct!"));
}

void KObjectTableModel::updateTable()
{
    beginResetModel();
    endResetModel();
}

bool KObjectTableModel::addRowBefore(int ind)
{
    if (ind >= 0 && ind < rowCount())
        return insertRow(ind);
    debugLine(QStringLiteral("KObjectTableModel - addRowBefore: position not correct!"));
    return false;
}

bool KObjectTableModel::addRowAfter(int ind)
{
    if (ind >= 0 && ind < rowCount())
        return insertRow(ind + 1);
    debugLine(QStringLiteral("KObjectTableModel - addRowAfter: position not correct!"));
    return false;
}

bool KObjectTableModel::delRowCurrent(int ind)
{
    if (rowCount() > m_minRowNum && ind >= 0 && ind < rowCount())
        return removeRow(ind);
    debugLine(QStringLiteral("KObjectTableModel - delRowCurrent: position not correct!"));
    return false;
}

} // namespace Folvane
