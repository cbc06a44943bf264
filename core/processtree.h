#ifndef FOLVANE_PROCESSTREE_H
#define FOLVANE_PROCESSTREE_H

#include <QtGlobal>

namespace Folvane {

// Ends a process and every process it started, and theirs: a solver may be
// a script that starts the real one, and a worker starts the solver.
void killProcessTree(qint64 root);

} // namespace Folvane

#endif
