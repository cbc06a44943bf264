#ifndef FOLVANE_BATCHMODES_H
#define FOLVANE_BATCHMODES_H

namespace Folvane::BatchModes {

// The modes that run without a window. Each takes the whole argument
// vector and returns the process exit code.
int resave(int argc, char** argv);
int autoLayupOpt(int argc, char** argv);
int autoKpOpt(int argc, char** argv);

} // namespace Folvane::BatchModes

#endif
