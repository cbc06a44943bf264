#include "capture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <QTemporaryFile>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace {

QStringList* g_debugLines = nullptr;
QtMessageHandler g_previousHandler = nullptr;

void collect(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (g_debugLines && type == QtDebugMsg)
        g_debugLines->append(text);
    else if (g_previousHandler)
        g_previousHandler(type, context, text);
}

QStringList splitLines(const QByteArray& bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

Capture::Capture()
{
    g_debugLines = new QStringList;
    g_previousHandler = qInstallMessageHandler(collect);

    QTemporaryFile file;
    file.setAutoRemove(false);
    file.open();
    m_path = file.fileName();
    file.close();
    std::cout.flush();
    std::fflush(stdout);
    m_savedStdout = dup(STDOUT_FILENO);
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_TRUNC);
    dup2(fd, STDOUT_FILENO);
    ::close(fd);
}

Capture::~Capture()
{
    const bool failed = QTest::currentTestFailed();
    const QByteArray captured = failed ? outLines().join('\n').toUtf8() : QByteArray();
    restoreStdout();
    if (failed) {
        std::fwrite(captured.constData(), 1, size_t(captured.size()), stdout);
        std::fputc('\n', stdout);
        for (const QString& line : qAsConst(*g_debugLines))
            std::fprintf(stdout, "QDEBUG : %s\n", qPrintable(line));
        std::fflush(stdout);
    }
    QFile::remove(m_path);
    qInstallMessageHandler(g_previousHandler);
    delete g_debugLines;
    g_debugLines = nullptr;
}

void Capture::restoreStdout()
{
    if (m_savedStdout < 0)
        return;
    std::cout.flush();
    std::fflush(stdout);
    dup2(m_savedStdout, STDOUT_FILENO);
    ::close(m_savedStdout);
    m_savedStdout = -1;
}

QStringList Capture::debugLines() const
{
    return *g_debugLines;
}

QStringList Capture::outLines()
{
    std::cout.flush();
    std::fflush(stdout);
    QFile file(m_path);
    file.open(QIODevice::ReadOnly);
    file.seek(m_outOffset);
    return splitLines(file.readAll());
}

void Capture::clear()
{
    g_debugLines->clear();
    std::cout.flush();
    std::fflush(stdout);
    m_outOffset = QFile(m_path).size();
}

void isolateHome()
{
    static QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
}
