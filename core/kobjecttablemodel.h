#ifndef FOLVANE_KOBJECTTABLEMODEL_H
#define FOLVANE_KOBJECTTABLEMODEL_H

#include "core/tablecolumns.h"

#include <QAbstractTableModel>

namespace Folvane {

// A grid over a list's sons, or over the parts of one selected son. Its
// roles, data() and setData() follow from the columns a subclass sets.
class KObjectTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit KObjectTableModel(QObject* parent = nullptr);

    int columnNum() const { return m_columnNum; }
    int minRowNum() const { return m_minRowNum; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Writes the value into the row's cell of the named column, as a view's
    // cell does: empty when it is taken, otherwise why not (see
    // TableColumns::write).
    Q_INVOKABLE QString writeCell(int row, const QString& column, const QVariant& value);

public slots:
    void updateTable();
    bool addRowBefore(int ind);
    bool addRowAfter(int ind);
    bool delRowCurrent(int ind);

protected:
    // Also the number of columns, until a subclass says otherwise.
    void setColumns(TableColumns columns);

    // The shared shape of insertRows/removeRows: a range check with the
    // model's "insert/remove position not correct!" message, the row
    // announcements, and one call of insertOne/removeOne per row.
    template <typename InsertOne>
    bool insertRowsWith(int row, int count, int size, InsertOne insertOne)
    {
        if (row < 0 || row > size || count < 1) {
            reportPosition("insertRows: insert");
            return false;
        }
        beginInsertRows(QModelIndex(), row, row + count - 1);
        for (int i = 0; i < count; ++i)
            insertOne(row);
        endInsertRows();
        return true;
    }

    template <typename RemoveOne>
    bool removeRowsWith(int row, int count, int size, RemoveOne removeOne)
    {
        if (row < 0 || count < 1 || row + count - 1 >= size) {
            reportPosition("removeRows: remove");
            return false;
        }
        beginRemoveRows(QModelIndex(), row, row + count - 1);
        for (int i = 0; i < count; ++i)
            removeOne(row);
        endRemoveRows();
        return true;
    }

    int m_columnNum = 0;
    int m_minRowNum = 1;

private:
    bool validCell(const QModelIndex& index) const;
    void reportPosition(const char* what) const;

    TableColumns m_columns;
};

} // namespace Folvane

#endif
