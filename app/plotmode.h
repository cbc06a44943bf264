#ifndef FOLVANE_PLOTMODE_H
#define FOLVANE_PLOTMODE_H

namespace Folvane {

// folvane -plot out.svg table.out [table.out ...]: the span plots of the
// result tables, as SVG or (for a name ending in .png) PNG. Needs no display.
int runPlotMode(int argc, char** argv);

} // namespace Folvane

#endif
