// The FE view of the built model: what it is coloured by, how it is
// deformed, and what an element holds.

#include "blade/kblade.h"
#include "core/messages.h"
#include "fem/elementvalues.h"
#include "fem/failure.h"
#include "fem/model.h"
#include "geometry/colourscale.h"

#include <QColor>
#include <Qt3DRender/QAttribute>
#include <Qt3DRender/QGeometry>
#include <cmath>

namespace Folvane {

namespace {

// Distinct colours for the regions and webs of the FE view.
Eigen::Vector3f groupColour(int group)
{
    static const float palette[][3] = {
        {0.90f, 0.49f, 0.13f}, {0.12f, 0.47f, 0.71f}, {0.17f, 0.63f, 0.17f}, {0.84f, 0.15f, 0.16f},
        {0.58f, 0.40f, 0.74f}, {0.55f, 0.34f, 0.29f}, {0.89f, 0.47f, 0.76f}, {0.50f, 0.50f, 0.50f},
        {0.74f, 0.74f, 0.13f}, {0.09f, 0.75f, 0.81f}};
    if (group < 0)
        return Eigen::Vector3f(0.8f, 0.8f, 0.8f);
    const float* c = palette[group % int(std::size(palette))];
    return Eigen::Vector3f(c[0], c[1], c[2]);
}

// Moller-Trumbore: the distance along the ray to the triangle, or -1.
double rayHits(const Eigen::Vector3d& origin, const Eigen::Vector3d& direction, const Eigen::Vector3d& a,
               const Eigen::Vector3d& b, const Eigen::Vector3d& c)
{
    const Eigen::Vector3d ab = b - a, ac = c - a;
    const Eigen::Vector3d p = direction.cross(ac);
    const double det = ab.dot(p);
    if (std::abs(det) < 1e-30)
        return -1;
    const Eigen::Vector3d t = origin - a;
    const double u = t.dot(p) / det;
    if (u < 0 || u > 1)
        return -1;
    const Eigen::Vector3d q = t.cross(ab);
    const double v = direction.dot(q) / det;
    if (v < 0 || u + v > 1)
        return -1;
    return ac.dot(q) / det;
}

QString shown(double value)
{
    return std::isnan(value) ? QStringLiteral("-") : QString::number(value, 'g', 5);
}

} // namespace

void KBlade::drawMesh(const std::vector<Eigen::Vector3f>& colours, const Eigen::Matrix3Xf* offsets)
{
    const Model& model = *m_model;
    auto* edges = indexedRenderer(positionAttribute(model.nodes().vertexBuffer(offsets), nullptr),
                                  model.edges().lineIndexBuffer(), Qt3DRender::QGeometryRenderer::Lines);
    edges->geometry()->attributes().front()->setParent(edges);
    m_femEdge.replace(edges);
    m_femEle.replace(
        shadedTriangles(model.elements().faceVertexBuffer(colours, offsets), model.elements().faceIndexBuffer()));
    emit FemEleChanged();
    emit FemEdgeChanged();
}

void KBlade::gen3DModel()
{
    if (builtModel("gen3DModel"))
        showQuantity(0, 0.0);
}

std::vector<KBlade::ViewQuantity> KBlade::viewQuantityList() const
{
    using Q = ViewQuantity;
    std::vector<Q> list{{Q::Region, 0, QStringLiteral("Region")},
                        {Q::Thickness, 0, QStringLiteral("Thickness (mm)")},
                        {Q::Plies, 0, QStringLiteral("Ply count")}};
    if (!m_model)
        return list;
    if (m_resultLoadCase >= 0) {
        list.push_back({Q::Displacement, 0, QStringLiteral("Displacement (mm)")});
        list.push_back({Q::VonMises, 0, QStringLiteral("von Mises (MPa)")});
        list.push_back({Q::Strain11, 0, QStringLiteral("Strain ε11")});
        list.push_back({Q::Strain22, 0, QStringLiteral("Strain ε22")});
        list.push_back({Q::Strain12, 0, QStringLiteral("Strain γ12")});
        bool strengths = false;
        for (int m = 0; m < m_model->materials().count(); ++m)
            strengths = strengths || m_model->materials().at(m)->hasStrengths();
        if (strengths)
            list.push_back({Q::TsaiWu, 0, QStringLiteral("Failure index (Tsai-Wu)")});
    }
    for (size_t m = 0; m < m_eigen.values.size() && Eigen::Index(m) < m_eigen.shapes.cols(); ++m)
        list.push_back({Q::Mode, int(m),
                        m_eigen.buckling ? QStringLiteral("Buckling mode %1: load factor %2").arg(m + 1).arg(m_eigen.values[m], 0, 'g', 4)
                                         : QStringLiteral("Mode %1: %2 Hz").arg(m + 1).arg(m_eigen.values[m], 0, 'g', 4)});
    return list;
}

QStringList KBlade::viewQuantities() const
{
    QStringList names;
    for (const ViewQuantity& q : viewQuantityList())
        names << q.name;
    return names;
}

QVariantList KBlade::scaleStopList() const
{
    return scaleStops();
}

bool KBlade::showQuantity(int index, double scale)
{
    const std::vector<ViewQuantity> list = viewQuantityList();
    if (!m_model || index < 0 || index >= int(list.size()))
        return false;
    using Q = ViewQuantity;
    const ViewQuantity& q = list[size_t(index)];
    const Model& model = *m_model;
    const int lc = m_resultLoadCase;
    switch (q.kind) {
    case Q::Region:
        m_viewValues = Eigen::Map<const Eigen::VectorXi>(m_elementGroups.data(), Eigen::Index(m_elementGroups.size())).cast<double>();
        break;
    case Q::Thickness: m_viewValues = ElementValues::thickness(model); break;
    case Q::Plies: m_viewValues = ElementValues::plyCount(model); break;
    case Q::Displacement: m_viewValues = ElementValues::displacement(model, lc); break;
    case Q::VonMises: m_viewValues = ElementValues::largestOverPlies(model, Element::VonMises, lc); break;
    case Q::Strain11: m_viewValues = ElementValues::signedPeakOverPlies(model, Element::E11, lc); break;
    case Q::Strain22: m_viewValues = ElementValues::signedPeakOverPlies(model, Element::E22, lc); break;
    case Q::Strain12: m_viewValues = ElementValues::signedPeakOverPlies(model, Element::E12, lc); break;
    case Q::TsaiWu: m_viewValues = ElementValues::tsaiWu(model, lc); break;
    case Q::Mode: m_viewValues = ElementValues::modeMotion(model, m_eigen.shapes, q.mode); break;
    }
    m_viewKind = q.kind;

    // Results deform the mesh by their displacements; a mode by its shape,
    // its largest motion 5 % of the model's size.
    const int nodes = model.nodes().count();
    m_viewOffsets.resize(3, 0);
    if (scale != 0 && q.kind >= Q::Displacement && q.kind <= Q::TsaiWu) {
        m_viewOffsets.resize(3, nodes);
        for (int i = 0; i < nodes; ++i)
            m_viewOffsets.col(i) = (scale * model.nodes().at(i)->displacementOf(lc).head<3>()).cast<float>();
    } else if (scale != 0 && q.kind == Q::Mode && m_eigen.shapes.rows() == 3 * Eigen::Index(nodes)) {
        const Eigen::Map<const Eigen::Matrix3Xd> shape(m_eigen.shapes.col(q.mode).data(), 3, nodes);
        const double largest = shape.colwise().norm().maxCoeff();
        const QVariantList box = modelBounds();
        double size = 0;
        for (int k = 0; k < 3 && box.size() == 6; ++k)
            size = std::max(size, box[k + 3].toDouble() - box[k].toDouble());
        if (largest > 0)
            m_viewOffsets = (shape * (scale * 0.05 * size / largest)).cast<float>();
    }

    std::vector<Eigen::Vector3f> colours(size_t(m_viewValues.size()));
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (Eigen::Index i = 0; i < m_viewValues.size(); ++i)
        if (!std::isnan(m_viewValues[i])) {
            low = std::min(low, m_viewValues[i]);
            high = std::max(high, m_viewValues[i]);
        }
    // How an element's value comes from its plies or corners.
    QString note;
    if (q.kind == Q::Displacement)
        note = QStringLiteral("mean of the corners");
    else if (q.kind == Q::VonMises || q.kind == Q::TsaiWu)
        note = QStringLiteral("largest of the plies");
    else if (q.kind >= Q::Strain11 && q.kind <= Q::Strain12)
        note = QStringLiteral("ply value of largest magnitude, signed");
    const bool categorical = q.kind == Q::Region;
    if (categorical) {
        for (size_t i = 0; i < colours.size(); ++i)
            colours[i] = groupColour(i < m_elementGroups.size() ? m_elementGroups[i] : -1);
    } else {
        colours = scaleColours(m_viewValues, low, high);
    }
    m_viewLegend = QVariantMap{{QStringLiteral("name"), q.name},
                               {QStringLiteral("note"), note},
                               {QStringLiteral("low"), low <= high ? low : 0.0},
                               {QStringLiteral("high"), low <= high ? high : 0.0},
                               {QStringLiteral("categorical"), categorical}};
    drawMesh(colours, m_viewOffsets.cols() == nodes ? &m_viewOffsets : nullptr);
    return true;
}

double KBlade::autoDeformScale() const
{
    if (!m_model || m_resultLoadCase < 0)
        return 1.0;
    double largest = 0;
    for (int i = 0; i < m_model->nodes().count(); ++i)
        largest = std::max(largest, m_model->nodes().at(i)->displacementOf(m_resultLoadCase).head<3>().norm());
    const QVariantList box = modelBounds();
    double size = 0;
    for (int k = 0; k < 3 && box.size() == 6; ++k)
        size = std::max(size, box[k + 3].toDouble() - box[k].toDouble());
    if (largest <= 0 || 0.05 * size <= largest)
        return 1.0;
    const double wanted = 0.05 * size / largest;
    const double decade = std::pow(10.0, std::floor(std::log10(wanted)));
    for (double step : {5.0, 2.0, 1.0})
        if (step * decade <= wanted)
            return step * decade;
    return decade;
}

int KBlade::pickElement(const QVector3D& origin, const QVector3D& direction) const
{
    if (!m_model)
        return -1;
    const Eigen::Vector3d o(origin.x(), origin.y(), origin.z());
    const Eigen::Vector3d d = Eigen::Vector3d(direction.x(), direction.y(), direction.z()).normalized();
    const bool moved = m_viewOffsets.cols() == m_model->nodes().count();
    auto at = [&](const Node* n) {
        Eigen::Vector3d p = n->position();
        if (moved)
            p += m_viewOffsets.col(Eigen::Index(n->id())).cast<double>();
        return p;
    };
    int best = -1;
    double nearest = HUGE_VAL;
    for (int i = 0; i < m_model->elements().count(); ++i) {
        const Element* e = m_model->elements().at(i);
        for (int t = 0; t + 2 < e->cornerCount(); ++t) {
            const double s = rayHits(o, d, at(e->node(0)), at(e->node(t + 1)), at(e->node(t + 2)));
            if (s >= 0 && s < nearest) {
                nearest = s;
                best = i;
            }
        }
    }
    return best;
}

QStringList KBlade::elementValues(int element) const
{
    if (!m_model || element < 0 || element >= m_model->elements().count())
        return {};
    const Element* e = m_model->elements().at(element);
    const size_t i = size_t(element);
    const int group = i < m_elementGroups.size() ? m_elementGroups[i] : -1;
    QStringList lines{QStringLiteral("Element %1 of %2").arg(e->number()).arg(group >= 0 && group < m_groupNames.size()
                                                                               ? m_groupNames[group] : QStringLiteral("no region"))};
    const PolyLayer* section = e->section();
    if (section)
        lines << QStringLiteral("%1 plies, %2 mm").arg(section->plyCount()).arg(shown(section->totalThickness()));
    if (m_viewKind != ViewQuantity::Region && Eigen::Index(i) < m_viewValues.size())
        lines << m_viewLegend.value(QStringLiteral("name")).toString() + QStringLiteral(": ") + shown(m_viewValues[Eigen::Index(i)]);
    const int lc = m_resultLoadCase;
    if (lc < 0 || !section || lc >= e->result(Element::S11).cols())
        return lines;
    const PlyStack& plies = section->plies();
    for (int k = 0; k < e->plyCount() && k < int(plies.materials.size()); ++k) {
        const double s1 = e->result(Element::S11)(k, lc), s2 = e->result(Element::S22)(k, lc),
                     s12 = e->result(Element::S12)(k, lc);
        const PlyFailure f = plyFailure(*plies.materials[size_t(k)], s1, s2, s12);
        lines << QStringLiteral("Ply %1 (%2): σ11 %3, σ22 %4, τ12 %5 MPa, von Mises %6, Tsai-Wu %7")
                     .arg(k + 1)
                     .arg(plies.materials[size_t(k)]->name(), shown(s1), shown(s2), shown(s12),
                          shown(e->result(Element::VonMises)(k, lc)), shown(f.tsaiWu));
    }
    return lines;
}

QVariantList KBlade::femGroups() const
{
    QVariantList groups;
    for (int g = 0; g < m_groupNames.size(); ++g) {
        const Eigen::Vector3f c = groupColour(g);
        groups.append(QVariantMap{{QStringLiteral("name"), m_groupNames[g]},
                                  {QStringLiteral("color"), QColor::fromRgbF(c.x(), c.y(), c.z())}});
    }
    return groups;
}

void KBlade::clearOld3DModel()
{
    m_femEdge.clearPrevious();
    m_femEle.clearPrevious();
}

} // namespace Folvane
