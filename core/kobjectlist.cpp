#include "core/kobjectlist.h"

#include "core/kfile.h"
#include "core/kobjecttablemodel.h"
#include "core/messages.h"
#include "core/parameterlist.h"

#include <QJsonArray>
#include <algorithm>

namespace Folvane {

KObjectList::KObjectList(const QString& name, QObject* parent)
    : QAbstractListModel(parent)
    , m_name(name)
{
    // Whatever replaces, adds, removes or reorders sons (a file read among
    // them) goes through the model's signals, ...
    auto sonsChanged = [this] {
        emit SonsChanged();
        emit SonNamesChanged();
    };
    connect(this, &QAbstractItemModel::modelReset, this, sonsChanged);
    connect(this, &QAbstractItemModel::rowsInserted, this, sonsChanged);
    connect(this, &QAbstractItemModel::rowsRemoved, this, sonsChanged);
    connect(this, &QAbstractItemModel::rowsMoved, this, sonsChanged);
    // and so do the table models' inserts and removals, which say sonChanged.
    connect(this, &KObjectList::sonChanged, this, sonsChanged);
    connect(this, &QAbstractItemModel::dataChanged, this, &KObjectList::SonNamesChanged);
}

void KObjectList::setName(const QString& name)
{
    m_name = name;
    emit NameChanged();
}

void KObjectList::setSons(const QList<KObject*>& sons)
{
    beginResetModel();
    for (int i = m_sons.size() - 1; i >= 0; --i) {
        if (!sons.contains(m_sons.at(i)))
            delete m_sons.at(i);
    }
    m_sons = sons;
    for (KObject* s : qAsConst(m_sons))
        s->setParent(this);
    endResetModel();
}

QList<QObject*> KObjectList::sonObjects() const
{
    return QList<QObject*>(m_sons.begin(), m_sons.end());
}

void KObjectList::setSonObjects(const QList<QObject*>& sons)
{
    setSons(objectsOfType<KObject>(sons));
}

void KObjectList::setTableModel(KObjectTableModel* model)
{
    m_tableModel = model;
    emit TableModelChanged();
}

QStringList KObjectList::sonNames() const
{
    QStringList names;
    names.reserve(m_sons.size());
    for (const KObject* s : m_sons)
        names << s->name();
    return names;
}

QStringList KObjectList::webNames() const
{
    QStringList pairs;
    const int n = m_sons.size();
    for (int i = 0; i < n; ++i) {
        pairs << QStringLiteral("'%1' : '%2'")
                     .arg(m_sons.at(i)->name(), m_sons.at((i + 1) % n)->name());
    }
    return pairs;
}

int KObjectList::indexOfSon(const KObject* son) const
{
    return son ? m_sons.indexOf(const_cast<KObject*>(son)) : -1;
}

KObject* KObjectList::sonOrFirst(int ind) const
{
    if (ind >= 0 && ind < m_sons.size())
        return m_sons.at(ind);
    return m_sons.isEmpty() ? nullptr : m_sons.first();
}

KObject* KObjectList::ReadSon(int ind) const
{
    if (ind >= 0 && ind < m_sons.size())
        return m_sons.at(ind);
    outLine(QStringLiteral("KObjectList - ReadSon: index out of range!"));
    if (m_sons.isEmpty())
        return nullptr;
    return ind < 0 ? m_sons.first() : m_sons.last();
}

KObject* KObjectList::ReadSonByName(const QString& name, const QString& user) const
{
    if (m_sons.isEmpty()) {
        outLine(QStringLiteral("KObjectList - ReadSonByName: objectlist is empty!"));
        return nullptr;
    }
    for (KObject* s : m_sons) {
        if (sameName(s->name(), name))
            return s;
    }
    reportStandIn(user, QStringLiteral("named \"%1\"").arg(name));
    return m_sons.first();
}

KObject* KObjectList::referredSon(int ind, const QString& user) const
{
    if (ind >= 0 && ind < m_sons.size())
        return m_sons.at(ind);
    if (m_sons.isEmpty())
        return nullptr;
    reportStandIn(user, QStringLiteral("number %1").arg(qint64(ind) + 1));
    return m_sons.first();
}

void KObjectList::reportStandIn(const QString& user, const QString& missing) const
{
    debugLine(QStringLiteral("%1: no %2 %3; %2 %4 is used instead")
                  .arg(user.isEmpty() ? Folvane::className(this) : user, m_sonKind, missing, m_sons.first()->name()));
}

void KObjectList::addUses(QList<SonUse>&) const {}

QStringList KObjectList::usersOf(int ind) const
{
    auto* file = qobject_cast<KFile*>(parent());
    if (!file || ind < 0 || ind >= m_sons.size())
        return {};
    // References may be linked values (a web's profile numbers).
    if (ParameterList* parameters = parameterList())
        parameters->resetEngine();
    QList<SonUse> uses;
    for (const KObjectList* list : file->models()) {
        if (list)
            list->addUses(uses);
    }
    QStringList users;
    for (const SonUse& use : qAsConst(uses)) {
        if (use.used == m_sons.at(ind) && !users.contains(use.user))
            users << use.user;
    }
    return users;
}

bool KObjectList::refusesRemoval(int row, int count)
{
    bool refused = false;
    for (int i = std::max(row, 0); i < std::min(row + count, int(m_sons.size())); ++i) {
        const QStringList users = usersOf(i);
        if (users.isEmpty())
            continue;
        QString kind = m_sonKind;
        kind[0] = kind[0].toUpper();
        const QString message = QStringLiteral("%1 %2 is used by %3; it is not deleted")
                                    .arg(kind, m_sons.at(i)->name(), users.join(QStringLiteral(", ")));
        outLine(message);
        emit removalRefused(message);
        refused = true;
    }
    return refused;
}

int KObjectList::ReadSonInd(const KObject* son) const
{
    if (m_sons.isEmpty()) {
        outLine(QStringLiteral("KObjectList - ReadSonInd: objectlist is empty!"));
        return -1;
    }
    const int ind = m_sons.indexOf(const_cast<KObject*>(son));
    if (ind < 0) {
        outLine(QStringLiteral("KObjectList - ReadSonInd: cannot find the object"));
        return 0;
    }
    return ind;
}

void KObjectList::readBinary(QDataStream&) {}

void KObjectList::writeBinary(QDataStream& out) const
{
    Binary::writeInt(out, m_sons.size());
    for (const KObject* s : m_sons)
        s->writeBinary(out);
}

void KObjectList::deleteSonsFromLast()
{
    while (!m_sons.isEmpty())
        delete m_sons.takeLast();
}

void KObjectList::clearSons()
{
    deleteSonsFromLast();
}

void KObjectList::appendSonFromJson(const QJsonObject& json)
{
    m_sons.append(new KObject(json, this));
}

void KObjectList::readJson(const QJsonObject& json)
{
    beginResetModel();
    clearSons();
    const QJsonArray array = jsonSons(json);
    for (const QJsonValue& element : array)
        appendSonFromJson(element.toObject());
    changeObject(0);
    endResetModel();
}

QJsonArray KObjectList::jsonSons(const QJsonObject& json) const
{
    return json.value(m_name).toArray();
}

void KObjectList::writeJson(QJsonObject& json) const
{
    QJsonArray array;
    for (const KObject* s : m_sons) {
        QJsonObject object;
        s->writeJson(object);
        array.append(object);
    }
    json[m_name] = array;
}

void KObjectList::reportBadInsert() const
{
    debugLine(Folvane::className(this) + QStringLiteral(" - InsertNewSon: index not correct!"));
}

void KObjectList::InsertNewSon(int ind)
{
    if (insertSon(ind, [this] { return new KObject(this); }))
        emit sonChanged();
}

void KObjectList::RemoveSon(int ind)
{
    if (ind < 0 || ind >= m_sons.size()) {
        debugLine(QStringLiteral("KObjectList - RemoveSon: index not correct!"));
        return;
    }
    delete m_sons.takeAt(ind);
    emit sonRemoved(ind);
    emit sonChanged();
}

void KObjectList::reserved() {}

bool KObjectList::changeObject(int)
{
    return false;
}

ParameterList* KObjectList::parameterList() const
{
    if (auto* file = qobject_cast<KFile*>(parent()))
        return file->parameterList();
    return nullptr;
}

int KObjectList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_sons.size();
}

