// Times modal and buckling runs: the program's own work (FE build, deck,
// reading the results) against CalculiX's, for the default blade and for a
// mesh of over 20,000 elements (the IEA 15 MW blade at 300 mm, when its
// windIO file is given, else the default blade at 45 mm).
//   bench_eigen [path to IEA-15-240-RWT.yaml]

#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "blade/kload.h"
#include "blade/loadtable.h"
#include "blade/windiodocument.h"
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

static void measure(KBlade& blade, const char* what, int loadCase)
{
    QTemporaryDir work;
    QuietDebug quiet;
    QElapsedTimer clock;
    clock.start();
    blade.genFEModel();
    const double build = clock.nsecsElapsed() * 1e-9;
    Model* model = blade.feModel();
    for (CCXCmd::Step step : {CCXCmd::Step::Frequency, CCXCmd::Step::Buckle}) {
        const bool buckling = step == CCXCmd::Step::Buckle;
        CCXCmd writer(model);
        writer.setStep(step, 5);
        clock.restart();
        writer.BuildFullInp(work.filePath("job.inp"), loadCase);
        const double deck = clock.nsecsElapsed() * 1e-9;
        QProcess ccx;
        ccx.setWorkingDirectory(work.path());
        clock.restart();
        ccx.start(QStringLiteral("ccx"), {QStringLiteral("-i"), QStringLiteral("job")});
        ccx.waitForFinished(-1);
        const double solver = clock.nsecsElapsed() * 1e-9;
        QFile dat(work.filePath("job.dat"));
        dat.open(QIODevice::ReadOnly);
        EigenModes modes;
        clock.restart();
        const bool read = ReadCCXEigen(dat, *model, buckling, modes);
        const double reading = clock.nsecsElapsed() * 1e-9;
        const double own = build + deck + reading;
        std::printf("%-28s %-9s %9d %8.3f %8.3f %8.3f %9.1f %7.2f %%  %s %.4g\n", what,
                    buckling ? "buckling" : "modal", model->elements().count(), build, deck, reading, solver,
                    100.0 * own / solver, read ? "first" : "FAILED", read ? modes.values.front() : 0.0);
    }
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    std::printf("%-28s %-9s %9s %8s %8s %8s %9s %9s\n", "blade", "analysis", "elements", "build s", "deck s",
                "read s", "solver s", "own/solver");
    {
        KBlade blade;
        measure(blade, "default, 300 mm", 0);
    }
    KBlade large;
    if (argc > 1) {
        Windio::ImportReport report;
        QString error;
        Windio::ImportSettings settings;
        settings.meshSize = 300.0;
        QuietDebug quiet;
        if (!Windio::importFile(large, QString::fromLocal8Bit(argv[1]), settings, report, error)) {
            std::fprintf(stderr, "cannot import: %s\n", qPrintable(error));
            return 1;
        }
        appendLoadCase(large, QStringLiteral("flap"), {{0, 0, 0, 0}, {90000, 0, -100000, 0}});
        measure(large, "IEA 15 MW, 300 mm", 1);
    } else {
        large.setting()->setMeshSize(45.0);
        large.profiles()->autoMesh();
        measure(large, "default, 45 mm", 0);
    }
    return 0;
}
