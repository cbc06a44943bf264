#ifndef FOLVANE_MESSAGELOG_H
#define FOLVANE_MESSAGELOG_H

#include <QAbstractListModel>
#include <QStringList>
#include <vector>

namespace Folvane {

// The messages of the document and its lists on both channels, for the
// window's message pane: every line as it is printed (Qt's own messages
// stay on the console), and the failures of the window's actions with the
// lines that say why. One log per window mode; it prints nothing itself.
class MessageLog : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(QString Last READ last NOTIFY LastChanged)
    Q_PROPERTY(QString LastFailure READ lastFailure NOTIFY LastChanged)

public:
    enum Roles { TextRole = Qt::UserRole + 1, KindRole };
    // What a line is: a message, a message given as a failure's reason, or
    // the failure itself.
    enum Kind { Message, Reason, Failure };

    explicit MessageLog(QObject* parent = nullptr);
    ~MessageLog() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    QString last() const;
    QString lastFailure() const { return m_lastFailure; }
    // The lines so far, as the pane shows them.
    QStringList lines() const;

    // An action starts: the lines from here on may become its failure's
    // reasons.
    Q_INVOKABLE void begin();
    // The action failed: the failure, and the lines since begin() as its
    // reasons.
    Q_INVOKABLE void failed(const QString& what);
    Q_INVOKABLE void clear();
    void append(const QString& text);

    // The pane keeps the latest lines, not a whole session's.
    static constexpr int MaxLines = 5000;

signals:
    void LastChanged();

private:
    struct Line
    {
        QString text;
        Kind kind;
    };
    std::vector<Line> m_lines;
    int m_actionStart = -1;
    QString m_lastFailure;
};

} // namespace Folvane

#endif
