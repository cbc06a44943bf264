#ifndef FOLVANE_ANSYSCMD_H
#define FOLVANE_ANSYSCMD_H

#include "solver/cmd.h"

namespace Folvane {

// The ANSYS batch script: SHELL281 layered sections, and for a full deck
// the solution of one load case and the script that writes the nodal
// displacements and per-layer stresses and strains to seven text files.
class AnsysCmd : public Cmd
{
public:
    using Cmd::Cmd;
    void BuildInp(TextBuffer& out, bool full, int loadCase) override;
    // The ANSYS job name of a model: its name, which is a safe file name,
    // within ANSYS's 32 characters.
    static QString jobName(const Model& model);
};

} // namespace Folvane

#endif
