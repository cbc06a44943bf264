#include "processes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

namespace {

QString commandLine(const QString& pid)
{
    QFile file("/proc/" + pid + "/cmdline");
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QByteArray bytes = file.readAll();
    if (bytes.endsWith('\0'))
        bytes.chop(1);
    return QString::fromLocal8Bit(bytes.replace('\0', ' '));
}

bool worksUnder(const QString& pid, const QString& folder)
{
    const QString cwd = QFileInfo("/proc/" + pid + "/cwd").symLinkTarget();
    return cwd == folder || cwd.startsWith(folder + '/');
}

} // namespace

Processes processesRunning(const QString& text, const QString& folder)
{
    Processes found;
    const QString self = QString::number(QCoreApplication::applicationPid());
    const QStringList pids = QDir("/proc").entryList({"[0-9]*"}, QDir::Dirs);
    // The test's own process is always there: if it cannot be seen, nothing can.
    if (!pids.contains(self) || commandLine(self).isEmpty() || !worksUnder(self, QDir::currentPath())) {
        found.error = "the process table in /proc cannot be read";
        return found;
    }
    const QString root = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty()) {
        found.error = "the folder " + folder + " does not exist";
        return found;
    }
    for (const QString& pid : pids) {
        // A process may end while it is looked at: it no longer runs.
        const QString line = commandLine(pid);
        if (pid != self && line.contains(text) && worksUnder(pid, root))
            found.commandLines << line;
    }
    return found;
}

char* toString(const Processes& processes)
{
    const QString text = !processes.error.isEmpty() ? processes.error
        : processes.commandLines.isEmpty()          ? QStringLiteral("none")
                                                    : processes.commandLines.join(" | ");
    return QTest::toString(text);
}
