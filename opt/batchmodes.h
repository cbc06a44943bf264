#ifndef FOLVANE_BATCHMODES_H
#define FOLVANE_BATCHMODES_H

#include <vector>

namespace Folvane::BatchModes {

// The modes that run without a window. Each takes the whole argument
// vector and returns the process exit code.
int analyse(int argc, char** argv);
// folvane -optimise model.fvm x folder start iterations [seed] [options]
int optimise(int argc, char** argv);
// folvane -evaluate design.fvm job threads: one design in its folder, the
// outcome in the folder's status file (the worker of -optimise).
int evaluate(int argc, char** argv);
int resave(int argc, char** argv);
int autoLayupOpt(int argc, char** argv);
int autoKpOpt(int argc, char** argv);
// folvane -modal model.fvm [modes]
int modal(int argc, char** argv);
// folvane -buckle model.fvm loadcase [modes]
int buckle(int argc, char** argv);
// folvane -vtk model.fvm out.vtu [loadcase], folvane -vtk model.fvm out.pvd all
int vtk(int argc, char** argv);
// folvane -importwindio blade.yaml out.fvm
int importWindio(int argc, char** argv);
// folvane -importloads model.fvm loads.csv out.fvm
int importLoads(int argc, char** argv);

// A decimal integer argument; false, with the argument named on standard
// error, for anything else or a number beyond 32 bits.
bool decimalArgument(const char* text, const char* what, int& value);

// An output file a mode may write: not one of its inputs, and with one of
// the extensions the mode writes. false, with the reason on standard
// error, otherwise.
bool checkOutput(const char* output, const std::vector<const char*>& inputs, const std::vector<const char*>& extensions);

} // namespace Folvane::BatchModes

#endif
