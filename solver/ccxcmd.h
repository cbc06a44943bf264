#ifndef FOLVANE_CCXCMD_H
#define FOLVANE_CCXCMD_H

#include "solver/cmd.h"

namespace Folvane {

// The CalculiX deck: S8R and S6 composite shells under one orientation.
class CCXCmd : public Cmd
{
public:
    // The analysis the full deck's step asks for: the static response to a
    // load case, the natural frequencies (the load case is not used), or the
    // buckling factors of a load case.
    enum class Step { Static, Frequency, Buckle };

    using Cmd::Cmd;
    void setStep(Step step, int modes = 0)
    {
        m_step = step;
        m_modes = modes;
    }
    void BuildInp(TextBuffer& out, bool full, int loadCase) override;

private:
    Step m_step = Step::Static;
    int m_modes = 0;
};

} // namespace Folvane

#endif
