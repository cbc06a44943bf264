#include "app/debugmode.h"

#include "blade/kblade.h"
#include "core/messages.h"
#include "geometry/kprofilelist.h"

#include <QCoreApplication>

namespace Folvane {

int runDebugMode(int argc, char** argv)
{
    debugLine(QStringLiteral("Debug Model"));
    QCoreApplication app(argc, argv);
    auto* blade = new KBlade(&app);
    blade->loadJson(QStringLiteral("debug/blade.json"));
    blade->profiles()->autoMesh();
    blade->genFEModel();
    blade->exportAnsysInp(QStringLiteral("debug/blade-geometry.inp"), -1);
    return app.exec();
}

} // namespace Folvane
