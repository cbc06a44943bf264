// Buckling and natural frequencies of the built blade, by CalculiX, and
// what the modes are.

#include "blade/kanalysis.h"
#include "blade/kblade.h"
#include "core/messages.h"
#include "core/textbuffer.h"
#include "fem/element.h"
#include "fem/model.h"
#include "fem/noderow.h"

namespace Folvane {

namespace {

constexpr int MaxModes = 100;

} // namespace

static bool runEigen(Model* model, const KAnalysis* settings, CCXCmd::Step step, int loadInd, int modes,
                     EigenModes& result, const char* operation)
{
    if (!model)
        return false;
    if (modes < 1 || modes > MaxModes) {
        outLine(QStringLiteral("KBlade - %1: %2 modes asked for, 1 to %3 can be")
                    .arg(QLatin1String(operation)).arg(modes).arg(MaxModes));
        return false;
    }
    // The decks of the other solvers hold no such step: CalculiX runs them,
    // the settings' program when they name CalculiX.
    const QString program = settings->type() == KAnalysis::Calculix ? settings->proDir() : QString();
    CCXAnalyser analyser(model, settings->workDir(), program, false);
    analyser.setThreads(settings->cpus());
    return analyser.RunEigen(step, modes, loadInd, result);
}

bool KBlade::runModal(int modes)
{
    m_eigen = EigenModes();
    const bool ok = runEigen(builtModel("runModal"), m_anaSet, CCXCmd::Step::Frequency, 0, modes, m_eigen, "runModal");
    emit ResultsChanged();
    return ok;
}

bool KBlade::runBuckling(int loadInd, int modes)
{
    m_eigen = EigenModes();
    Model* model = builtModel("runBuckling");
    if (model && (loadInd < 0 || loadInd >= model->loads().ReadLoadNum())) {
        outLine(QStringLiteral("KBlade - runBuckling: load case %1 not found").arg(loadInd + 1));
        return false;
    }
    const bool ok = runEigen(model, m_anaSet, CCXCmd::Step::Buckle, loadInd, modes, m_eigen, "runBuckling");
    emit ResultsChanged();
    return ok;
}

QString KBlade::modeClass(int mode) const
{
    if (!m_stationNodes || mode < 0 || mode >= m_eigen.shapes.cols())
        return QString();
    const auto moved = [&](const Node* n) { return m_eigen.shapes.block(3 * Eigen::Index(n->id()), mode, 2, 1); };
    double along[3] = {0, 0, 0};   // x, y, turn
    double all = 0;
    for (int s = 0; s < m_stationNodes->count(); ++s) {
        const std::vector<Node*>& nodes = m_stationNodes->row(s)->nodes();
        if (nodes.empty())
            continue;
        Eigen::Vector2d centre = Eigen::Vector2d::Zero(), mean = Eigen::Vector2d::Zero();
        for (const Node* n : nodes) {
            centre += n->position().head<2>();
            mean += moved(n);
        }
        centre /= double(nodes.size());
        mean /= double(nodes.size());
        // The turn that best fits the nodes' motion about the centre, and
        // the motion it gives at their mean distance.
        double moment = 0, spread = 0, squares = 0;
        for (const Node* n : nodes) {
            const Eigen::Vector2d r = n->position().head<2>() - centre;
            const Eigen::Vector2d u = moved(n) - mean;
            moment += r.x() * u.y() - r.y() * u.x();
            spread += r.squaredNorm();
            squares += m_eigen.shapes.block(3 * Eigen::Index(n->id()), mode, 3, 1).squaredNorm();
        }
        const double turn = spread > 0 ? moment / spread : 0;
        along[0] += mean.x() * mean.x();
        along[1] += mean.y() * mean.y();
        along[2] += turn * turn * spread / double(nodes.size());
        all += squares / double(nodes.size());
    }
    if (along[0] + along[1] + along[2] < 0.5 * all)
        return QStringLiteral("local");
    if (along[2] >= along[0] && along[2] >= along[1])
        return QStringLiteral("torsional");
    return along[1] >= along[0] ? QStringLiteral("flapwise") : QStringLiteral("edgewise");
}

std::pair<double, QString> KBlade::largestMotion(int mode) const
{
    if (!m_model || !m_stationNodes || mode < 0 || mode >= m_eigen.shapes.cols())
        return {0.0, QString()};
    Eigen::Index best = 0;
    m_eigen.shapes.col(mode).reshaped(3, m_eigen.shapes.rows() / 3).colwise().squaredNorm().maxCoeff(&best);
    const Node* node = m_model->nodes().at(int(best));
    double station = 0;
    for (int s = 0; s < m_stationNodes->count(); ++s)
        for (const Node* n : m_stationNodes->row(s)->nodes())
            if (n == node)
                station = m_stations[s];
    QString region;
    m_model->elements().forEach([&](const Element& e) {
        for (int c = 0; c < e.cornerCount() && region.isEmpty(); ++c)
            if (e.node(c) == node) {
                const int group = size_t(e.id()) < m_elementGroups.size() ? m_elementGroups[size_t(e.id())] : -1;
                region = group >= 0 && group < m_groupNames.size() ? m_groupNames[group] : QString();
            }
    });
    return {station, region};
}

bool KBlade::exportModal(const QString& fp, QString* error) const
{
    const bool written = saveText(fp, [this](TextBuffer& out) {
        out << "Mode, Frequency, Class\n";
        for (size_t m = 0; m < m_eigen.values.size(); ++m)
            out << QStringLiteral("%1 %2 %3\n").arg(m + 1, 4).arg(m_eigen.values[m], 14, 'g', 6)
                       .arg(modeClass(int(m))).toUtf8().constData();
    }, error);
    if (!written)
        outLine(QStringLiteral("Cannot export to file: ") + fp);
    return written;
}

bool KBlade::exportBuckling(const QString& fp, QString* error) const
{
    const bool written = saveText(fp, [this](TextBuffer& out) {
        out << "Mode, Load Factor, Station, Region\n";
        for (size_t m = 0; m < m_eigen.values.size(); ++m) {
            const auto [station, region] = largestMotion(int(m));
            out << QStringLiteral("%1 %2 %3 %4\n").arg(m + 1, 4).arg(m_eigen.values[m], 14, 'g', 6)
                       .arg(station, 12, 'g', 6).arg(region).toUtf8().constData();
        }
    }, error);
    if (!written)
        outLine(QStringLiteral("Cannot export to file: ") + fp);
    return written;
}

} // namespace Folvane
