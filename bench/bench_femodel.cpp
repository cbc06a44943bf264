// Builds the default blade's FE model at several mesh sizes and prints, per
// size: elements, nodes, the first build, a second build (which tears the
// first model down), elements per second and peak memory per element.
// Each size runs in a process of its own so that its peak memory is its own.

#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "core/messages.h"
#include "fem/model.h"
#include "geometry/kprofilelist.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace Folvane;

static long peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

static int measure(double meshSize)
{
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    KBlade blade;
    blade.setting()->setMeshSize(meshSize);
    blade.profiles()->autoMesh();
    const long before = peakKilobytes();
    QuietDebug quiet;
    QElapsedTimer clock;
    clock.start();
    blade.genFEModel();
    const double first = clock.nsecsElapsed() * 1e-9;
    const long peak = peakKilobytes();
    clock.restart();
    blade.genFEModel();
    const double second = clock.nsecsElapsed() * 1e-9;
    const Model* model = blade.feModel();
    const int elements = model->elements().count();
    std::printf("%9g %10d %10d %10.3f %10.3f %12.0f %10.0f\n", meshSize, elements, model->nodes().count(), first,
                second, elements / first, (peak - before) * 1024.0 / elements);
    return 0;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 2)
        return measure(QString::fromLatin1(argv[1]).toDouble());
    std::printf("%9s %10s %10s %10s %10s %12s %10s\n", "mesh size", "elements", "nodes", "build s", "rebuild s",
                "elements/s", "bytes/elem");
    std::fflush(stdout);
    for (const char* size : {"300", "100", "30", "10", "5"}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(size)});
        child.waitForFinished(-1);
    }
    return 0;
}
