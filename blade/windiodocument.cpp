#include "blade/windiodocument.h"

#include "blade/kblade.h"
#include "blade/windioreader.h"
#include "core/messages.h"
#include "fem/element.h"
#include "fem/material.h"
#include "fem/model.h"
#include "fem/polylayer.h"
#include "geometry/kprofilelist.h"

#include <QFileInfo>
#include <QHash>
#include <cmath>
#include <map>

namespace Folvane::Windio {

namespace {

// What the import promises: laminate thickness within 2 % of the file's at
// every profile, the model's mass within 3 % of the layers'.
constexpr double ThicknessTolerance = 0.02;
constexpr double MassTolerance = 0.03;

QString where(const QString& owner, double z, double built, double expected)
{
    return QStringLiteral("%1 at z = %2 m: %3 mm for %4 mm")
        .arg(owner).arg(z / 1000.0, 0, 'f', 2).arg(built, 0, 'f', 3).arg(expected, 0, 'f', 3);
}

// The model's mass against the layers', most apart in which material.
QString massWarning(const Fidelity& fidelity, const ImportReport& report)
{
    double model = 0.0, layers = 0.0, worst = -1.0;
    QString most;
    for (size_t i = 0; i < fidelity.modelMass.size() && i < report.layerMass.size(); ++i) {
        const double m = fidelity.modelMass[i].second, l = report.layerMass[i].second;
        model += m;
        layers += l;
        if (std::abs(m - l) > worst) {
            worst = std::abs(m - l);
            most = QStringLiteral("%1: %2 t for %3 t")
                       .arg(fidelity.modelMass[i].first).arg(m, 0, 'g', 4).arg(l, 0, 'g', 4);
        }
    }
    if (!(layers > 0.0) || std::abs(model - layers) <= MassTolerance * layers)
        return QString();
    return QStringLiteral("Warning: the FE model carries %1 t, %2 % %3 than the %4 t the layers give (%5 % allowed); "
                          "most apart in %6")
        .arg(model, 0, 'g', 4).arg(100.0 * std::abs(model - layers) / layers, 0, 'f', 2)
        .arg(model < layers ? QStringLiteral("less") : QStringLiteral("more")).arg(layers, 0, 'g', 4)
        .arg(100.0 * MassTolerance).arg(most);
}

} // namespace

bool importFile(KBlade& document, const QString& path, const ImportSettings& settings, ImportReport& report,
                QString& error)
{
    Blade blade;
    QJsonObject built;
    if (!readBlade(path, blade, error) || !buildDocument(blade, QFileInfo(path).completeBaseName(), settings, built,
                                                         report, error))
        return false;
    report.version = blade.version;
    // The lists windIO says nothing about (parameters, optimisation and
    // sampling settings) start as in a new document.
    document.newFile();
    QJsonObject json = document.toJson();
    for (auto it = built.begin(); it != built.end(); ++it)
        json[it.key()] = it.value();
    document.fromJson(json);
    document.profiles()->autoMesh();
    return true;
}

Fidelity measureFidelity(const KBlade& document, const ImportReport& report)
{
    Fidelity fidelity;
    const Model* model = document.feModel();
    if (!model)
        return fidelity;
    std::map<QString, double> mass;
    QHash<QString, const PolyLayer*> sections;
    for (int i = 0; i < model->sections().count(); ++i) {
        const PolyLayer* section = model->sections().at(i);
        sections.insert(section->name(), section);
        double area = 0.0;
        for (const Element* element : section->elements())
            area += element->area();
        const PlyStack& plies = section->plies();
        for (size_t k = 0; k < plies.materials.size(); ++k)
            mass[plies.materials[k]->name()] += area * plies.thicknesses[k] * plies.materials[k]->density();
    }
    for (int i = 0; i < model->materials().count(); ++i) {
        const QString name = model->materials().at(i)->name();
        fidelity.modelMass.push_back({name, mass[name]});
    }

    // Every profile is a mesh station; the section that starts there
    // carries the profile's laminate.
    const Eigen::VectorXd& stations = document.stationPositions();
    const auto stationOf = [&](double z) {
        Eigen::Index best = 0;
        (stations.array() - z).abs().minCoeff(&best);
        return int(best);
    };
    const auto compare = [&](const QString& owner, const std::vector<double>& expected, size_t last) {
        int beyond = 0;
        double worst = 0.0;
        QString worstHere;
        for (size_t p = 0; p < last; ++p) {
            if (expected[p] <= 0.0)
                continue;
            const int station = stationOf(report.profileLocations[p]);
            const PolyLayer* section = sections.value(owner + QLatin1Char('-') + QString::number(station + 1));
            const double built = section ? section->totalThickness() : 0.0;
            const double deviation = std::abs(built - expected[p]) / expected[p];
            const QString here = where(owner, report.profileLocations[p], built, expected[p]);
            if (deviation > fidelity.worstDeviation || fidelity.worstWhere.isEmpty()) {
                fidelity.worstDeviation = deviation;
                fidelity.worstWhere = here;
            }
            beyond += deviation > ThicknessTolerance;
            if (deviation > worst) {
                worst = deviation;
                worstHere = here;
            }
        }
        if (beyond > 0)
            fidelity.warnings << QStringLiteral("Warning: the laminate of %1 deviates more than %2 % from the file's "
                                                "at %3 profiles, most by %4 % (%5)")
                                     .arg(owner).arg(100.0 * ThicknessTolerance).arg(beyond)
                                     .arg(100.0 * worst, 0, 'f', 2).arg(worstHere);
    };
    const size_t profiles = report.profileLocations.size();
    for (size_t r = 0; r < report.regionNames.size(); ++r)
        compare(report.regionNames[r], report.regionThickness[r], profiles - 1);
    for (size_t w = 0; w < report.webNames.size(); ++w) {
        // The web's last profile starts no section of the web.
        size_t last = 0;
        for (size_t p = 0; p < profiles; ++p)
            if (report.webThickness[w][p] > 0.0)
                last = p;
        compare(report.webNames[w], report.webThickness[w], last);
    }
    const QString massLine = massWarning(fidelity, report);
    if (!massLine.isEmpty())
        fidelity.warnings << massLine;
    return fidelity;
}

QStringList summary(const KBlade& document, const ImportReport& report, const Fidelity& fidelity)
{
    QStringList lines;
    lines << QStringLiteral("Read as windIO %1").arg(report.version)
          << QStringLiteral("Profiles: %1").arg(report.profiles)
          << QStringLiteral("Regions: %1").arg(report.regions)
          << QStringLiteral("Webs: %1").arg(report.webs)
          << QStringLiteral("Layers: %1").arg(report.layers)
          << QStringLiteral("Materials: %1").arg(report.materials)
          << QStringLiteral("Single layers: %1").arg(report.singleLayers)
          << QStringLiteral("Largest ply count of a section: %1").arg(report.largestPlyCount)
          << QStringLiteral("Regions merged for the 30-region limit: %1").arg(report.mergedRegions)
          << QStringLiteral("Elements at mesh size %1 mm: %2").arg(document.meshSize()).arg(document.elementCount());
    double modelTotal = 0.0, layerTotal = 0.0;
    lines << QStringLiteral("Blade mass by material, as the FE model carries it, and from the windIO layers (t):");
    for (size_t i = 0; i < fidelity.modelMass.size(); ++i) {
        const double fromLayers = i < report.layerMass.size() ? report.layerMass[i].second : 0.0;
        lines << QStringLiteral("  %1 %2 %3").arg(fidelity.modelMass[i].first)
                                             .arg(fidelity.modelMass[i].second, 0, 'f', 3)
                                             .arg(fromLayers, 0, 'f', 3);
        modelTotal += fidelity.modelMass[i].second;
        layerTotal += fromLayers;
    }
    lines << QStringLiteral("  Total %1 %2").arg(modelTotal, 0, 'f', 3).arg(layerTotal, 0, 'f', 3);
    lines << QStringLiteral("Largest laminate thickness deviation: %1 % (%2)")
                 .arg(100.0 * fidelity.worstDeviation, 0, 'f', 2).arg(fidelity.worstWhere);
    return lines + fidelity.warnings;
}

void reportImport(KBlade& document, const ImportReport& report)
{
    for (const QString& message : report.messages)
        outLine(message);
    {
        // The summary says what the build gave.
        QuietDebug quiet;
        document.genFEModel();
    }
    for (const QString& line : summary(document, report, measureFidelity(document, report)))
        outLine(line);
}

} // namespace Folvane::Windio
