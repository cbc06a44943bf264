#ifndef FOLVANE_ANSYSANALYSER_H
#define FOLVANE_ANSYSANALYSER_H

#include "solver/analyser.h"

#include <array>

class QIODevice;

namespace Folvane {

// Runs ANSYS in batch mode on job.inp in the work folder and reads the
// seven job_*.output files its script writes.
class AnsysAnalyser : public Analyser
{
public:
    AnsysAnalyser(Model* model, const QString& workDir, const QString& program);
    // The name the deck gives ANSYS, which names the result files after it.
    QString jobName() const override;
    void CleanFiles(const QString& job) override;
    bool ReadResults(int loadCase, const QString& job) override;

    // The result files in reading order: nodes, then S1, S2, S12, E1, E2, E12.
    static const std::array<const char*, 7> ResultSuffixes;

protected:
    QStringList BuildCommand(const QString& job) const override;
    QStringList resultFiles(const QString& job) const override;
};

// Reads the node file and the six element files (one F16.8 value per line)
// into the model for one load case; false, with a message, when a file ends
// early or holds a line that is not a number.
bool ReadAnsysResults(QIODevice& nodes, std::array<QIODevice*, 6> elements, Model& model, int loadCase);

} // namespace Folvane

#endif
