#include "core/tablecolumns.h"

namespace Folvane {

QHash<int, QByteArray> TableColumns::roleNames() const
{
    QHash<int, QByteArray> names;
    int role = FirstRole;
    for (const Column& column : m_columns) {
        names.insert(role++, column.name + "_user");
        names.insert(role++, column.name + "_input");
    }
    return names;
}

// Parity 0 picks the read roles (257, 259, ...), 1 the write roles.
const TableColumns::Column* TableColumns::columnOf(int role, int parity) const
{
    const int offset = role - FirstRole;
    if (offset < 0 || offset % 2 != parity || offset / 2 >= size())
        return nullptr;
    return &m_columns[offset / 2];
}

QVariant TableColumns::read(const QModelIndex& index, int role) const
{
    const Column* column = columnOf(role, 0);
    return column ? column->read(index) : QVariant();
}

bool TableColumns::write(const QModelIndex& index, int role, const QVariant& value) const
{
    const Column* column = columnOf(role, 1);
    return column && column->write && column->write(index, value);
}

} // namespace Folvane
