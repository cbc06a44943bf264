// JSON exchange files of any bytes: a file that is not a JSON object
// leaves the document as it was; one that is gives a whole document.
#include "files.h"
#include "fuzzsetup.h"
#include "wholedocument.h"

#include "blade/kblade.h"

#include <QJsonDocument>
#include <cstddef>
#include <cstdint>

using namespace Folvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    const QString path = fuzzFolder() + "/input.json";
    writeBytes(path, bytes);
    KBlade blade;
    const QByteArray before = modelBytes(blade);
    blade.loadJson(path);
    if (!QJsonDocument::fromJson(bytes).isObject()) {
        fuzzCheck(modelBytes(blade) == before, "a JSON file that is no object changed the document");
        return 0;
    }
    const QString fault = wholeDocumentFault(blade, fuzzFolder());
    fuzzCheck(fault.isEmpty(), qPrintable(fault));
    return 0;
}
