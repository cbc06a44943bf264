#include "core/processtree.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <map>
#include <vector>

namespace Folvane {

void killProcessTree(qint64 root)
{
    if (root <= 0)
        return;
    std::map<qint64, std::vector<qint64>> children;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        QFile stat(QStringLiteral("/proc/") + entry + QStringLiteral("/stat"));
        if (!isPid || !stat.open(QIODevice::ReadOnly))
            continue;
        // pid (command) state ppid ...: the command may hold blanks and brackets.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> rest = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (rest.size() > 1)
            children[rest[1].toLongLong()].push_back(pid);
    }
    std::vector<qint64> tree{root};
    for (size_t i = 0; i < tree.size(); ++i)
        for (qint64 child : children[tree[i]])
            tree.push_back(child);
    // Stopped first, so that none starts another while the rest are ended.
    for (qint64 pid : tree)
        ::kill(pid_t(pid), SIGSTOP);
    for (qint64 pid : tree)
        ::kill(pid_t(pid), SIGKILL);
}

} // namespace Folvane
