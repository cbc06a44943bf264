// The stages of preparing an analysis of the default blade at mesh size 10
// (or the size given), in one process: reading the model file, building
// the FE model, sizing its results, writing the CalculiX deck, building the
// station tables, and tearing the model down. Prints the time of each stage
// and the resident memory after it.

#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "core/messages.h"
#include "fem/model.h"
#include "geometry/kprofilelist.h"
#include "solver/ccxcmd.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace Folvane;

static long statusKilobytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(std::strlen(field))).trimmed().split(' ').first().toLong();
    }
    return 0;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const double meshSize = argc > 1 ? QString::fromLatin1(argv[1]).toDouble() : 10.0;
    QTemporaryDir folder;
    qputenv("HOME", QFile::encodeName(folder.path()));
    QuietDebug quiet;
    const QString path = folder.filePath(QStringLiteral("blade.fvm"));
    {
        KBlade source;
        source.setting()->setMeshSize(meshSize);
        source.profiles()->autoMesh();
        source.setFp(path);
        source.writeFile();
    }
    std::printf("%-14s %9s %9s %9s\n", "stage", "s", "RSS MB", "peak MB");
    QElapsedTimer clock;
    auto stage = [&clock](const char* name) {
        std::printf("%-14s %9.3f %9.1f %9.1f\n", name, clock.nsecsElapsed() * 1e-9,
                    statusKilobytes("VmRSS:") / 1024.0, statusKilobytes("VmHWM:") / 1024.0);
        std::fflush(stdout);
        clock.restart();
    };
    clock.start();
    stage("start");
    auto blade = std::make_unique<KBlade>();
    blade->setFp(path);
    blade->readFile();
    stage("read");
    blade->genFEModel();
    stage("build");
    Model* model = blade->feModel();
    model->initResults();
    stage("results");
    CCXCmd(model).BuildFullInp(folder.filePath(QStringLiteral("job.inp")), 0);
    stage("deck");
    const Eigen::MatrixXd properties = blade->stationProperties();
    const Eigen::MatrixXd deflections = blade->stationDeflections(0);
    const Eigen::MatrixXd twist = blade->stationTwist(0);
    const Eigen::MatrixXd stresses = blade->stationStresses(0);
    stage("tables");
    const int elements = model->elements().count();
    blade.reset();
    stage("teardown");
    std::printf("elements: %d, peak %.3f KB per element\n", elements, double(statusKilobytes("VmHWM:")) / elements);
    return properties.rows() + deflections.rows() + twist.rows() + stresses.rows() > 0 ? 0 : 1;
}
