// Times one CalculiX analysis of the default blade, at its own mesh size and
// at one giving over 20,000 elements: the program's own work (reading the
// model file, building, writing the deck, reading the results, writing the
// table) against the time spent in ccx.

#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "core/messages.h"
#include "fem/model.h"
#include "geometry/kprofilelist.h"
#include "solver/ccxanalyser.h"
#include "solver/ccxcmd.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace Folvane;

static double seconds(QElapsedTimer& clock)
{
    const double s = clock.nsecsElapsed() * 1e-9;
    clock.restart();
    return s;
}

static void measure(double meshSize, const QString& folder)
{
    {
        KBlade source;
        source.setting()->setMeshSize(meshSize);
        source.profiles()->autoMesh();
        source.setFp(folder + "/blade.fvm");
        source.writeFile();
    }
    QElapsedTimer clock;
    clock.start();
    KBlade blade;
    blade.setFp(folder + "/blade.fvm");
    blade.readFile();
    const double read = seconds(clock);
    blade.genFEModel();
    const double build = seconds(clock);
    Model* model = blade.feModel();
    CCXAnalyser analyser(model, folder, "ccx");
    CCXCmd writer(model);
    writer.BuildFullInp(folder + "/" + model->name() + ".inp", 0);
    const double deck = seconds(clock);
    QProcess ccx;
    ccx.setWorkingDirectory(folder);
    ccx.start("ccx", {"-i", model->name()});
    ccx.waitForFinished(-1);
    const double solver = seconds(clock);
    analyser.ReadResults(0, model->name());
    const double results = seconds(clock);
    blade.exportResults(folder + "/table.out", 0);
    const double table = seconds(clock);
    const double own = read + build + deck + results + table;
    std::printf("%9g %9d %7.3f %7.3f %7.3f %7.3f %7.3f %8.3f %8.3f %7.2f%%\n", meshSize, model->elements().count(),
                read, build, deck, results, table, own, solver, 100 * own / solver);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    QuietDebug quiet;
    std::printf("%9s %9s %7s %7s %7s %7s %7s %8s %8s %8s\n", "mesh size", "elements", "read", "build", "deck",
                "results", "table", "own s", "ccx s", "own/ccx");
    for (double size : {300.0, 40.0}) {
        QTemporaryDir folder;
        measure(size, folder.path());
    }
    return 0;
}
