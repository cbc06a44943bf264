#ifndef FOLVANE_TABLECOLUMNS_H
#define FOLVANE_TABLECOLUMNS_H

#include <QByteArray>
#include <QHash>
#include <QModelIndex>
#include <QString>
#include <QVariant>
#include <functional>
#include <type_traits>
#include <vector>

namespace Folvane {

// One column of a table whose cells are of type Cell: its name, how a cell
// is read and, unless the column is read-only, how it is written. A writer
// that returns a QString may refuse the value, saying why (empty: taken);
// one that returns nothing takes it.
template <typename Cell>
struct TableColumn
{
    using Reader = std::function<QVariant(const Cell&)>;
    using Writer = std::function<QString(const Cell&, const QVariant&)>;

    TableColumn(QByteArray name, Reader read)
        : name(std::move(name))
        , read(std::move(read))
    {
    }

    template <typename Write>
    TableColumn(QByteArray name, Reader read, Write write)
        : name(std::move(name))
        , read(std::move(read))
        , write(taking(std::move(write)))
    {
    }

    QByteArray name;
    Reader read;
    Writer write;

private:
    template <typename Write>
    static Writer taking(Write write)
    {
        return [write = std::move(write)](const Cell& cell, const QVariant& value) {
            if constexpr (std::is_same_v<std::invoke_result_t<const Write&, const Cell&, const QVariant&>, QString>) {
                return write(cell, value);
            } else {
                write(cell, value);
                return QString();
            }
        };
    }
};

// A table model's columns in order, each read and written through a pair of
// roles from FirstRole on: the odd role "<name>_user" is read by data(), the
// even one "<name>_input" is written by setData(). Views and stored tests
// know the columns by these numbers, so a new column only goes at the end.
class TableColumns
{
public:
    static constexpr int FirstRole = Qt::UserRole + 1;

    TableColumns() = default;

    // Locate turns a valid index of the model into the cell its columns
    // read and write.
    template <typename Locate, typename Cell = std::invoke_result_t<Locate, const QModelIndex&>>
    TableColumns(Locate locate, std::vector<TableColumn<Cell>> columns)
    {
        for (TableColumn<Cell>& column : columns)
            m_columns.push_back(located(std::move(column), locate));
    }

    int size() const { return int(m_columns.size()); }
    QHash<int, QByteArray> roleNames() const;
    // An invalid value for a role of no column.
    QVariant read(const QModelIndex& index, int role) const;
    // False for a role of no column, a read-only column or a refused value.
    bool write(const QModelIndex& index, int role, const QVariant& value) const;
    // Writes the named column's cell: empty when the value is taken, else
    // why not, ending on the value the cell keeps. A cell that reads as a
    // number takes text only when it is one.
    QString write(const QModelIndex& index, const QByteArray& name, const QVariant& value) const;

private:
    using Column = TableColumn<QModelIndex>;

    template <typename Cell, typename Locate>
    static Column located(TableColumn<Cell> column, const Locate& locate)
    {
        Column bound(std::move(column.name), [read = std::move(column.read), locate](const QModelIndex& index) {
            return read(locate(index));
        });
        if (column.write) {
            bound.write = [write = std::move(column.write), locate](const QModelIndex& index, const QVariant& value) {
                return write(locate(index), value);
            };
        }
        return bound;
    }

    const Column* columnOf(int role, int parity) const;
    static QString write(const Column* column, const QModelIndex& index, const QVariant& value);

    std::vector<Column> m_columns;
};

} // namespace Folvane

#endif
