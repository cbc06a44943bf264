#include "core/tablecolumns.h"

#include <QtTest>

using namespace Folvane;

namespace {

struct Row
{
    QString name = "A";
    int count = 2;
};

// A read-only column, one that takes every value and one that refuses odd ones.
TableColumns columnsOf(Row* row)
{
    return {[row](const QModelIndex&) { return row; },
            {{"name", [](const Row* r) { return r->name; }},
             {"count", [](const Row* r) { return r->count; }, [](Row* r, const QVariant& v) { r->count = v.toInt(); }},
             {"even", [](const Row* r) { return r->count; },
              [](Row* r, const QVariant& v) {
                  if (v.toInt() % 2 != 0)
                      return QStringLiteral("odd");
                  r->count = v.toInt();
                  return QString();
              }}}};
}

} // namespace

class TestTableColumns : public QObject
{
    Q_OBJECT

private slots:
    void rolesPairUpFromTheFirst();
    void readsAndWritesThroughTheirRoles();
};

void TestTableColumns::rolesPairUpFromTheFirst()
{
    Row row;
    const QHash<int, QByteArray> expected = {{257, "name_user"},  {258, "name_input"}, {259, "count_user"},
                                             {260, "count_input"}, {261, "even_user"},  {262, "even_input"}};
    QCOMPARE(columnsOf(&row).roleNames(), expected);
    QVERIFY(TableColumns().roleNames().isEmpty());
}

void TestTableColumns::readsAndWritesThroughTheirRoles()
{
    Row row;
    const TableColumns columns = columnsOf(&row);
    const QModelIndex any;
    QCOMPARE(columns.read(any, 257), QVariant("A"));
    QVERIFY(!columns.write(any, 258, "B"));
    QCOMPARE(row.name, QString("A"));

    QVERIFY(columns.write(any, 260, 7));
    QCOMPARE(columns.read(any, 259), QVariant(7));
    QVERIFY(!columns.write(any, 262, 5));
    QVERIFY(columns.write(any, 262, 4));
    QCOMPARE(row.count, 4);

    // A read role does not write, a write role does not read, and roles
    // around the columns belong to none.
    QVERIFY(!columns.write(any, 259, 8));
    QVERIFY(!columns.read(any, 260).isValid());
    for (int role : {int(Qt::DisplayRole), int(Qt::EditRole), 256, 263, 264}) {
        QVERIFY(!columns.read(any, role).isValid());
        QVERIFY(!columns.write(any, role, 8));
    }
    QCOMPARE(row.count, 4);
}

QTEST_GUILESS_MAIN(TestTableColumns)
#include "tst_tablecolumns.moc"
