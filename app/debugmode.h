#ifndef FOLVANE_DEBUGMODE_H
#define FOLVANE_DEBUGMODE_H

namespace Folvane {

// A developer harness without a window: loads the sample blade from
// debug/blade.json, builds it, writes debug/blade-geometry.inp (ANSYS,
// geometry only) and then idles in the event loop until it is stopped.
int runDebugMode(int argc, char** argv);

} // namespace Folvane

#endif
