#ifndef FOLVANE_KOBJECTLIST_H
#define FOLVANE_KOBJECTLIST_H

#include "core/binaryio.h"
#include "core/kobject.h"
#include "core/kobjecttablemodel.h"

#include <QAbstractListModel>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QStringList>

namespace Folvane {

// The objects of type T in an untyped list, as the interface hands lists in.
template <typename T>
QList<T*> objectsOfType(const QList<QObject*>& objects)
{
    QList<T*> typed;
    for (QObject* o : objects) {
        if (auto* t = qobject_cast<T*>(o))
            typed << t;
    }
    return typed;
}

class ParameterList;

// A reference one list's son (or a part of it) makes to a son of another
// list: what it refers to, and who refers, as messages name it ("pattern
// UNIAX").
struct SonUse
{
    const KObject* used;
    QString user;
};

// A named list of KObjects that is also the Qt list model the interface
// shows, edits and reorders. The list owns its sons.
class KObjectList : public QAbstractListModel
{
    Q_OBJECT
    // The interface can index only lists of QObject*: the property has that
    // type, the C++ accessors keep the sons' own.
    Q_PROPERTY(QList<QObject*> Sons READ sonObjects WRITE setSonObjects NOTIFY SonsChanged)
    Q_PROPERTY(Folvane::KObjectTableModel* TableModel READ tableModel WRITE setTableModel NOTIFY TableModelChanged)
    Q_PROPERTY(QStringList SonNames READ sonNames NOTIFY SonNamesChanged)
    Q_PROPERTY(QStringList WebNames READ webNames NOTIFY SonNamesChanged)

public:
    enum NameRoles { NameUserRole = Qt::DisplayRole, NameInputRole = Qt::EditRole };

    explicit KObjectList(const QString& name, QObject* parent = nullptr);

    QString name() const { return m_name; }
    void setName(const QString& name);

    QList<KObject*> sons() const { return m_sons; }
    void setSons(const QList<KObject*>& sons);
    QList<QObject*> sonObjects() const;
    void setSonObjects(const QList<QObject*>& sons);
    int count() const { return m_sons.size(); }

    KObjectTableModel* tableModel() const { return m_tableModel; }
    void setTableModel(KObjectTableModel* model);

    int minSonNum() const { return m_minSonNum; }
    QStringList sonNames() const;
    QStringList webNames() const;

    // References to sons of other lists use these quiet forms: the position
    // of a son, -1 for none; the son at an index, the first son when the
    // index lies outside the list, null for an empty list.
    int indexOfSon(const KObject* son) const;
    KObject* sonOrFirst(int ind) const;

    KObject* ReadSon(int ind) const;

    // A reference by name; when no son has the name, the first son stands
    // in and the user's message says so.
    KObject* ReadSonByName(const QString& name, const QString& user = QString()) const;
    // A reference by index read from a file: one outside the list is
    // reported for its user and the first son stands in; null for an empty
    // list.
    KObject* referredSon(int ind, const QString& user) const;

    // The references this list's sons make to sons of other lists.
    virtual void addUses(QList<SonUse>& uses) const;
    // Who, in the whole document, refers to the son at ind; each named once.
    QStringList usersOf(int ind) const;
    // A son in use is not deleted: true, with a message per son (also
    // said by removalRefused), when a son of the rows is in use.
    bool refusesRemoval(int row, int count);
    int ReadSonInd(const KObject* son) const;

    virtual void readBinary(QDataStream& in);
    virtual void writeBinary(QDataStream& out) const;
    virtual void clearSons();
    virtual void appendSonFromJson(const QJsonObject& json);
    virtual void readJson(const QJsonObject& json);
    // The sons' objects in an exchange document.
    virtual QJsonArray jsonSons(const QJsonObject& json) const;
    virtual void writeJson(QJsonObject& json) const;
    virtual void InsertNewSon(int ind);
    // Removes the son whether or not it is in use; what the user deletes
    // goes through removeRows, which refuses a son in use.
    virtual void RemoveSon(int ind);
    virtual void reserved();
    Q_INVOKABLE virtual bool changeObject(int ind);
    virtual ParameterList* parameterList() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

