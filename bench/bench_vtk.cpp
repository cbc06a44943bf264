// Writes the default blade's FE model as a ParaView file at a fine mesh
// (mesh size 5 by default: about 1.3 million elements), with the model's
// cell data and with result arrays of a real analysis' size that the
// benchmark fills itself (CalculiX cannot solve that size here), and prints
// the throughput beside the time of the CalculiX deck of the same model.
// With "real", a coarser model (mesh size 25 by default: about 50,000
// elements) is solved by CalculiX first and written with its real results.
// Usage: bench_vtk [mesh size] | bench_vtk real [mesh size]

#include "blade/kanalysis.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "core/messages.h"
#include "fem/model.h"
#include "fem/vtuarrays.h"
#include "geometry/kprofilelist.h"
#include "solver/ccxcmd.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

using namespace Folvane;

// Displacements and ply results that vary from node to node and element
// to element, as a solver's do.
static void fillResults(Model& model)
{
    model.initResults();
    for (int i = 0; i < model.nodes().count(); ++i)
        model.nodes().at(i)->displacement().col(0) << 1e-3 * i, -2e-3 * i, 1e-4, 0, 0, 0;
    for (int i = 0; i < model.elements().count(); ++i) {
        Element* e = model.elements().at(i);
        for (int r = 0; r < Element::ResultCount; ++r)
            e->result(Element::Result(r)).col(0).setLinSpaced(1.0 + 1e-6 * i, 2.0 + r);
    }
}

static double seconds(const QElapsedTimer& clock)
{
    return clock.nsecsElapsed() * 1e-9;
}

static int realResults(double meshSize)
{
    QTemporaryDir folder(QDir::currentPath() + "/bench-vtk-XXXXXX");
    KBlade blade;
    blade.anaSet()->setType(KAnalysis::Calculix);
    blade.anaSet()->setWorkDir(folder.path());
    blade.setting()->setMeshSize(meshSize);
    blade.profiles()->autoMesh();
    {
        QuietDebug quiet;
        blade.genFEModel();
    }
    std::printf("mesh size %g: %d elements; CalculiX solving ...\n", meshSize, blade.elementCount());
    std::fflush(stdout);
    QElapsedTimer clock;
    clock.start();
    if (!blade.runLoadCase(0))
        return 1;
    std::printf("analysis (deck, CalculiX, reading): %.1f s\n", seconds(clock));
    const QString path = folder.filePath("real.vtu");
    clock.restart();
    if (!blade.exportVtk(path, 0))
        return 1;
    const double s = seconds(clock);
    const qint64 bytes = QFileInfo(path).size();
    std::printf(".vtu with real results: %.1f MB in %.3f s (arrays included): %.1f MB/s\n", bytes / 1e6, s, bytes / 1e6 / s);
    return 0;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    if (argc > 1 && QByteArray(argv[1]) == "real")
        return realResults(argc > 2 ? QString::fromLatin1(argv[2]).toDouble() : 25.0);
    const double meshSize = argc > 1 ? QString::fromLatin1(argv[1]).toDouble() : 5.0;
    KBlade blade;
    blade.setting()->setMeshSize(meshSize);
    blade.profiles()->autoMesh();
    {
        QuietDebug quiet;
        blade.genFEModel();
    }
    Model& model = *blade.feModel();
    fillResults(model);
    std::printf("mesh size %g: %d elements, %d corner nodes, %d middle nodes, %d plies at most\n", meshSize,
                model.elements().count(), model.nodes().count(), model.edges().count(), model.sections().maxPlyCount());
    QTemporaryDir folder(QDir::currentPath() + "/bench-vtk-XXXXXX");

    // The deck first, which also warms the disk cache.
    CCXCmd deck(&model);
    deck.BuildFullInp(folder.filePath("warm.inp"), 0);
    QFile::remove(folder.filePath("warm.inp"));
    QElapsedTimer clock;
    clock.start();
    deck.BuildFullInp(folder.filePath("deck.inp"), 0);
    const double deckSeconds = seconds(clock);
    const qint64 deckBytes = QFileInfo(folder.filePath("deck.inp")).size();
    QFile::remove(folder.filePath("deck.inp"));

    std::printf("%-22s %10s %12s %12s %10s\n", "file", "MB", "arrays s", "write s", "MB/s");
    std::printf("%-22s %10.1f %12s %12.3f %10.1f\n", "CalculiX deck", deckBytes / 1e6, "-", deckSeconds,
                deckBytes / 1e6 / deckSeconds);
    for (bool results : {false, true}) {
        clock.restart();
        Vtu::Dataset data;
        Vtu::addModelArrays(model, {}, {}, data);
        if (results)
            Vtu::addResultArrays(model, 0, data);
        const double arraySeconds = seconds(clock);
        const QString path = folder.filePath("out.vtu");
        QString error;
        clock.restart();
        if (!Vtu::writeVtu(model, data, path, error)) {
            std::printf("%s\n", qPrintable(error));
            return 1;
        }
        const double writeSeconds = seconds(clock);
        const qint64 bytes = QFileInfo(path).size();
        std::printf("%-22s %10.1f %12.3f %12.3f %10.1f   (%.2f x the deck's time, arrays included)\n",
                    results ? ".vtu with results" : ".vtu, model alone", bytes / 1e6, arraySeconds, writeSeconds,
                    bytes / 1e6 / writeSeconds, (arraySeconds + writeSeconds) / deckSeconds);
        QFile::remove(path);
    }
    return 0;
}
