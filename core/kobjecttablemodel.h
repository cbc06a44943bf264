#ifndef FOLVANE_KOBJECTTABLEMODEL_H
#define FOLVANE_KOBJECTTABLEMODEL_H

#include <QAbstractTableModel>
#include <initializer_list>

namespace Folvane {

// A grid over a list's sons, or over the parts of one selected son.
// Roles come in pairs per column from Qt::UserRole + 1: the odd role
// ("<column>_user") is read by data(), the even one ("<column>_input")
// is written by setData().
class KObjectTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int FirstRole = Qt::UserRole + 1;

    explicit KObjectTableModel(QObject* parent = nullptr);

    int columnNum() const { return m_columnNum; }
    int minRowNum() const { return m_minRowNum; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Role names for the given columns in order: 257 "<c>_user", 258 "<c>_input", ...
    static QHash<int, QByteArray> pairedRoleNames(std::initializer_list<const char*> columns);

public slots:
    void updateTable();
    bool addRowBefore(int ind);
    bool addRowAfter(int ind);
    bool delRowCurrent(int ind);

protected:
    // The column's number for a read role (257 -> 0, 259 -> 1, ...), or -1.
    static int readColumn(int role);
    static int writeColumn(int role);

    bool validCell(const QModelIndex& index, int rows) const;

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
    void reportPosition(const char* what) const;
};

} // namespace Folvane

#endif
