#include "core/tablecolumns.h"

#include <cmath>

namespace Folvane {

namespace {

bool readsAsNumber(const QVariant& value)
{
    switch (value.userType()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

} // namespace

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
    return write(columnOf(role, 1), index, value).isEmpty();
}

QString TableColumns::write(const QModelIndex& index, const QByteArray& name, const QVariant& value) const
{
    for (const Column& column : m_columns) {
        if (column.name == name)
            return write(&column, index, value);
    }
    return write(nullptr, index, value);
}

QString TableColumns::write(const Column* column, const QModelIndex& index, const QVariant& value)
{
    if (!column || !column->write)
        return QStringLiteral("the cell cannot be written");
    const QVariant kept = column->read(index);
    QVariant taken = value;
    QString why;
    // Text in a number cell is a number or nothing, never the 0 it would
    // convert to.
    if (readsAsNumber(kept) && value.userType() == QMetaType::QString) {
        bool ok = false;
        const double number = value.toString().toDouble(&ok);
        if (ok && std::isfinite(number))
            taken = number;
        else
            why = QStringLiteral("\"%1\" is not a number").arg(value.toString());
    }
    if (why.isEmpty())
        why = column->write(index, taken);
    return why.isEmpty() ? why : why + QStringLiteral("; the value stays ") + kept.toString();
}

} // namespace Folvane