    // The names and header texts every named-row model shares with KFile.
    static QHash<int, QByteArray> nameRoleNames();
    static QVariant headerText(int section, Qt::Orientation orientation, int role);

    // Renames a son in place: views of its name follow, views of its own
    // rows are not rebuilt.
    Q_INVOKABLE bool renameSon(int row, const QString& name);

    // Names are one rule for the whole program: letter case does not tell
    // two apart (the solvers ignore it, as the name lookup does), and none
    // holds a control character (it would break a deck's or a message's
    // lines). Lists whose sons are referred to by name, or whose names reach
    // a solver, hold each name once; the others may repeat one.
    static bool sameName(const QString& a, const QString& b);
    static bool hasControlCharacter(const QString& name);
    // The name in quotes, control characters written as escapes.
    static QString quoted(const QString& name);
    // What is wrong with a name on its own (a control character), or an
    // empty text.
    static QString nameFault(const QString& name);
    // Why name may not stand beside other, a son's name that is the same
    // ignoring case; same says it of one that is the same exactly.
    static QString nameClash(const QString& name, const QString& other, const char* same = "is used twice");
    bool uniqueNames() const { return m_uniqueNames; }
    // Why a file's names cannot be this list's sons' (the first fault), or
    // an empty text.
    QString namesProblem(const QStringList& names) const;
    // Renames son, unless the name holds a control character or, in a list
    // of unique names, is another son's: then it keeps its name, a message
    // says why and the reason is returned (empty when renamed), as a table
    // cell that refuses a value returns it.
    QString rename(KObject* son, const QString& name);
    // Renames every son whose name an earlier one holds to the first free
    // name after it, with a message each.
    void makeNamesUnique();

public slots:
    bool addSon();
    bool delSon(int pos);
    bool moveUp(int pos);
    bool moveDown(int pos);
    void updateModel();

signals:
    void NameChanged();
    void SonsChanged();
    void TableModelChanged();
    void sonChanged();
    void ModelUpdated();
    void SonNamesChanged();
    void sonRemoved(int ind);
    void removalRefused(const QString& message);

protected:
    template <typename T>
    T* son(int i) const { return static_cast<T*>(m_sons.at(i)); }

    // Inserts make() at ind when 0 <= ind <= size; otherwise writes the
    // list's "InsertNewSon: index not correct!" message. True if inserted.
    // In a list of unique names the new son takes a free one.
    template <typename Make>
    bool insertSon(int ind, Make make)
    {
        if (ind < 0 || ind > m_sons.size()) {
            reportBadInsert();
            return false;
        }
        KObject* son = make();
        m_sons.insert(ind, son);
        if (m_uniqueNames)
            son->setName(freeName(son->name(), son));
        return true;
    }

    // Reads a 32-bit count and that many sons built by make(), stopping at
    // the first record the stream cannot supply.
    template <typename Make>
    void readSons(QDataStream& in, qint64 minRecordBytes, Make make)
    {
        const qint32 n = Binary::readCount(in, minRecordBytes);
        for (qint32 i = 0; i < n && in.status() == QDataStream::Ok; ++i) {
            KObject* s = make();
            if (in.status() != QDataStream::Ok) {
                delete s;
                break;
            }
            m_sons.append(s);
        }
    }

    void deleteSonsFromLast();
    void setUniqueNames(bool unique) { m_uniqueNames = unique; }
    // What a son is called in messages: "material", "single layer".
    void setSonKind(const QString& kind) { m_sonKind = kind; }

    QList<KObject*> m_sons;
    int m_minSonNum = 1;

private:
    void reportBadInsert() const;
    // The son other than except that holds name ignoring case, or null.
    KObject* holderOf(const QString& name, const KObject* except) const;
    // name, or the first of name-2, name-3, ... that no son but except holds.
    QString freeName(const QString& name, const KObject* except) const;
    void reportStandIn(const QString& user, const QString& missing) const;

    bool m_uniqueNames = false;
    QString m_name;
    QString m_sonKind = QStringLiteral("item");
    KObjectTableModel* m_tableModel = nullptr;
};

} // namespace Folvane

#endif
