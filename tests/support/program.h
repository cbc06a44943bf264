#ifndef FOLVANE_TEST_PROGRAM_H
#define FOLVANE_TEST_PROGRAM_H

#include <QStringList>
#include <QTemporaryDir>

struct ProgramRun
{
    // -1 while still running, -2 after a crash.
    int exitCode = -1;
    QString out;
    QString err;
    bool stillRunning = false;
};

// Runs the program with its own home folder. A run still going after waitMs
// (the window mode) is stopped and reported as running; given untilErr, so is
// one still going once its standard error holds that text.
ProgramRun runProgram(const QStringList& arguments, const QString& home, const QString& workingFolder = QString(),
                      int waitMs = 300000, const QString& untilErr = QString());

// A coarse default blade (mesh size 1000) whose spar cap thickness follows
// the parameter P (0.5 to 1.5 in steps of 10^-digits), a population of 4 and
// bounds that every design of it meets.
void writeOptimisationModel(const QString& path, const QString& bladeName = QString(), int digits = 1);

// A temporary folder with home/ and work/, whose analysis settings run
// CalculiX in work/.
class ProgramFolder
{
public:
    ProgramFolder();
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // Runs in the given subfolder (created if missing), or the folder itself.
    ProgramRun run(const QStringList& arguments, const QString& subfolder = QString(), int waitMs = 300000) const;

private:
    QTemporaryDir m_dir;
};

#endif
