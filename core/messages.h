#ifndef FOLVANE_MESSAGES_H
#define FOLVANE_MESSAGES_H

#include <QString>
#include <QtGlobal>

class QObject;

namespace Folvane {

// The two message channels: the Qt debug stream and standard output.
// Both print the text exactly, one message per line.
void debugLine(const QString& text);
void outLine(const QString& text);

// A window that shows the messages too gets every standard-output line
// here (the debug stream it reads through Qt's message handler); none by
// default.
using OutLineEcho = void (*)(const QString& text);
void setOutLineEcho(OutLineEcho echo);

// While it lives, debug-stream messages are dropped; other kinds pass on.
// For trial work whose messages would be repeated by the real work.
class QuietDebug
{
public:
    QuietDebug();
    ~QuietDebug();
    QuietDebug(const QuietDebug&) = delete;
    QuietDebug& operator=(const QuietDebug&) = delete;

private:
    QtMessageHandler m_previous;
    QtMessageHandler m_savedBefore;
};

// The object's class name without the namespace, as messages start with it.
QString className(const QObject* object);

// Numbers as the default text stream prints them: printf's %g.
QString formatNumber(double value);

} // namespace Folvane

#endif
