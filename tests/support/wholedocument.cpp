#include "wholedocument.h"
#include "files.h"

#include "blade/kblade.h"
#include "blade/kload.h"
#include "geometry/kprofile.h"
#include "geometry/kprofilelist.h"

#include <cmath>

using namespace Folvane;

namespace {

// Few enough nodes that building the model is quick.
bool smallMesh(const KBlade& blade)
{
    double along = 0, ring = 0;
    for (int i = 0; i < blade.profiles()->count(); ++i) {
        const KProfile* p = blade.profiles()->profile(i);
        along += std::abs(double(p->radiusMesh()));
        double around = 0;
        for (int n : p->regionMeshNumbers())
            around += std::abs(double(n));
        for (int n : p->webMeshNumbers())
            around += std::abs(double(n));
        ring = std::max(ring, around);
    }
    return along * ring < 2e5;
}

} // namespace

QString wholeDocumentFault(KBlade& blade, const QString& folder)
{
    // The first read may sort what the file held unsorted; from then on
    // the bytes must stay.
    KBlade copy;
    if (!readModelBytes(copy, modelBytes(blade)))
        return QStringLiteral("the document's own model file does not read back");
    const QByteArray again = modelBytes(copy);
    KBlade third;
    if (!readModelBytes(third, again))
        return QStringLiteral("the model file written after a read does not read back");
    if (modelBytes(third) != again)
        return QStringLiteral("a read and write changes the model file");
    if (smallMesh(blade)) {
        blade.genFEModel();
        blade.exportCCXInp(folder + "/deck.inp", blade.loads()->count() > 0 ? 0 : -1);
        blade.saveJson(folder + "/whole.json");
    }
    return QString();
}
