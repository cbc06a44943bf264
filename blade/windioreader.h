#ifndef FOLVANE_WINDIOREADER_H
#define FOLVANE_WINDIOREADER_H

#include "blade/windioblade.h"

namespace Folvane::Windio {

// Reads the blade component of a windIO turbine file, with the airfoils
// and materials it refers to. On failure the error names the key, its
// line and column, and what is wrong; the blade is then unspecified.
bool readBlade(const QString& path, Blade& blade, QString& error);
bool readBladeText(const QByteArray& text, Blade& blade, QString& error);

// Files above this size are refused before they are parsed.
constexpr qint64 MaxWindioFileBytes = 64 * 1024 * 1024;

} // namespace Folvane::Windio

#endif
