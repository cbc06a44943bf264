#ifndef FOLVANE_WINDOWMODE_H
#define FOLVANE_WINDOWMODE_H

namespace Folvane {

// The interactive user interface; returns the event loop's exit code.
int runWindowMode(int argc, char** argv);

} // namespace Folvane

#endif
