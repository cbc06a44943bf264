#ifndef FOLVANE_TEST_PROCESSES_H
#define FOLVANE_TEST_PROCESSES_H

#include <QStringList>

// What runs on this machine as /proc tells it: the command lines (arguments
// joined by blanks) of the processes that hold a text and work in a folder
// or below it, so that a suite running beside another one sees only its
// own. A table that cannot be read says why, and never reads as "none".
struct Processes
{
    QStringList commandLines;
    QString error;

    bool operator==(const Processes& other) const
    {
        return commandLines == other.commandLines && error == other.error;
    }
};

Processes processesRunning(const QString& text, const QString& folder);

// For Qt Test's comparisons: "none", the command lines or the error.
char* toString(const Processes& processes);

#endif
