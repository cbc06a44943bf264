#ifndef FOLVANE_WINDIOIMPORT_H
#define FOLVANE_WINDIOIMPORT_H

#include "blade/windioblade.h"

#include <QJsonObject>
#include <utility>
#include <vector>

namespace Folvane::Windio {

struct ImportSettings
{
    double meshSize = 500.0;      // mm
    double plyThickness = 0.01;   // mm: one repetition of every imported pattern
};

// What the import made and what it had to give up, and the laminate the
// windIO layers ask for, to check the built model against.
struct ImportReport
{
    QString version;              // the windIO version read: "1.x" or "2.0"
    int profiles = 0;
    int regions = 0;
    int webs = 0;
    int layers = 0;
    int materials = 0;
    int singleLayers = 0;
    int largestPlyCount = 0;      // plies of the thickest stack of any region or web
    int mergedRegions = 0;        // real layer edges given up for the 30-region limit
    QStringList messages;

    std::vector<double> profileLocations;                // mm
    std::vector<QString> regionNames, webNames;
    std::vector<std::vector<double>> regionThickness;    // [region][profile], mm, 0 where absent
    std::vector<std::vector<double>> webThickness;       // [web][profile]
    // Mass integrated straight from the layers (thickness x arc width x
    // density over the span), in tonnes, by material.
    std::vector<std::pair<QString, double>> layerMass;
    // The file's own beam model, to check the built model against.
    std::optional<BeamModel> beam;
};

// The exchange document (as the blade document reads it) of a windIO blade:
// profiles, regions, webs, materials, patterns, single layers and one load
// case without forces. False with the reason when the blade cannot be
// built (an extent that is empty where the layer has thickness, a web
// whose attachment changes places with a layer edge, and so on).
bool buildDocument(const Blade& blade, const QString& bladeName, const ImportSettings& settings,
                   QJsonObject& document, ImportReport& report, QString& error);

} // namespace Folvane::Windio

#endif
