#include "opt/batchmodes.h"

#include "blade/kblade.h"

#include <QCoreApplication>
#include <QString>

namespace Folvane::BatchModes {

// Reads one model file and writes the document to another. The script
// engine of the parameters needs an application object, so every batch
// mode has one; none runs its event loop.
static int convert(int argc, char** argv, const char* input, const char* output)
{
    QCoreApplication app(argc, argv);
    KBlade blade;
    blade.setFp(QString::fromLocal8Bit(input));
    blade.readFile();
    blade.setFp(QString::fromLocal8Bit(output));
    blade.writeFile();
    return 0;
}

int resave(int argc, char** argv)
{
    return convert(argc, argv, argv[2], argv[3]);
}

int autoLayupOpt(int argc, char** argv)
{
    return convert(argc, argv, argv[2], argv[5]);
}

int autoKpOpt(int argc, char** argv)
{
    return convert(argc, argv, argv[2], argv[3]);
}

} // namespace Folvane::BatchModes
