// Runs the program as a user does, `folvane -analyse blade.fvm 1`, on the
// default blade saved at mesh size 10, with a solver that does nothing: the
// run reads the file, builds the model, writes the deck, starts the solver,
// finds no results and exits. Prints, per run, the wall time and the peak
// resident memory of that process, and the memory per element.
//
// The program is the one built beside this benchmark, or the path given as
// the first argument (if not empty); the second argument is the number of runs (3); a
// third names a folder to work in and keep (for profiling the same run).

#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "core/messages.h"
#include "fem/model.h"
#include "geometry/kprofilelist.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace Folvane;

namespace {

struct Run
{
    int exitCode = -1;
    double seconds = 0.0;
    long peakKilobytes = 0;
};

// The program in its own HOME and working folder, its output discarded;
// wait4 gives the peak memory of that one process.
Run runProgram(const QByteArray& program, const QList<QByteArray>& arguments, const QByteArray& home,
               const QByteArray& folder)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.constData()));
    for (const QByteArray& a : arguments)
        argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);
    const QByteArray homeVariable = "HOME=" + home;
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.constData()) != 0)
            _exit(126);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        putenv(const_cast<char*>(homeVariable.constData()));
        execv(program.constData(), argv.data());
        _exit(127);
    }
    Run run;
    int status = 0;
    rusage usage{};
    if (child > 0 && wait4(child, &status, 0, &usage) == child) {
        run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.peakKilobytes = usage.ru_maxrss;
    }
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString program = argc > 1 && *argv[1] ? QString::fromLocal8Bit(argv[1])
                                     : QCoreApplication::applicationDirPath() + QStringLiteral("/../folvane");
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    if (!QFileInfo(program).isExecutable()) {
        std::fprintf(stderr, "bench_prepare: no program at %s\n", qPrintable(program));
        return 1;
    }
    QTemporaryDir temporary;
    const QDir dir(QFileInfo(argc > 3 ? QString::fromLocal8Bit(argv[3]) : temporary.path()).absoluteFilePath());
    dir.mkpath(QStringLiteral("."));
    dir.mkpath(QStringLiteral("home"));
    dir.mkpath(QStringLiteral("work"));
    const QString home = dir.filePath(QStringLiteral("home"));
    qputenv("HOME", QFile::encodeName(home));

    // The stand-in solver: starts, writes nothing, exits 0.
    const QString solver = dir.filePath(QStringLiteral("solver.sh"));
    {
        QFile script(solver);
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\nexit 0\n");
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    }
    {
        QFile settings(dir.filePath(QStringLiteral("home/FVanalysis.setting")));
        settings.open(QIODevice::WriteOnly);
        settings.write((dir.filePath(QStringLiteral("work")) + QStringLiteral("\n") + solver + QStringLiteral("\n2\n1\n"))
                           .toUtf8());
    }

    const QString model = dir.filePath(QStringLiteral("blade.fvm"));
    int elements = 0;
    {
        QuietDebug quiet;
        KBlade blade;
        blade.setting()->setMeshSize(10);
        blade.profiles()->autoMesh();
        blade.setFp(model);
        blade.writeFile();
        blade.genFEModel();
        elements = blade.feModel() ? blade.feModel()->elements().count() : 0;
    }

    std::printf("program: %s\nelements: %d\n", qPrintable(program), elements);
    std::printf("%5s %6s %9s %9s %9s\n", "run", "exit", "wall s", "peak MB", "KB/elem");
    double best = 1e300;
    long lowest = 0;
    for (int i = 0; i < runs; ++i) {
        const Run run = runProgram(QFile::encodeName(program), {"-analyse", QFile::encodeName(model), "1"},
                                   QFile::encodeName(home), QFile::encodeName(dir.filePath(QStringLiteral("work"))));
        std::printf("%5d %6d %9.3f %9.1f %9.3f\n", i + 1, run.exitCode, run.seconds, run.peakKilobytes / 1024.0,
                    elements ? double(run.peakKilobytes) / elements : 0.0);
        best = std::min(best, run.seconds);
        lowest = lowest == 0 ? run.peakKilobytes : std::min(lowest, run.peakKilobytes);
    }
    std::printf("best: %.3f s, %.1f MB, %.3f KB/element\n", best, lowest / 1024.0,
                elements ? double(lowest) / elements : 0.0);
    return 0;
}
