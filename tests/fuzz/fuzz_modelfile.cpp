// Model files of any bytes: a file that does not read leaves the document
// as it was; one that reads gives a whole document.
#include "files.h"
#include "fuzzsetup.h"
#include "wholedocument.h"

#include "blade/kblade.h"

#include <cstddef>
#include <cstdint>

using namespace Folvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    KBlade blade;
    const QByteArray before = modelBytes(blade);
    if (!readModelBytes(blade, bytes)) {
        fuzzCheck(modelBytes(blade) == before, "a failed read changed the document");
        return 0;
    }
    const QString fault = wholeDocumentFault(blade, fuzzFolder());
    fuzzCheck(fault.isEmpty(), qPrintable(fault));
    return 0;
}
