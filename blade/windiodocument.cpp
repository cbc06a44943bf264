#include "blade/windiodocument.h"

#include "blade/kblade.h"
#include "blade/windioreader.h"
#include "core/messages.h"
#include "fem/element.h"
#include "fem/material.h"
#include "fem/model.h"
#include "fem/node.h"
#include "fem/polylayer.h"
#include "geometry/kprofilelist.h"

#include <QFileInfo>
#include <QHash>
#include <algorithm>
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
    report.beam = blade.beam;
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

namespace {

// Shares an element's mass among the spans its height runs through, evenly
// along its height: elements straddle the spans' ends.
void addBySpan(const Element& element, double mass, const std::vector<double>& ends, std::vector<double>& spans)
{
    double low = element.node(0)->z(), high = low;
    for (int i = 1; i < element.cornerCount(); ++i) {
        low = std::min(low, element.node(i)->z());
        high = std::max(high, element.node(i)->z());
    }
    for (size_t k = 0; k < spans.size(); ++k) {
        // The outermost spans take what lies beyond the blade's ends.
        const double from = k == 0 ? -INFINITY : ends[k], to = k + 1 == spans.size() ? INFINITY : ends[k + 1];
        if (high > low)
            spans[k] += mass * std::max(0.0, std::min(high, to) - std::max(low, from)) / (high - low);
        else if (low >= from && low < to)
            spans[k] += mass;
    }
}

} // namespace

Fidelity measureFidelity(const KBlade& document, const ImportReport& report)
{
    Fidelity fidelity;
    const Model* model = document.feModel();
    if (!model)
        return fidelity;
    std::map<QString, double> mass;
    QHash<QString, const PolyLayer*> sections;
    const double root = report.profileLocations.empty() ? 0.0 : report.profileLocations.front();
    const double span = report.profileLocations.empty() ? 0.0 : report.profileLocations.back() - root;
    fidelity.spanMass.assign(MassCheckSpans, 0.0);
    for (int k = 0; k <= MassCheckSpans; ++k)
        fidelity.spanEnds.push_back(root + span * k / MassCheckSpans);
    for (int i = 0; i < model->sections().count(); ++i) {
        const PolyLayer* section = model->sections().at(i);
        sections.insert(section->name(), section);
        const PlyStack& plies = section->plies();
        double perArea = 0.0;
        for (size_t k = 0; k < plies.materials.size(); ++k)
            perArea += plies.thicknesses[k] * plies.materials[k]->density();
        double area = 0.0;
        for (const Element* element : section->elements()) {
            area += element->area();
            addBySpan(*element, element->area() * perArea, fidelity.spanEnds, fidelity.spanMass);
        }
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
    lines << beamModelCheck(report, fidelity);
    return lines + fidelity.warnings;
}

namespace {

QString percent(double model, double reference)
{
    return QString::asprintf("%+.1f %%", 100.0 * (model - reference) / reference);
}

// The span where the FE model's mass per length and the beam model's, both
// over the same stretch of the reference axis, differ most; empty when the
// beam model reaches no span.
QString worstSpan(const BeamModel& beam, const Fidelity& fidelity)
{
    int worst = -1;
    double worstModel = 0.0, worstBeam = 0.0, worstRatio = 0.0;
    for (size_t k = 0; k < fidelity.spanMass.size(); ++k) {
        const double from = fidelity.spanEnds[k] / 1000.0, to = fidelity.spanEnds[k + 1] / 1000.0;
        const double length = beam.length(from, to);
        const double inBeam = beam.mass(from, to);
        if (length <= 0.0 || inBeam <= 0.0)
            continue;
        const double ratio = std::abs(1000.0 * fidelity.spanMass[k] / inBeam - 1.0);
        if (worst < 0 || ratio > worstRatio) {
            worst = int(k);
            worstRatio = ratio;
            worstModel = 1000.0 * fidelity.spanMass[k] / length;
            worstBeam = inBeam / length;
        }
    }
    if (worst < 0)
        return QString();
    return QStringLiteral("Mass per length differs most in span %1 of %2 (z %3 to %4 m): FE model %5 kg/m, beam model "
                          "%6 kg/m (%7)")
        .arg(worst + 1).arg(fidelity.spanMass.size())
        .arg(fidelity.spanEnds[size_t(worst)] / 1000.0, 0, 'f', 2)
        .arg(fidelity.spanEnds[size_t(worst) + 1] / 1000.0, 0, 'f', 2)
        .arg(worstModel, 0, 'f', 1).arg(worstBeam, 0, 'f', 1).arg(percent(worstModel, worstBeam));
}

} // namespace

QStringList beamModelCheck(const ImportReport& report, const Fidelity& fidelity)
{
    QStringList lines;
    if (!report.beam || !report.beam->hasMass() || fidelity.spanMass.empty())
        return lines;
    const BeamModel& beam = *report.beam;
    constexpr double Everywhere = 1e300;
    const double beamMass = beam.mass(-Everywhere, Everywhere) / 1000.0;
    if (beamMass <= 0.0)
        return lines;
    double modelMass = 0.0;
    for (const auto& material : fidelity.modelMass)
        modelMass += material.second;
    lines << QStringLiteral("Mass of the file's beam model along its reference axis: %1 t; the FE model carries %2 t (%3)")
                 .arg(beamMass, 0, 'f', 3).arg(modelMass, 0, 'f', 3).arg(percent(modelMass, beamMass));
    const QString span = worstSpan(beam, fidelity);
    if (!span.isEmpty())
        lines << span;
    if (std::abs(modelMass - beamMass) > MassCheckTolerance * beamMass)
        lines << QStringLiteral("Warning: the FE model's mass differs from the beam model's by more than %1 %: the "
                                "layers, materials or the blade's length may have been read wrongly, or the file's "
                                "beam model may not come from its layers")
                     .arg(100.0 * MassCheckTolerance);
    return lines;
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