QVariant KObjectList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_sons.size() || role != NameUserRole)
        return QVariant();
    return m_sons.at(index.row())->name();
}

bool KObjectList::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= m_sons.size() || role != NameInputRole)
        return false;
    if (!rename(m_sons.at(index.row()), value.toString()).isEmpty())
        return false;
    emit dataChanged(index, index);
    return true;
}

bool KObjectList::renameSon(int row, const QString& name)
{
    return setData(index(row), name, NameInputRole);
}

bool KObjectList::sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool KObjectList::hasControlCharacter(const QString& name)
{
    return std::any_of(name.begin(), name.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

QString KObjectList::quoted(const QString& name)
{
    QString text(QLatin1Char('\''));
    for (QChar c : name) {
        if (c == QLatin1Char('\n'))
            text += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            text += QLatin1String("\\r");
        else if (c == QLatin1Char('\t'))
            text += QLatin1String("\\t");
        else if (c.category() == QChar::Other_Control)
            text += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            text += c;
    }
    return text + QLatin1Char('\'');
}

QString KObjectList::nameFault(const QString& name)
{
    return hasControlCharacter(name) ? quoted(name) + QStringLiteral(" holds a control character") : QString();
}

QString KObjectList::nameClash(const QString& name, const QString& other, const char* same)
{
    if (name == other)
        return quoted(name) + QLatin1Char(' ') + QLatin1String(same);
    return quoted(name) + QStringLiteral(" and ") + quoted(other) + QStringLiteral(" differ only in letter case");
}

QString KObjectList::namesProblem(const QStringList& names) const
{
    for (const QString& name : names) {
        const QString fault = nameFault(name);
        if (!fault.isEmpty())
            return fault;
    }
    if (!m_uniqueNames)
        return QString();
    for (int i = 1; i < names.size(); ++i) {
        for (int j = 0; j < i; ++j) {
            if (sameName(names[i], names[j]))
                return nameClash(names[i], names[j]);
        }
    }
    return QString();
}

KObject* KObjectList::holderOf(const QString& name, const KObject* except) const
{
    for (KObject* s : m_sons) {
        if (s != except && sameName(s->name(), name))
            return s;
    }
    return nullptr;
}

QString KObjectList::freeName(const QString& name, const KObject* except) const
{
    QString free = name;
    for (int k = 2; holderOf(free, except); ++k)
        free = name + QLatin1Char('-') + QString::number(k);
    return free;
}

QString KObjectList::rename(KObject* son, const QString& name)
{
    QString problem = nameFault(name);
    if (problem.isEmpty()) {
        if (const KObject* holder = m_uniqueNames ? holderOf(name, son) : nullptr)
            problem = nameClash(name, holder->name(), "is taken");
    }
    if (problem.isEmpty()) {
        son->setName(name);
        return problem;
    }
    const QString why = quoted(son->name()) + QStringLiteral(" keeps its name: ") + problem;
    outLine(className(this) + QStringLiteral(" - rename: ") + why);
    return why;
}

void KObjectList::makeNamesUnique()
{
    if (!m_uniqueNames)
        return;
    for (int i = 1; i < m_sons.size(); ++i) {
        KObject* son = m_sons.at(i);
        const auto earlier = m_sons.begin() + i;
        const auto holder = std::find_if(m_sons.begin(), earlier,
                                         [&](const KObject* s) { return sameName(s->name(), son->name()); });
        if (holder == earlier)
            continue;
        const QString name = freeName(son->name(), son);
        outLine(QStringLiteral("%1 row %2 is renamed %3: ").arg(m_name).arg(i + 1).arg(quoted(name))
                + nameClash(son->name(), (*holder)->name()));
        son->setName(name);
    }
}

Qt::ItemFlags KObjectList::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsEnabled;
    return QAbstractListModel::flags(index) | Qt::ItemIsEditable;
}

QVariant KObjectList::headerData(int section, Qt::Orientation orientation, int role) const
{
    return headerText(section, orientation, role);
}

QHash<int, QByteArray> KObjectList::roleNames() const
{
    return nameRoleNames();
}

QHash<int, QByteArray> KObjectList::nameRoleNames()
{
    return {{NameUserRole, "name_user"}, {NameInputRole, "name_input"}};
}

QVariant KObjectList::headerText(int section, Qt::Orientation orientation, int role)
{
    if (role != Qt::DisplayRole)
        return QVariant();
    return orientation == Qt::Horizontal ? QStringLiteral("Column %1").arg(section)
                                         : QStringLiteral("Row %1").arg(section);
}

bool KObjectList::insertRows(int row, int count, const QModelIndex& parent)
{
    if (row < 0 || row > m_sons.size() || count < 1) {
        debugLine(QStringLiteral("Manager - insertRows: insert position %1 not valid!").arg(row));
        return false;
    }
    beginInsertRows(parent, row, row + count - 1);
    for (int i = 0; i < count; ++i)
        InsertNewSon(row);
    endInsertRows();
    return true;
}

bool KObjectList::removeRows(int row, int count, const QModelIndex& parent)
{
    if (row < 0 || count < 1 || row + count > m_sons.size()) {
        debugLine(QStringLiteral("Manager - removeRows: remove position %1 not valid!").arg(row));
        return false;
    }
    if (refusesRemoval(row, count))
        return false;
    beginRemoveRows(parent, row, row + count - 1);
    for (int i = 0; i < count; ++i)
        RemoveSon(row);
    endRemoveRows();
    return true;
}

bool KObjectList::addSon()
{
    return insertRow(m_sons.size());
}

bool KObjectList::delSon(int pos)
{
    if (m_sons.size() <= m_minSonNum || pos < 0 || pos >= m_sons.size())
        return false;
    return removeRow(pos);
}

bool KObjectList::moveUp(int pos)
{
    if (m_sons.size() < 2 || pos < 1 || pos > m_sons.size() - 1)
        return false;
    beginResetModel();
    m_sons.swapItemsAt(pos, pos - 1);
    endResetModel();
    return true;
}

bool KObjectList::moveDown(int pos)
{
    if (m_sons.size() < 2 || pos < 0 || pos > m_sons.size() - 2)
        return false;
    beginResetModel();
    m_sons.swapItemsAt(pos, pos + 1);
    endResetModel();
    return true;
}

void KObjectList::updateModel()
{
    beginResetModel();
    endResetModel();
    if (m_tableModel)
        m_tableModel->updateTable();
}

} // namespace Folvane
