#ifndef FOLVANE_ABAQUSCMD_H
#define FOLVANE_ABAQUSCMD_H

#include "solver/cmd.h"

namespace Folvane {

// The Abaqus input file: one part with the whole mesh, one instance of it.
class AbaqusCmd : public Cmd
{
public:
    using Cmd::Cmd;
    void BuildInp(TextBuffer& out, bool full, int loadCase) override;
};

} // namespace Folvane

#endif
