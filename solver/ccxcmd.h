#ifndef FOLVANE_CCXCMD_H
#define FOLVANE_CCXCMD_H

#include "solver/cmd.h"

namespace Folvane {

// The CalculiX deck: S8R and S6 composite shells under one orientation.
class CCXCmd : public Cmd
{
public:
    using Cmd::Cmd;
    void BuildInp(TextBuffer& out, bool full, int loadCase) override;
};

} // namespace Folvane

#endif
