#include "core/messages.h"

#include "core/textbuffer.h"

#include <QDebug>
#include <QObject>
#include <cstdio>
#include <iostream>

namespace Folvane {

void debugLine(const QString& text)
{
    qDebug().noquote() << text;
}

namespace {
OutLineEcho g_outEcho = nullptr;
}

void setOutLineEcho(OutLineEcho echo)
{
    g_outEcho = echo;
}

void outLine(const QString& text)
{
    std::cout << text.toStdString() << std::endl;
    if (g_outEcho)
        g_outEcho(text);
}

namespace {

// The handler that the innermost quiet scope passes other messages to.
QtMessageHandler g_beforeQuiet = nullptr;

void dropDebug(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtDebugMsg && g_beforeQuiet)
        g_beforeQuiet(type, context, text);
}

} // namespace

QuietDebug::QuietDebug()
    : m_savedBefore(g_beforeQuiet)
{
    // A nested scope keeps passing to the handler of the outer one.
    const QtMessageHandler previous = qInstallMessageHandler(dropDebug);
    if (previous != dropDebug)
        g_beforeQuiet = previous;
    m_previous = previous;
}

QuietDebug::~QuietDebug()
{
    qInstallMessageHandler(m_previous);
    g_beforeQuiet = m_savedBefore;
}

QString className(const QObject* object)
{
    return QString::fromLatin1(object->metaObject()->className()).section(QStringLiteral("::"), -1);
}

QString formatNumber(double value)
{
    char buffer[32];
    return QString::fromLatin1(buffer, formatG(buffer, value));
}

} // namespace Folvane
