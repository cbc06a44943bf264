// What solver threads gain: one CalculiX run of the default blade's first
// load case (deck, solve, reading the results) with 1 and with 2 threads,
// at the blade's own mesh size and at one of over 20,000 elements.
// Usage: bench_threads [mesh size ...]

#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "core/messages.h"
#include "fem/model.h"
#include "geometry/kprofilelist.h"
#include "solver/ccxanalyser.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace Folvane;

// The solver's own output goes where ours would: the figures are printed
// on a copy of standard output taken before it is silenced.
static FILE* figures = stdout;

static double run(Model& model, int threads)
{
    QTemporaryDir folder;
    CCXAnalyser analyser(&model, folder.path(), QStringLiteral("ccx"));
    analyser.setThreads(threads);
    QElapsedTimer clock;
    clock.start();
    const bool ok = analyser.RunLoadCase(0);
    const double s = clock.nsecsElapsed() * 1e-9;
    return ok ? s : -1;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    std::fflush(stdout);
    figures = fdopen(dup(STDOUT_FILENO), "w");
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    QuietDebug quiet;

    std::vector<double> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(QString::fromLocal8Bit(argv[i]).toDouble());
    if (sizes.empty())
        sizes = {0, 40};  // 0: the blade's own mesh
    std::fprintf(figures, "%9s %9s %10s %10s %8s\n", "mesh size", "elements", "1 thread s", "2 threads s", "speed-up");
    for (double size : sizes) {
        KBlade blade;
        if (size > 0) {
            blade.setting()->setMeshSize(size);
            blade.profiles()->autoMesh();
        }
        blade.genFEModel();
        Model& model = *blade.feModel();
        const double one = run(model, 1);
        const double two = run(model, 2);
        std::fprintf(figures, "%9s %9d %10.2f %10.2f %7.2fx\n",
                     size > 0 ? qPrintable(QString::number(size)) : "own", model.elements().count(), one, two,
                     one / two);
        std::fflush(figures);
    }
    return 0;
}
