#include "program.h"

#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "blade/koptsetting.h"
#include "blade/kpattern.h"
#include "core/messages.h"
#include "core/parameter.h"
#include "core/parameterlist.h"
#include "geometry/kprofilelist.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

ProgramRun runProgram(const QStringList& arguments, const QString& home, const QString& workingFolder, int waitMs,
                      const QString& untilErr)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    // The window needs OpenGL: the suite runs its tests on a virtual X display.
    env.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(env);
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(FOLVANE_BINARY, arguments);
    ProgramRun run;
    QByteArray err;
    if (untilErr.isEmpty()) {
        process.waitForFinished(waitMs);
    } else {
        QElapsedTimer clock;
        clock.start();
        while (process.state() != QProcess::NotRunning && !err.contains(untilErr.toUtf8()) && clock.elapsed() < waitMs) {
            process.waitForReadyRead(100);
            err += process.readAllStandardError();
        }
    }
    if (process.state() != QProcess::NotRunning) {
        run.stillRunning = true;
        process.kill();
        process.waitForFinished();
    } else {
        run.exitCode = process.exitCode();
    }
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(err + process.readAllStandardError());
    // A crash's exit code is its signal's number: never to be read as a code
    // the program chose.
    if (!run.stillRunning && process.exitStatus() == QProcess::CrashExit) {
        qWarning("folvane %s ended by signal %d; its standard error:\n%s", qPrintable(arguments.join(' ')),
                 run.exitCode, qPrintable(run.err));
        run.exitCode = -2;
    }
    return run;
}

ProgramFolder::ProgramFolder()
{
    QDir(m_dir.path()).mkpath("home");
    QDir(m_dir.path()).mkpath("work");
    QFile settings(path("home/FVanalysis.setting"));
    settings.open(QIODevice::WriteOnly);
    settings.write((path("work") + "\nccx\n2\n1\n").toUtf8());
}

ProgramRun ProgramFolder::run(const QStringList& arguments, const QString& subfolder, int waitMs) const
{
    const QString folder = subfolder.isEmpty() ? m_dir.path() : path(subfolder);
    QDir().mkpath(folder);
    return runProgram(arguments, path("home"), folder, waitMs);
}

void writeOptimisationModel(const QString& path, const QString& bladeName, int digits)
{
    using namespace Folvane;
    KBlade blade;
    Parameter* p = blade.parameters()->parameter(0);
    p->setLow(0.5);
    p->setHigh(1.5);
    p->setDigitNum(digits);
    blade.patterns()->pattern(0)->ReadLaminateByInd(0)->thick()->setExp("P");
    if (!bladeName.isEmpty())
        blade.setting()->setBladeName(bladeName);
    blade.setting()->setMeshSize(1000);
    blade.profiles()->autoMesh();
    blade.optSetting()->setPopulation(4);
    blade.optSetting()->setSelPortion(0.5);
    for (int i = 0; i < 12; ++i)
        blade.optSetting()->ReadObjective(i)->setLow(-1e9);
    blade.setFp(path);
    QuietDebug quiet;
    blade.writeFile();
}
