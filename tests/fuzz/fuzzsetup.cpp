#include "fuzzsetup.h"

#include "blade/kblade.h"
#include "blade/kmaterial.h"
#include "core/messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

using namespace Folvane;

namespace {

void silent(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
    qputenv("HOME", fuzzFolder().toLocal8Bit());
    const QString seeds = qEnvironmentVariable("FOLVANE_FUZZ_SEEDS");
    if (!seeds.isEmpty()) {
        QDir().mkpath(seeds);
        KBlade blade;
        blade.setFp(seeds + "/default.fvm");
        blade.writeFile();
        blade.saveJson(seeds + "/default.json");
        // And one whose file carries the additions block.
        blade.materials()->material(0)->strength(KMaterial::Xt)->setExp("900");
        blade.setFp(seeds + "/strengths.fvm");
        blade.writeFile();
    }
    qInstallMessageHandler(silent);
    // The fuzzer reports on standard error; the program's own output goes.
    std::freopen("/dev/null", "w", stdout);
    return 0;
}

QString fuzzFolder()
{
    static QTemporaryDir folder;
    return folder.path();
}

void fuzzCheck(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}
