#ifndef FOLVANE_TEST_CAPTURE_H
#define FOLVANE_TEST_CAPTURE_H

#include <QStringList>

// Collects both message channels while it lives: the lines of the Qt debug
// stream through a message handler, and standard output through a
// redirection of file descriptor 1 into a temporary file. When the test
// fails, what was captured is echoed, so the failure message (which the
// test library writes to standard output) is not lost.
class Capture
{
public:
    Capture();
    ~Capture();
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    QStringList debugLines() const;
    QStringList outLines();
    // Both lists emptied; capture goes on.
    void clear();

private:
    void restoreStdout();
    int m_savedStdout = -1;
    QString m_path;
    qint64 m_outOffset = 0;
};

// Points HOME at a fresh temporary folder for the rest of the process, so
// no test reads or writes the user's own analysis settings file.
void isolateHome();

#endif
