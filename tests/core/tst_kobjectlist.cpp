#include "capture.h"
#include "core/kobjectlist.h"
#include "core/kobjecttablemodel.h"

#include <QBuffer>
#include <QJsonArray>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

using namespace Folvane;

namespace {

// A plain list of named objects, as the framework gives it.
class NameList : public KObjectList
{
    Q_OBJECT
public:
    explicit NameList(const QStringList& names = {}, bool unique = false)
        : KObjectList(QStringLiteral("Names"))
    {
        setUniqueNames(unique);
        for (const QString& n : names) {
            auto* s = new KObject(this);
            s->setName(n);
            m_sons.append(s);
        }
    }
    void readBinary(QDataStream& in) override
    {
        beginResetModel();
        clearSons();
        readSons(in, Binary::StringBytes, [&] { return new KObject(in, this); });
        endResetModel();
    }
};

} // namespace

class TestKObjectList : public QObject
{
    Q_OBJECT

private slots:
    void addDeleteAndMove();
    void lookups();
    void lookupsOnEmptyList();
    void rowInsertionAndRemoval();
    void listModelRoles();
    void webNames();
    void sonsPropertyKeepsSharedSons();
    void jsonRoundTrip();
    void binaryRoundTripAndTruncation();
    void nameSignals();
    void repeatedNames();
};

void TestKObjectList::addDeleteAndMove()
{
    NameList list({"A", "B", "C"});
    QSignalSpy changed(&list, &KObjectList::sonChanged);
    QVERIFY(list.addSon());
    QCOMPARE(list.count(), 4);
    QCOMPARE(list.ReadSon(3)->name(), QString());
    QCOMPARE(changed.count(), 1);

    NameList single({"Only"});
    QVERIFY(!single.delSon(0));
    QCOMPARE(single.count(), 1);
    QVERIFY(!list.delSon(4));
    QVERIFY(!list.delSon(-1));
    QVERIFY(list.delSon(3));
    QCOMPARE(list.sonNames(), QStringList({"A", "B", "C"}));

    QVERIFY(!list.moveUp(0));
    QVERIFY(!list.moveDown(2));
    QVERIFY(list.moveUp(1));
    QCOMPARE(list.sonNames(), QStringList({"B", "A", "C"}));
    QVERIFY(list.moveDown(1));
    QCOMPARE(list.sonNames(), QStringList({"B", "C", "A"}));
    QVERIFY(!single.moveUp(1));
    QVERIFY(!single.moveDown(0));
}

void TestKObjectList::lookups()
{
    NameList list({"Mat", "Core", "UD"});
    NameList other({"X"});
    Capture capture;
    QCOMPARE(list.ReadSon(-1), list.ReadSon(0));
    QCOMPARE(list.ReadSon(3)->name(), QString("UD"));
    QCOMPARE(list.ReadSonByName("mat")->name(), QString("Mat"));
    QCOMPARE(list.ReadSonByName("nothing")->name(), QString("Mat"));
    QCOMPARE(list.ReadSonInd(list.ReadSon(2)), 2);
    QCOMPARE(list.ReadSonInd(other.ReadSon(0)), 0);
    QCOMPARE(capture.outLines(), QStringList({"KObjectList - ReadSon: index out of range!",
                                              "KObjectList - ReadSon: index out of range!",
                                              "KObjectList - ReadSonInd: cannot find the object"}));
    QCOMPARE(capture.debugLines(), QStringList({"NameList: no item named \"nothing\"; item Mat is used instead"}));
}

void TestKObjectList::lookupsOnEmptyList()
{
    NameList list;
    Capture capture;
    QCOMPARE(list.ReadSon(0), nullptr);
    QCOMPARE(list.ReadSonByName("a"), nullptr);
    QCOMPARE(list.ReadSonInd(nullptr), -1);
    QVERIFY(list.webNames().isEmpty());
    QCOMPARE(capture.outLines(), QStringList({"KObjectList - ReadSon: index out of range!",
                                              "KObjectList - ReadSonByName: objectlist is empty!",
                                              "KObjectList - ReadSonInd: objectlist is empty!"}));
}

void TestKObjectList::rowInsertionAndRemoval()
{
    NameList list({"A", "B"});
    QSignalSpy announced(&list, &QAbstractItemModel::rowsAboutToBeInserted);
    Capture capture;
    QVERIFY(!list.insertRows(3, 1));
    QVERIFY(!list.insertRows(-1, 1));
    QCOMPARE(announced.count(), 0);
    QVERIFY(list.insertRows(1, 2));
    QCOMPARE(list.sonNames(), QStringList({"A", "", "", "B"}));
    QVERIFY(!list.removeRows(4, 1));
    QVERIFY(!list.removeRows(3, 2));
    QVERIFY(list.removeRows(1, 2));
    QCOMPARE(list.sonNames(), QStringList({"A", "B"}));
    list.InsertNewSon(5);
    list.RemoveSon(2);
    QCOMPARE(capture.debugLines(), QStringList({"Manager - insertRows: insert position 3 not valid!",
                                                "Manager - insertRows: insert position -1 not valid!",
                                                "Manager - removeRows: remove position 4 not valid!",
                                                "Manager - removeRows: remove position 3 not valid!",
                                                "NameList - InsertNewSon: index not correct!",
                                                "KObjectList - RemoveSon: index not correct!"}));
}

