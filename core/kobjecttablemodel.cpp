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

QVariant KObjectTableModel::data(const QModelIndex&, int) const
{
    return QVariant();
}

QVariant KObjectTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return KObjectList::headerText(section, orientation, role);
}

QHash<int, QByteArray> KObjectTableModel::pairedRoleNames(std::initializer_list<const char*> columns)
{
    QHash<int, QByteArray> names;
    int role = FirstRole;
    for (const char* column : columns) {
        names.insert(role++, QByteArray(column) + "_user");
        names.insert(role++, QByteArray(column) + "_input");
    }
    return names;
}

int KObjectTableModel::readColumn(int role)
{
    const int offset = role - FirstRole;
    return offset >= 0 && offset % 2 == 0 ? offset / 2 : -1;
}

int KObjectTableModel::writeColumn(int role)
{
    const int offset = role - FirstRole;
    return offset >= 0 && offset % 2 == 1 ? offset / 2 : -1;
}

bool KObjectTableModel::validCell(const QModelIndex& index, int rows) const
{
    return index.isValid() && index.row() < rows && index.column() < m_columnNum;
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
