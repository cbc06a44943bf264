// Writes the three solver decks of the default blade at the finest mesh
// size of the build benchmark and prints each writer's throughput next to
// writing the same number of bytes from memory to the same disk.

#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "core/messages.h"
#include "fem/model.h"
#include "geometry/kprofilelist.h"
#include "solver/abaquscmd.h"
#include "solver/ansyscmd.h"
#include "solver/ccxcmd.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace Folvane;

static double megabytesPerSecond(qint64 bytes, qint64 nanoseconds)
{
    return bytes / 1e6 / (nanoseconds * 1e-9);
}

// The same bytes written straight from memory, the way the decks are
// written: beside the target, then renamed into place.
static double rawWriteSpeed(const QString& path, qint64 bytes)
{
    const QByteArray data(int(bytes), 'x');
    QElapsedTimer clock;
    clock.start();
    QSaveFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(data);
    file.commit();
    return megabytesPerSecond(bytes, clock.nsecsElapsed());
}

template <typename Writer>
static void measure(const char* name, Model* model, const QString& folder)
{
    Writer writer(model);
    const QString path = folder + "/deck.inp";
    QElapsedTimer clock;
    clock.start();
    writer.BuildFullInp(path, 0);
    const qint64 elapsed = clock.nsecsElapsed();
    const qint64 bytes = QFileInfo(path).size();
    std::printf("%-10s %10.1f %10.3f %10.1f %14.1f\n", name, bytes / 1e6, elapsed * 1e-9,
                megabytesPerSecond(bytes, elapsed), rawWriteSpeed(folder + "/raw.bin", bytes));
    QFile::remove(path);
    QFile::remove(folder + "/raw.bin");
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    const double meshSize = argc > 1 ? QString::fromLatin1(argv[1]).toDouble() : 5.0;
    KBlade blade;
    blade.setting()->setMeshSize(meshSize);
    blade.profiles()->autoMesh();
    {
        QuietDebug quiet;
        blade.genFEModel();
    }
    Model* model = blade.feModel();
    std::printf("mesh size %g: %d elements, %d nodes\n", meshSize, model->elements().count(), model->nodes().count());
    std::printf("%-10s %10s %10s %10s %14s\n", "writer", "MB", "seconds", "MB/s", "memory MB/s");
    QTemporaryDir folder(QDir::currentPath() + "/bench-decks-XXXXXX");
    // A first write warms the disk cache, so no writer pays for it alone.
    measure<CCXCmd>("(warm-up)", model, folder.path());
    measure<CCXCmd>("CalculiX", model, folder.path());
    measure<AnsysCmd>("ANSYS", model, folder.path());
    measure<AbaqusCmd>("Abaqus", model, folder.path());
    return 0;
}
