#ifndef FOLVANE_CCXANALYSER_H
#define FOLVANE_CCXANALYSER_H

#include "solver/analyser.h"

class QIODevice;

namespace Folvane {

// Runs CalculiX on job.inp in the work folder and reads job.dat.
class CCXAnalyser : public Analyser
{
public:
    CCXAnalyser(Model* model, const QString& workDir, const QString& program);
    bool ReadResults(int loadCase, const QString& job) override;

protected:
    QStringList BuildCommand(const QString& job) const override;
    QStringList resultFiles(const QString& job) const override;
    // CalculiX marks input and solver errors with lines that begin "*ERROR".
    bool isErrorLine(const QByteArray& line) const override;
};

// Reads the displacement, stress and strain blocks of a CalculiX .dat file
// into the model's nodes and elements for one load case. False, with a
// message, at the first line that is not what the block holds, and when the
// file leaves a corner node without displacements or an element without
// stresses or strains (a run that stopped part-way).
bool ReadCCXResults(QIODevice& dat, Model& model, int loadCase);

} // namespace Folvane

#endif
