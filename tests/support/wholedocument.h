#ifndef FOLVANE_TEST_WHOLEDOCUMENT_H
#define FOLVANE_TEST_WHOLEDOCUMENT_H

#include <QString>

namespace Folvane {
class KBlade;
}

// What is wrong with a document that a damaged file was allowed to become,
// or an empty text when it is whole: what it writes reads back and writes
// the same bytes again, and, when its mesh is small enough to build
// quickly, it builds (or refuses to build), writes a deck and a JSON file
// into folder without touching anything that is not there.
QString wholeDocumentFault(Folvane::KBlade& blade, const QString& folder);

#endif