void TestKObjectList::listModelRoles()
{
    NameList list({"A"});
    const QModelIndex first = list.index(0);
    // The names the views know the list's roles by.
    QCOMPARE(list.roleNames().value(Qt::DisplayRole), QByteArray("name_user"));
    QCOMPARE(list.roleNames().value(Qt::EditRole), QByteArray("name_input"));
    QCOMPARE(list.data(first, Qt::DisplayRole).toString(), QString("A"));
    QVERIFY(!list.data(first, Qt::EditRole).isValid());
    QVERIFY(!list.data(list.index(1), Qt::DisplayRole).isValid());

    QSignalSpy renamed(list.ReadSon(0), &KObject::NameChanged);
    QSignalSpy dataChanged(&list, &QAbstractItemModel::dataChanged);
    QVERIFY(!list.setData(first, "B", Qt::DisplayRole));
    QVERIFY(list.setData(first, "B", Qt::EditRole));
    QCOMPARE(list.ReadSon(0)->name(), QString("B"));
    QCOMPARE(renamed.count(), 1);
    QCOMPARE(dataChanged.count(), 1);  // views of the name follow
}

void TestKObjectList::webNames()
{
    QCOMPARE(NameList({"P1", "P2", "P3"}).webNames(),
             QStringList({"'P1' : 'P2'", "'P2' : 'P3'", "'P3' : 'P1'"}));
    QCOMPARE(NameList({"W"}).webNames(), QStringList({"'W' : 'W'"}));
}

void TestKObjectList::sonsPropertyKeepsSharedSons()
{
    NameList list({"A", "B", "C"});
    QPointer<KObject> a = list.ReadSon(0);
    QPointer<KObject> b = list.ReadSon(1);
    QPointer<KObject> c = list.ReadSon(2);
    auto* d = new KObject;
    d->setName("D");
    list.setProperty("Sons", QVariant::fromValue(QList<QObject*>{c, d, a}));
    QCOMPARE(list.property("Sons").value<QList<QObject*>>().size(), 3);
    QVERIFY(a && c);
    QVERIFY(!b);
    QCOMPARE(list.sonNames(), QStringList({"C", "D", "A"}));
    QCOMPARE(d->parent(), &list);
}

void TestKObjectList::jsonRoundTrip()
{
    NameList list({"A", "B"});
    QJsonObject json;
    json["Names"] = QJsonArray{1, 2};
    list.writeJson(json);
    QCOMPARE(json["Names"].toArray().size(), 2);

    list.readJson(QJsonObject{{"Other", QJsonArray{QJsonObject()}}});
    QCOMPARE(list.count(), 0);
    list.readJson(json);
    QCOMPARE(list.count(), 2);
}

void TestKObjectList::binaryRoundTripAndTruncation()
{
    NameList list({"Left", "Rechts-ä"});
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QDataStream out(&buffer);
        Binary::prepare(out);
        list.writeBinary(out);
    }
    const QByteArray expected = QByteArray::fromHex("02000000" "0400000000000000") + "Left"
        + QByteArray::fromHex("0900000000000000") + QByteArray("Rechts-\xc3\xa4");
    QCOMPARE(bytes, expected);

    for (int cut = 0; cut <= bytes.size(); ++cut) {
        QByteArray part = bytes.left(cut);
        QBuffer buffer(&part);
        buffer.open(QIODevice::ReadOnly);
        QDataStream in(&buffer);
        Binary::prepare(in);
        NameList copy;
        copy.readBinary(in);
        QCOMPARE(in.status() == QDataStream::Ok, cut == bytes.size());
        QVERIFY(cut == bytes.size() ? copy.count() == 2 : copy.count() < 2);
    }

    // A count the rest of the stream cannot hold is refused before any allocation.
    QByteArray huge = QByteArray::fromHex("ffffff7f") + QByteArray(16, 'x');
    QBuffer buffer(&huge);
    buffer.open(QIODevice::ReadOnly);
    QDataStream in(&buffer);
    Binary::prepare(in);
    NameList copy;
    copy.readBinary(in);
    QCOMPARE(copy.count(), 0);
    QCOMPARE(in.status(), QDataStream::ReadCorruptData);
}

void TestKObjectList::nameSignals()
{
    KObject object;
    QSignalSpy spy(&object, &KObject::NameChanged);
    object.setName("x");
    object.setName("x");
    QCOMPARE(spy.count(), 2);
}

// Names a model file repeats are made unique, each with a message, the
// first holder keeping its own; labels may repeat.
void TestKObjectList::repeatedNames()
{
    NameList list({"Mat", "mat", "Mat", "Mat-2"}, true);
    NameList labels({"P", "p"});
    Capture capture;
    list.makeNamesUnique();
    labels.makeNamesUnique();
    QCOMPARE(list.sonNames(), QStringList({"Mat", "mat-3", "Mat-4", "Mat-2"}));
    QCOMPARE(labels.sonNames(), QStringList({"P", "p"}));
    QCOMPARE(capture.outLines(), QStringList({"Names row 2 is renamed 'mat-3': 'mat' and 'Mat' differ only in letter case",
                                              "Names row 3 is renamed 'Mat-4': 'Mat' is used twice"}));
}

QTEST_GUILESS_MAIN(TestKObjectList)
#include "tst_kobjectlist.moc"
