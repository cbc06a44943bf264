#include "solver/ansyscmd.h"

#include "core/textbuffer.h"
#include "fem/model.h"

namespace Folvane {

namespace {

// Reads the results of the solved load case into arrays and writes them,
// one F16.8 value per line, to job_Node.output and the six job_Ele*.output.
const char* const extractionScript =
    "\n!*Output"
    "\n!* Node number and element number"
    "\n/PREP7"
    "\nNODESEL, ALL"
    "\n*VGET, nodeList, NODE, 0, NLIST"
    "\n*VSCFUN, nodeMaxLabel, MAX, nodeList "
    "\n*GET, nodeNum, PARM, nodeList, DIM, X"
    "\nESEL,ALL"
    "\n*VGET, eleList, ELEM, 0, ELIST"
    "\n*VSCFUN, eleMaxLabel, MAX, eleList "
    "\n*GET, eleNum, PARM, eleList, DIM, X"
    "\n! *Node output"
    "\n/POST1"
    "\nSET,LAST"
    "\nRSYS,0"
    "\n*DIM,nodeout,ARRAY,nodeNum,6"
    "\n*DO,i,1,nodeNum,1"
    "\n    nodeout(i,1)= ux(i)"
    "\n    nodeout(i,2)= uy(i)"
    "\n    nodeout(i,3)= uz(i)"
    "\n    nodeout(i,4)= rotx(i)"
    "\n    nodeout(i,5)= roty(i)"
    "\n    nodeout(i,6)= rotz(i)"
    "\n*ENDDO"
    "\n!*New ELement array"
    "\n*DIM,eleS1out,ARRAY,eleNum,MAXINTP,1"
    "\n*DIM,eleS2out,ARRAY,eleNum,MAXINTP,1"
    "\n*DIM,eleS12out,ARRAY,eleNum,MAXINTP,1"
    "\n*DIM,eleE1out,ARRAY,eleNum,MAXINTP,1"
    "\n*DIM,eleE2out,ARRAY,eleNum,MAXINTP,1"
    "\n*DIM,eleE12out,ARRAY,eleNum,MAXINTP,1"
    "\n*DO,i,1,eleNum,1"
    "\n  *DO,j,1,MAXINTP,1"
    "\n    eleS1out(i,j)=0"
    "\n    eleS2out(i,j)=0"
    "\n    eleS12out(i,j)=0"
    "\n    eleE1out(i,j)=0"
    "\n    eleE2out(i,j)=0"
    "\n    eleE12out(i,j)=0"
    "\n  *ENDDO"
    "\n*ENDDO"
    "\n!* ELement table"
    "\nRSYS,LSYS"
    "\nAVPRIN,0, , "
    "\nETABLE,S1,S,X "
    "\nETABLE,S2,S,Y "
    "\nETABLE,S12,S,XY"
    "\nETABLE,E1,EPTO,X"
    "\nETABLE,E2,EPTO,Y"
    "\nETABLE,E12,EPTO,XY"
    "\n*DO,i,1,MAXINTP,1"
    "\n    Layer,i"
    "\n    shell,mid"
    "\n    ETABLE,REFL "
    "\n    *DO,j,1,eleNum,1"
    "\n        *GET, eleS1out(j,i), ELEM, j, ETAB, S1"
    "\n        *GET, eleS2out(j,i), ELEM, j, ETAB, S2"
    "\n        *GET, eleS12out(j,i), ELEM, j, ETAB, S12"
    "\n        *GET, eleE1out(j,i), ELEM, j, ETAB, E1"
    "\n        *GET, eleE2out(j,i), ELEM, j, ETAB, E2"
    "\n        *GET, eleE12out(j,i), ELEM, j, ETAB, E12"
    "\n    *ENDDO"
    "\n*ENDDO"
    "\nALLSEL"
    "\n*MWRITE, nodeout, %FNAME%_Node, output"
    "\n(F16.8)"
    "\n*MWRITE, eleS1out, %FNAME%_EleS1, output"
    "\n(F16.8)"
    "\n*MWRITE, eleS2out, %FNAME%_EleS2, output"
    "\n(F16.8)"
    "\n*MWRITE, eleS12out, %FNAME%_EleS12, output"
    "\n(F16.8)"
    "\n*MWRITE, eleE1out, %FNAME%_EleE1, output"
    "\n(F16.8)"
    "\n*MWRITE, eleE2out, %FNAME%_EleE2, output"
    "\n(F16.8)"
    "\n*MWRITE, eleE12out, %FNAME%_EleE12, output"
    "\n(F16.8)"
    "\nSAVE";

} // namespace

QString AnsysCmd::jobName(const Model& model)
{
    return model.name().left(32);
}

void AnsysCmd::BuildInp(TextBuffer& out, bool full, int loadCase)
{
    Model& model = *this->model();
    out << "/BATCH\nFINISH\n/CLEAR,START\nFNAME='" << jobName(model) << "'\n/FILNAME,%FNAME%,0\n/PREP7\n!*";
    out << "\n!*Select Element types\nET, 1, SHELL281\nKEYOPT,1,1,0\nKEYOPT,1,3,0\nKEYOPT,1,8,2\nKEYOPT,1,9,0"
           "\nSHPP, OFF\n!*";
    out << "\n!*Materils";
    model.materials().WriteAnsys(out);
    out << "\n!*Nodes";
    model.nodes().WriteAnsys(out);
    model.edges().WriteAnsys(out);
    out << "\n!*Elements and Sections";
    model.sections().WriteAnsys(out);
    out << "\n!*Bounary conditions";
    model.boundaries().WriteAnsys(out);
    out << "\n!* Maximum IntP num\nMAXINTP=" << model.sections().maxPlyCount() << "\nSAVE";
    if (!full)
        return;

    out << "\n!*Load Step\n/SOLU" << (loadCase == 0 ? "\nNLGEOM,OFF" : "\nNLGEOM,ON") << "\nDELTIM," << 0.1
        << ", " << 1e-6 << ", " << 0.1 << "\nOUTRS,ERASE\nOUTRES,BASIC,-1\nAUTOTS,ON\nTIME,1";
    model.loads().setCurrentLoadCase(loadCase);
    model.loads().WriteAnsys(out);
    out << "\nLSWRITE,1\nSAVE\n!*Solve\n/SOLU\nSOLVE";
    out << extractionScript;
}

} // namespace Folvane
