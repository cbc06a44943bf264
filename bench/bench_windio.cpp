// Imports the IEA 15 MW reference blade from its windIO file at several mesh
// sizes and prints, per size: profiles, regions, elements, the largest ply
// count of a section, the import and FE build times, and, with --solve, the
// time of a static analysis with CalculiX (deck, solve, reading results)
// under a flapwise load.
//   bench_windio [path to IEA-15-240-RWT.yaml] [--solve]

#include "blade/kanalysis.h"
#include "blade/kblade.h"
#include "blade/loadtable.h"
#include "blade/windiodocument.h"
#include "core/messages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace Folvane;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    QString path = QStringLiteral("../shared/data/windio/IEA-15-240-RWT.yaml");
    bool solve = false;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--solve"))
            solve = true;
        else
            path = arg;
    }
    std::printf("%9s %8s %7s %9s %5s %10s %9s %9s\n", "mesh", "profiles", "regions", "elements", "plies", "import s",
                "build s", "solve s");
    for (double meshSize : {1500.0, 700.0, 500.0, 300.0}) {
        KBlade blade;
        Windio::ImportSettings settings;
        settings.meshSize = meshSize;
        Windio::ImportReport report;
        QString error;
        QuietDebug quiet;
        QElapsedTimer clock;
        clock.start();
        if (!Windio::importFile(blade, path, settings, report, error)) {
            std::fprintf(stderr, "cannot import %s: %s\n", qPrintable(path), qPrintable(error));
            return 1;
        }
        const double imported = clock.nsecsElapsed() * 1e-9;
        clock.restart();
        blade.genFEModel();
        const double built = clock.nsecsElapsed() * 1e-9;
        double solved = 0.0;
        // CalculiX does not solve this blade coarser than about 700 mm.
        if (solve && meshSize <= 700.0) {
            appendLoadCase(blade, QStringLiteral("flap"), {{0.0, 0.0, 0.0, 0.0}, {90000.0, 0.0, -100000.0, 0.0}});
            QTemporaryDir work;
            blade.anaSet()->setType(KAnalysis::Calculix);
            blade.anaSet()->setProDir(QStringLiteral("ccx"));
            blade.anaSet()->setWorkDir(work.path());
            blade.genFEModel();
            clock.restart();
            const bool ok = blade.runLoadCase(1);
            solved = ok ? clock.nsecsElapsed() * 1e-9 : -1.0;
        }
        std::printf("%9g %8d %7d %9d %5d %10.3f %9.3f %9.1f\n", meshSize, report.profiles, report.regions,
                    blade.elementCount(), report.largestPlyCount, imported, built, solved);
    }
    return 0;
}
