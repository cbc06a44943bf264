#ifndef FOLVANE_CCXANALYSER_H
#define FOLVANE_CCXANALYSER_H

#include "solver/analyser.h"
#include "solver/ccxcmd.h"

#include <Eigen/Dense>
#include <vector>

class QIODevice;

namespace Folvane {

// Runs CalculiX on job.inp in the work folder and reads job.dat.
// Eigenvalues of a CalculiX step and their mode shapes: natural frequencies
// in cycles per time unit, or buckling factors of the step's load.
struct EigenModes
{
    std::vector<double> values;
    bool buckling = false;
    // Displacement of every corner node (x, y, z of node i in rows 3i ...
    // 3i + 2), one column per mode.
    Eigen::MatrixXd shapes;
};

class CCXAnalyser : public Analyser
{
public:
    CCXAnalyser(Model* model, const QString& workDir, const QString& program, bool clearResults = true);
    bool ReadResults(int loadCase, const QString& job) override;
    // The first modes of a frequency step, or of a buckling step under a
    // load case, run as job "<model>-modal" or "<model>-buckle"; false, with
    // the messages, when the run or its reading fails.
    bool RunEigen(CCXCmd::Step step, int modes, int loadCase, EigenModes& result);

protected:
    QStringList BuildCommand(const QString& job) const override;
    QStringList resultFiles(const QString& job) const override;
    // CalculiX marks input and solver errors with lines that begin "*ERROR".
    bool isErrorLine(const QByteArray& line) const override;
    // CalculiX takes its thread counts from the environment: OpenMP's, and
    // one of its own for each stage (any left unset falls back to 1).
    void setThreadEnvironment(QProcessEnvironment& environment) const override;
};

// Reads the displacement, stress and strain blocks of a CalculiX .dat file
// into the model's nodes and elements for one load case. False, with a
// message, at the first line that is not what the block holds, and when the
// file leaves a corner node without displacements or an element without
// stresses or strains (a run that stopped part-way).
bool ReadCCXResults(QIODevice& dat, Model& model, int loadCase);

// Reads the eigenvalue table (frequencies, or buckling factors) and the
// mode shapes that follow it in a CalculiX .dat file. False, with a
// message, when a table row or a shape is not what it should be, or a mode
// lacks a shape of every corner node.
bool ReadCCXEigen(QIODevice& dat, const Model& model, bool buckling, EigenModes& result);

} // namespace Folvane

#endif
