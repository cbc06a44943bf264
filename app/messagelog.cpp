#include "app/messagelog.h"

#include "core/messages.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

namespace Folvane {

namespace {

QPointer<MessageLog> g_log;
QtMessageHandler g_previous = nullptr;

// Lines may come from any thread; the log lives in the main one.
void post(const QString& text)
{
    if (!g_log)
        return;
    if (QThread::currentThread() == g_log->thread())
        g_log->append(text);
    else
        QMetaObject::invokeMethod(g_log.data(), [text] { if (g_log) g_log->append(text); }, Qt::QueuedConnection);
}

// The document's messages are plain debug lines; Qt's own (a category of
// its own, or a warning of the QML engine) stay on the console.
bool fromTheDocument(QtMsgType type, const QMessageLogContext& context)
{
    return type == QtDebugMsg && (!context.category || qstrcmp(context.category, "default") == 0);
}

void handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (g_previous)
        g_previous(type, context, text);
    if (fromTheDocument(type, context))
        post(text);
}

} // namespace

MessageLog::MessageLog(QObject* parent)
    : QAbstractListModel(parent)
{
    g_log = this;
    g_previous = qInstallMessageHandler(handle);
    setOutLineEcho(post);
}

MessageLog::~MessageLog()
{
    setOutLineEcho(nullptr);
    // A handler installed after this one stays.
    const QtMessageHandler current = qInstallMessageHandler(g_previous);
    if (current != handle)
        qInstallMessageHandler(current);
    g_log = nullptr;
}

int MessageLog::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

QVariant MessageLog::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    const Line& line = m_lines[size_t(index.row())];
    switch (role) {
    case TextRole: return line.text;
    case KindRole: return int(line.kind);
    default: return QVariant();
    }
}

QHash<int, QByteArray> MessageLog::roleNames() const
{
    return {{TextRole, "text"}, {KindRole, "kind"}};
}

QString MessageLog::last() const
{
    return m_lines.empty() ? QString() : m_lines.back().text;
}

QStringList MessageLog::lines() const
{
    QStringList texts;
    for (const Line& l : m_lines)
        texts << l.text;
    return texts;
}

void MessageLog::append(const QString& text)
{
    // One row a line, as the channels print them.
    const QStringList parts = text.split(QLatin1Char('\n'));
    if (int(m_lines.size()) + parts.size() > MaxLines) {
        const int drop = std::min(int(m_lines.size()), int(m_lines.size()) + parts.size() - MaxLines);
        beginRemoveRows(QModelIndex(), 0, drop - 1);
        m_lines.erase(m_lines.begin(), m_lines.begin() + drop);
        m_actionStart = std::max(-1, m_actionStart - drop);
        endRemoveRows();
    }
    beginInsertRows(QModelIndex(), rowCount(), rowCount() + parts.size() - 1);
    for (const QString& part : parts)
        m_lines.push_back({part, Message});
    endInsertRows();
    emit LastChanged();
}

void MessageLog::begin()
{
    m_actionStart = rowCount();
}

void MessageLog::failed(const QString& what)
{
    const int from = std::max(m_actionStart, 0);
    for (int i = from; i < rowCount(); ++i)
        m_lines[size_t(i)].kind = Reason;
    if (from < rowCount())
        emit dataChanged(index(from), index(rowCount() - 1), {KindRole});
    m_lastFailure = what;
    beginInsertRows(QModelIndex(), rowCount(), rowCount());
    m_lines.push_back({what, Failure});
    endInsertRows();
    m_actionStart = -1;
    emit LastChanged();
}

void MessageLog::clear()
{
    beginResetModel();
    m_lines.clear();
    endResetModel();
    m_actionStart = -1;
    m_lastFailure.clear();
    emit LastChanged();
}

} // namespace Folvane
