#ifndef FOLVANE_WINDIOREADER2_H
#define FOLVANE_WINDIOREADER2_H

#include "blade/windioblade.h"

#include <yaml-cpp/yaml.h>

namespace Folvane::Windio {

// The blade of a windIO 2.0 file: its anchors resolved into the edges the
// 1.x reader gives, degrees into radians, section offsets into the pitch
// axis. Throws Yaml::ReadError.
void readVersion2(const YAML::Node& root, Blade& blade);

} // namespace Folvane::Windio

#endif
