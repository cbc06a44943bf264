// The analysis operations of the blade document: solver runs, station
// tables, objectives, the scoring of a design and the result table.

#include "blade/kanalysis.h"
#include "blade/kblade.h"
#include "blade/kload.h"
#include "blade/koptsetting.h"
#include "core/messages.h"
#include "core/textbuffer.h"
#include "fem/elementrow.h"
#include "fem/failure.h"
#include "fem/material.h"
#include "fem/polylayer.h"
#include "fem/model.h"
#include "fem/noderow.h"
#include "solver/ansysanalyser.h"
#include "solver/ccxanalyser.h"

#include <cfloat>
#include <cmath>
#include <sstream>

namespace Folvane {

bool KBlade::runSolver(int loadInd)
{
    Model* model = builtModel(loadInd < 0 ? "runAnalysis" : "runLoadCase");
    if (!model)
        return false;
    std::unique_ptr<Analyser> analyser;
    switch (m_anaSet->type()) {
    case KAnalysis::Ansys:
        analyser = std::make_unique<AnsysAnalyser>(model, m_anaSet->workDir(), m_anaSet->proDir());
        break;
    case KAnalysis::Calculix:
        analyser = std::make_unique<CCXAnalyser>(model, m_anaSet->workDir(), m_anaSet->proDir());
        break;
    default:
        outLine(QStringLiteral("KBlade - runAnalysis: Abaqus input is written but not run; choose ANSYS or CalculiX"));
        return false;
    }
    analyser->setThreads(m_anaSet->cpus());
    const bool ok = loadInd < 0 ? analyser->RunAll() : analyser->RunLoadCase(loadInd);
    m_resultLoadCase = ok ? std::max(loadInd, 0) : -1;
    emit ResultsChanged();
    return ok;
}

bool KBlade::runAnalysis()
{
    return runSolver(-1);
}

bool KBlade::runLoadCase(int loadInd)
{
    if (loadInd < 0) {
        outLine(QStringLiteral("KBlade - runLoadCase: load case %1 not found").arg(loadInd + 1));
        return false;
    }
    return runSolver(loadInd);
}

// A table of one row per station whose first column holds the positions.
static Eigen::MatrixXd stationTable(const Eigen::VectorXd& stations, int columns)
{
    Eigen::MatrixXd table = Eigen::MatrixXd::Zero(stations.size(), columns);
    table.col(0) = stations;
    return table;
}

Eigen::MatrixXd KBlade::stationProperties() const
{
    Eigen::MatrixXd table = stationTable(m_stations, 5);
    if (!m_stationElements)
        return table;
    // Row totals come as area, volume, mass, price; the table shows price first.
    const Eigen::MatrixXd totals = m_stationElements->totalsTable();
    const Eigen::Index segments = std::min<Eigen::Index>(totals.rows(), table.rows() - 1);
    table.block(1, 1, segments, 2) = totals.topLeftCorner(segments, 2);
    table.block(1, 3, segments, 1) = totals.block(0, 3, segments, 1);
    table.block(1, 4, segments, 1) = totals.block(0, 2, segments, 1);
    return table;
}

Eigen::MatrixXd KBlade::stationDeflections(int loadInd) const
{
    Eigen::MatrixXd table = stationTable(m_stations, 7);
    if (m_stationNodes)
        table.rightCols(6) = m_stationNodes->meanDisplacements(loadInd);
    return table;
}

Eigen::MatrixXd KBlade::stationTwist(int loadInd) const
{
    Eigen::MatrixXd table = stationTable(m_stations, 2);
    if (m_stationNodes)
        table.col(1) = m_stationNodes->twists(loadInd);
    return table;
}

Eigen::MatrixXd KBlade::stationStresses(int loadInd) const
{
    Eigen::MatrixXd table = stationTable(m_stations, 1 + Element::ResultCount);
    if (!m_stationElements)
        return table;
    const Eigen::MatrixXd summaries = m_stationElements->summaryTable(loadInd);
    const Eigen::Index segments = std::min<Eigen::Index>(summaries.rows(), table.rows() - 1);
    table.block(1, 1, segments, Element::ResultCount) = summaries.topRows(segments);
    return table;
}

Eigen::VectorXd KBlade::computeObjectives() const
{
    Eigen::VectorXd objectives = Eigen::VectorXd::Zero(ObjectiveCount);
    const Eigen::MatrixXd properties = stationProperties();
    objectives[0] = properties.col(3).sum();
    objectives[1] = properties.col(4).sum();
    const int cases = m_model ? std::min(loadNum(), m_model->loads().ReadLoadNum()) : 0;
    if (cases == 0 || m_stations.size() == 0)
        return objectives;
    // Per load case: the largest absolute deflections and twist over the
    // stations, the largest stresses over the segments; then the largest of
    // those over the load cases.
    Eigen::MatrixXd perCase(cases, 10);
    for (int l = 0; l < cases; ++l) {
        const Eigen::MatrixXd deflections = stationDeflections(l);
        perCase(l, 0) = deflections.col(1).cwiseAbs().maxCoeff();
        perCase(l, 1) = deflections.col(2).cwiseAbs().maxCoeff();
        perCase(l, 2) = stationTwist(l).col(1).cwiseAbs().maxCoeff();
        perCase.block(l, 3, 1, 7) = stationStresses(l).middleCols(1, 7).colwise().maxCoeff();
    }
    objectives.tail(10) = perCase.colwise().maxCoeff().transpose();
    return objectives;
}

bool KBlade::checkPriceMass() const
{
    Eigen::VectorXd targets, lows, highs, weights;
    optSetting()->objectiveArrays(targets, lows, highs, weights);
    if (lows.size() < 2)
        return false;
    const Eigen::MatrixXd properties = stationProperties();
    const double price = properties.col(3).sum();
    const double mass = properties.col(4).sum();
    return lows[0] < price && price < highs[0] && lows[1] < mass && mass < highs[1];
}

bool KBlade::evaluate(double& fitness, Eigen::VectorXd& results, QString* why)
{
    auto fail = [why](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    fitness = -0.7 * DBL_MAX;
    results = Eigen::VectorXd::Zero(ResultCount);
    Eigen::VectorXd targets, lows, highs, weights;
    optSetting()->objectiveArrays(targets, lows, highs, weights);
    if (targets.size() < ObjectiveCount) {
        const QString reason = QStringLiteral("the optimisation setting holds %1 objectives, %2 are needed")
                                   .arg(targets.size()).arg(ObjectiveCount);
        outLine(QStringLiteral("KBlade - evaluate: ") + reason);
        return fail(reason);
    }
    if (!checkPriceMass())
        return fail(QStringLiteral("price and mass inside their bounds"));
    if (!runAnalysis())
        return fail(QStringLiteral("an analysis that the solver completes"));
    results = computeObjectives();
    std::ostringstream text;
    text << results;
    outLine(QStringLiteral("Max. Results:\n") + QString::fromStdString(text.str()));
    for (int i = 0; i < ObjectiveCount; ++i) {
        if (!(lows[i] < results[i] && results[i] < highs[i]))
            return fail(QStringLiteral("%1 between %2 and %3")
                            .arg(optSetting()->ReadObjective(i)->name(), formatNumber(lows[i]), formatNumber(highs[i])));
    }
    // The design checks that are optimised follow the objectives, in the
    // results and in the fitness, which weighs them alike.
    std::vector<double> checks;
    QString missing;
    if (!evaluateChecks(checks, missing))
        return fail(missing);
    const Eigen::ArrayXd deviation = results.array() - targets.head(ObjectiveCount).array();
    double sum = (weights.head(ObjectiveCount).array() * deviation.square()).sum();
    const Eigen::Index base = results.size();
    results.conservativeResize(base + Eigen::Index(checks.size()));
    size_t k = 0;
    for (int i = 0; i < KOptSetting::CheckCount; ++i) {
        const KObjective* check = optSetting()->check(i);
        if (!check->isOpt())
            continue;
        const double value = checks[k];
        results[base + Eigen::Index(k++)] = value;
        if (!(check->low() < value && value < check->high()))
            return fail(QStringLiteral("%1 between %2 and %3")
                            .arg(check->name(), formatNumber(check->low()), formatNumber(check->high())));
        sum += check->weight() * (value - check->target()) * (value - check->target());
    }
    fitness = -std::sqrt(sum / double(ObjectiveCount + checks.size()));
    return true;
}

bool KBlade::exportResults(const QString& fp, int loadInd, QString* error) const
{
    const Eigen::MatrixXd properties = stationProperties();
    Eigen::MatrixXd table(properties.rows(), 21);
    table.leftCols(5) = properties;
    const Eigen::MatrixXd deflections = stationDeflections(loadInd);
    table.col(5) = deflections.col(1);
    table.col(6) = deflections.col(2);
    table.col(7) = stationTwist(loadInd).col(1);
    table.rightCols(13) = stationStresses(loadInd).rightCols(13);
    std::ostringstream text;
    text << "Blade Length, Area, Volume, Price, Mass, def X, def Y, Twist, Sv, S11, S22, S33, S12, S13, S23, "
            "E11, E22, E33, E12, E13, E23\n"
         << table << '\n';
    const std::string bytes = text.str();
    const bool written = saveText(fp, [&bytes](TextBuffer& out) { out << bytes.c_str(); }, error);
    if (!written)
        outLine(QStringLiteral("Cantnot export to file: ") + fp);
    return written;
}

bool KBlade::evaluateChecks(std::vector<double>& values, QString& why)
{
    values.clear();
    const KOptSetting* opt = optSetting();
    const auto active = [opt](int i) { return opt->check(i)->isOpt(); };
    double flap = std::nan(""), edge = std::nan("");
    if (active(KOptSetting::FlapFrequency) || active(KOptSetting::EdgeFrequency)) {
        if (!runModal(opt->modalModes())) {
            why = QStringLiteral("a modal analysis that the solver completes");
            return false;
        }
        for (int m = int(m_eigen.values.size()) - 1; m >= 0; --m) {
            const QString kind = modeClass(m);
            if (kind == QLatin1String("flapwise"))
                flap = m_eigen.values[size_t(m)];
            else if (kind == QLatin1String("edgewise"))
                edge = m_eigen.values[size_t(m)];
        }
    }
    for (int i = 0; i < KOptSetting::CheckCount; ++i) {
        if (!active(i))
            continue;
        double value = std::nan("");
        switch (i) {
        case KOptSetting::BucklingFactor: {
            const int chosen = opt->bucklingLoadCase();
            if (chosen > loadNum()) {
                why = QStringLiteral("the buckled load case %1").arg(chosen);
                return false;
            }
            value = HUGE_VAL;
            for (int l = chosen > 0 ? chosen - 1 : 0; l < (chosen > 0 ? chosen : loadNum()); ++l) {
                if (!runBuckling(l, opt->bucklingModes())) {
                    why = QStringLiteral("a buckling analysis that the solver completes");
                    return false;
                }
                for (double f : m_eigen.values)
                    if (f > 0)
                        value = std::min(value, f);
            }
            if (value == HUGE_VAL) {
                why = QStringLiteral("a positive buckling factor");
                return false;
            }
            break;
        }
        case KOptSetting::FlapFrequency:
        case KOptSetting::EdgeFrequency:
            value = i == KOptSetting::FlapFrequency ? flap : edge;
            if (std::isnan(value)) {
                why = QStringLiteral("a %1 mode among the first %2")
                          .arg(i == KOptSetting::FlapFrequency ? QStringLiteral("flapwise") : QStringLiteral("edgewise"))
                          .arg(opt->modalModes());
                return false;
            }
            break;
        case KOptSetting::FailureIndex:
            // The larger of the two criteria, over every load case.
            for (int l = 0; l < loadNum(); ++l) {
                const Eigen::MatrixXd table = stationFailure(l);
                for (Eigen::Index r = 0; r < table.rows(); ++r)
                    for (int c : {1, 4})
                        if (!std::isnan(table(r, c)) && !(table(r, c) <= value))
                            value = table(r, c);
            }
            if (std::isnan(value)) {
                why = QStringLiteral("a failure index (no ply's material gives all five strengths)");
                return false;
            }
            break;
        }
        values.push_back(value);
    }
    return true;
}

Eigen::MatrixXd KBlade::stationFailure(int loadInd) const
{
    const double none = std::nan("");
    Eigen::MatrixXd table = Eigen::MatrixXd::Constant(m_stations.size(), FailureColumns, none);
    table.col(0) = m_stations;
    if (!m_stationElements)
        return table;
    const Eigen::Index segments = std::min<Eigen::Index>(m_stationElements->count(), table.rows() - 1);
    for (Eigen::Index s = 0; s < segments; ++s) {
        auto row = table.row(s + 1);
        for (const Element* element : m_stationElements->row(int(s))->elements()) {
            const PolyLayer* section = element->section();
            if (!section || loadInd < 0 || loadInd >= element->result(Element::S11).cols())
                continue;
            const PlyStack& plies = section->plies();
            const int count = std::min<int>(int(plies.materials.size()), element->plyCount());
            for (int k = 0; k < count; ++k) {
                const PlyFailure f = plyFailure(*plies.materials[size_t(k)], element->result(Element::S11)(k, loadInd),
                                                element->result(Element::S22)(k, loadInd),
                                                element->result(Element::S12)(k, loadInd));
                // NaN compares false: a ply without strengths never wins.
                if (f.maxStress > row(1) || (std::isnan(row(1)) && !std::isnan(f.maxStress)))
                    row.segment(1, 3) << f.maxStress, double(element->number()), double(k + 1);
                if (f.tsaiWu > row(4) || (std::isnan(row(4)) && !std::isnan(f.tsaiWu)))
                    row.segment(4, 3) << f.tsaiWu, double(element->number()), double(k + 1);
            }
        }
    }
    return table;
}

bool KBlade::exportFailure(const QString& fp, int loadInd, QString* error) const
{
    const Eigen::MatrixXd table = stationFailure(loadInd);
    const bool written = saveText(fp, [&table](TextBuffer& out) {
        out << "Blade Length, Max Stress, Element, Ply, Tsai-Wu, Element, Ply\n";
        for (Eigen::Index r = 0; r < table.rows(); ++r) {
            QString line;
            for (Eigen::Index c = 0; c < table.cols(); ++c) {
                const double v = table(r, c);
                line += (c ? QStringLiteral(" ") : QString())
                    + (std::isnan(v) ? QStringLiteral("-") : QString::number(v, 'g', 6)).rightJustified(12);
            }
            out << line.toUtf8().constData() << '\n';
        }
    }, error);
    if (!written)
        outLine(QStringLiteral("Cannot export to file: ") + fp);
    return written;
}

void KBlade::readOptSettings(QString& optDir, int& population, double& selPortion, double& mutateRate,
                             int& crossoverNum) const
{
    const KOptSetting* opt = optSetting();
    optDir = opt->optDir();
    population = opt->population();
    selPortion = opt->selPortion();
    mutateRate = opt->mutateRate();
    crossoverNum = opt->crossoverNum();
}

void KBlade::setOptDir(const QString& dir)
{
    optSetting()->setOptDir(dir);
}

} // namespace Folvane
