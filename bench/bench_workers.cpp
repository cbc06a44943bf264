// One generation of 8 designs of the default blade, evaluated through the
// program's own -optimise: with 1 worker and with 2 (one solver thread
// each), and on Slurm when SLURM_CONF names a running cluster. The solver
// runs through a wrapper that logs how long each run takes, so that the
// program's own work per design (building, writing, reading, starting
// workers) can be set against the solver's time.
// Usage: bench_workers path/to/folvane [designs [mesh size]]

#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "blade/koptsetting.h"
#include "blade/kpattern.h"
#include "core/messages.h"
#include "core/parameter.h"
#include "core/parameterlist.h"
#include "geometry/kprofilelist.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace Folvane;

namespace {

int writeModel(const QString& path, int designs, double meshSize)
{
    KBlade blade;
    if (meshSize > 0) {
        blade.setting()->setMeshSize(meshSize);
        blade.profiles()->autoMesh();
    }
    Parameter* p = blade.parameters()->parameter(0);
    p->setLow(0.5);
    p->setHigh(1.5);
    p->setDigitNum(3);
    blade.patterns()->pattern(0)->ReadLaminateByInd(0)->thick()->setExp("P");
    blade.optSetting()->setPopulation(designs);
    blade.optSetting()->setSelPortion(0.5);
    for (int i = 0; i < 12; ++i)
        blade.optSetting()->ReadObjective(i)->setLow(-1e9);
    blade.setFp(path);
    QuietDebug quiet;
    blade.writeFile();
    blade.genFEModel();
    return blade.elementCount();
}

struct Timing
{
    double wall = -1;
    double solver = 0;
    int solverRuns = 0;
};

Timing optimise(const QString& program, const QTemporaryDir& dir, const QString& name, const QStringList& options)
{
    QFile::remove(dir.filePath("solver-times"));
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir.filePath("home"));
    run.setProcessEnvironment(env);
    run.setWorkingDirectory(dir.path());
    QElapsedTimer clock;
    clock.start();
    run.start(program, QStringList{"-optimise", dir.filePath("blade.fvm"), "x", dir.filePath(name), "0", "0", "1"}
                           + options);
    run.waitForFinished(-1);
    Timing timing;
    if (run.exitCode() != 0) {
        std::fprintf(stderr, "%s", run.readAllStandardError().constData());
        return timing;
    }
    timing.wall = clock.nsecsElapsed() * 1e-9;
    QFile times(dir.filePath("solver-times"));
    times.open(QIODevice::ReadOnly);
    for (const QByteArray& line : times.readAll().split('\n')) {
        if (!line.trimmed().isEmpty()) {
            timing.solver += line.toLongLong() * 1e-9;
            ++timing.solverRuns;
        }
    }
    return timing;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_workers path/to/folvane [designs [mesh size]]\n");
        return 1;
    }
    const QString program = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const int designs = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 8;
    const double meshSize = argc > 3 ? QString::fromLocal8Bit(argv[3]).toDouble() : 0;
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("home");
    QDir(dir.path()).mkpath("work");
    // The wrapper's two clock readings count as solver time (about 2 ms).
    QFile wrapper(dir.filePath("ccx-timed"));
    wrapper.open(QIODevice::WriteOnly);
    wrapper.write(("#!/bin/sh\nstart=$(date +%s%N)\nccx \"$@\"\ncode=$?\necho $(( $(date +%s%N) - start )) >> '"
                   + dir.filePath("solver-times") + "'\nexit $code\n").toUtf8());
    wrapper.close();
    wrapper.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile settings(dir.filePath("home/FVanalysis.setting"));
    settings.open(QIODevice::WriteOnly);
    settings.write((dir.filePath("work") + "\n" + dir.filePath("ccx-timed") + "\n2\n1\n").toUtf8());
    settings.close();
    const int elements = writeModel(dir.filePath("blade.fvm"), designs, meshSize);

    const Timing one = optimise(program, dir, "one", {"-workers", "1", "-threads", "1"});
    const Timing two = optimise(program, dir, "two", {"-workers", "2", "-threads", "1"});
    std::printf("%d designs of the default blade (mesh size %s, %d elements), one generation\n", designs,
                meshSize > 0 ? qPrintable(QString::number(meshSize)) : "its own", elements);
    std::printf("%-26s %8s %9s %10s\n", "evaluation", "wall s", "solver s", "own/design");
    auto row = [&](const char* what, const Timing& t) {
        if (t.wall < 0) {
            std::printf("%-26s failed\n", what);
            return;
        }
        // With several at once, the solver's time overlaps: own work is
        // only meaningful for the single worker.
        std::printf("%-26s %8.2f %9.2f %10s\n", what, t.wall, t.solver,
                    t.solverRuns > 0 && what[0] == '1'
                        ? qPrintable(QString::asprintf("%.1f ms", (t.wall - t.solver) / designs * 1e3))
                        : "-");
    };
    row("1 worker, 1 thread", one);
    row("2 workers, 1 thread each", two);
    if (one.wall > 0 && two.wall > 0)
        std::printf("speed-up of 2 workers: %.2fx\n", one.wall / two.wall);
    if (one.wall > 0 && one.solverRuns > 0)
        std::printf("own work against solver time (1 worker): %.2f %% (%d solver runs, %.3f s each)\n",
                    100.0 * (one.wall - one.solver) / one.solver, one.solverRuns, one.solver / one.solverRuns);
    if (!qEnvironmentVariableIsEmpty("SLURM_CONF")) {
        const Timing slurm = optimise(program, dir, "slurm", {"-slurm", "-threads", "1"});
        row("Slurm array", slurm);
        if (slurm.wall > 0 && two.wall > 0)
            std::printf("Slurm overhead against 2 local workers: %+.2f s\n", slurm.wall - two.wall);
    }
    return 0;
}
