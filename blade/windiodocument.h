#ifndef FOLVANE_WINDIODOCUMENT_H
#define FOLVANE_WINDIODOCUMENT_H

#include "blade/windioimport.h"

namespace Folvane {

class KBlade;

namespace Windio {

// Replaces the document's lists by the blade of a windIO file, named after
// the file. Nothing changes when the file cannot be read or built; the
// error then names the key and position, or what the blade lacks.
bool importFile(KBlade& document, const QString& path, const ImportSettings& settings, ImportReport& report,
                QString& error);

// How closely the built FE model carries what the layers ask for.
struct Fidelity
{
    std::vector<std::pair<QString, double>> modelMass;   // tonnes, by material, as the FE model carries it
    double worstDeviation = 0.0;                         // relative, of a region's or web's laminate thickness
    QString worstWhere;
    // A region or web whose laminate strays more than 2 % from the file's,
    // a model mass more than 3 % from the layers': where, and by how much.
    QStringList warnings;
    // Tonnes the FE model carries in each of equal spans of the blade, by
    // where its elements' centres lie; spanEnds holds their bounds (mm).
    std::vector<double> spanMass;
    std::vector<double> spanEnds;
};
constexpr int MassCheckSpans = 5;
// Beyond this relative difference from the beam model's mass, a warning.
constexpr double MassCheckTolerance = 0.10;
// Needs the FE model of the imported document.
Fidelity measureFidelity(const KBlade& document, const ImportReport& report);

// The lines the import prints: counts, mass and fidelity.
QStringList summary(const KBlade& document, const ImportReport& report, const Fidelity& fidelity);
// The FE model's mass against the file's beam model: none without one.
QStringList beamModelCheck(const ImportReport& report, const Fidelity& fidelity);
// Prints what the import gave up, builds the FE model and prints the summary.
void reportImport(KBlade& document, const ImportReport& report);

} // namespace Windio
} // namespace Folvane

#endif
