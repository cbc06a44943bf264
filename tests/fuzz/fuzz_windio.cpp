// windIO files of any bytes: the reader and the builder either give a
// blade document or say why not; neither may crash or say nothing.
#include "fuzzsetup.h"

#include "blade/kblade.h"
#include "blade/windioimport.h"
#include "blade/windioreader.h"

#include <QJsonObject>
#include <cstddef>
#include <cstdint>

using namespace Folvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    Windio::Blade blade;
    QString error;
    if (!Windio::readBladeText(bytes, blade, error)) {
        fuzzCheck(!error.isEmpty(), "the windIO reader refused a file without saying why");
        return 0;
    }
    QJsonObject document;
    Windio::ImportReport report;
    Windio::ImportSettings settings;
    // Coarse, so that a long blade in a short file stays quick.
    settings.meshSize = 5000.0;
    if (!Windio::buildDocument(blade, QStringLiteral("Fuzz"), settings, document, report, error)) {
        fuzzCheck(!error.isEmpty(), "the windIO import refused a blade without saying why");
        return 0;
    }
    KBlade target;
    target.fromJson(document);
    target.genFEModel();
    return 0;
}
