#include "fem/element.h"

#include "core/messages.h"
#include "core/textbuffer.h"
#include "fem/polylayer.h"

#include <algorithm>
#include <cstring>

namespace Folvane {

Element::Element(quint64 id, Kind kind, std::initializer_list<Node*> corners, bool web, EdgeList& edges)
    : m_id(id)
    , m_kind(quint8(kind))
    , m_web(web)
{
    std::copy(corners.begin(), corners.end(), m_nodes.begin());
    const int n = cornerCount();
    for (int k = 0; k < n; ++k) {
        Node* a = m_nodes[size_t(k)];
        Node* b = m_nodes[size_t((k + 1) % n)];
        Edge* edge = a->findEdge(b);
        m_edges[size_t(k)] = edge ? edge : edges.add(a, b);
    }
    computeArea();
}

static const QString quadName = QStringLiteral("Quad4");
static const QString triName = QStringLiteral("Tri3");

QString Element::name() const
{
    return m_kind == QuadKind ? quadName : triName;
}

QString Element::modelName() const
{
    return m_list ? m_list->modelName() : QString();
}

int Element::plyCount() const
{
    return m_section ? m_section->plyCount() : 0;
}

int Element::loadCaseCount() const
{
    return m_list ? m_list->m_loadCases : 0;
}

ResultView Element::result(Result r)
{
    const int cases = loadCaseCount();
    if (cases == 0)
        return ResultView(nullptr, m_resultPlies, 0, Eigen::OuterStride<>(1));
    ZeroMatrix& all = m_list->m_results[size_t(r)];
    return ResultView(all.data() + m_firstPly, m_resultPlies, cases, Eigen::OuterStride<>(std::max<Eigen::Index>(all.rows(), 1)));
}

ConstResultView Element::result(Result r) const
{
    const int cases = loadCaseCount();
    if (cases == 0)
        return ConstResultView(nullptr, m_resultPlies, 0, Eigen::OuterStride<>(1));
    const ZeroMatrix& all = m_list->m_results[size_t(r)];
    return ConstResultView(all.data() + m_firstPly, m_resultPlies, cases, Eigen::OuterStride<>(std::max<Eigen::Index>(all.rows(), 1)));
}

Eigen::Map<const Eigen::VectorXd> Element::plyValues(Result r, int loadCase) const
{
    if (m_resultPlies == 0 || loadCase < 0 || loadCase >= loadCaseCount())
        return Eigen::Map<const Eigen::VectorXd>(nullptr, 0);
    const ZeroMatrix& all = m_list->m_results[size_t(r)];
    return Eigen::Map<const Eigen::VectorXd>(all.data() + loadCase * all.rows() + Eigen::Index(m_firstPly),
                                             m_resultPlies);
}

Eigen::Matrix<double, Element::ResultCount, 1> Element::summary(int loadCase) const
{
    Eigen::Matrix<double, ResultCount, 1> s = Eigen::Matrix<double, ResultCount, 1>::Zero();
    if (plyValues(VonMises, loadCase).size() == 0)
        return s;
    s[VonMises] = plyValues(VonMises, loadCase).maxCoeff();
    for (int r = S11; r < ResultCount; ++r)
        s[r] = plyValues(Result(r), loadCase).cwiseAbs().maxCoeff();
    return s;
}

double Element::signedPeak(Result r, int loadCase) const
{
    const Eigen::Map<const Eigen::VectorXd> plies = plyValues(r, loadCase);
    if (plies.size() == 0)
        return 0.0;
    Eigen::Index at = 0;
    plies.cwiseAbs().maxCoeff(&at);
    return plies[at];
}

bool Element::loadCCXRows(int loadCase, const Eigen::MatrixXd& rows, Result first, const char* operation)
{
    const int plies = plyCount();
    const int perPly = rowsPerPly(plies);
    // Results sized for another ply count have no room for these.
    if (int(rows.rows()) / perPly != plies || plies != int(m_resultPlies) || loadCase < 0
        || loadCase >= loadCaseCount() || rows.cols() < 6) {
        reportLayerMismatch(operation, int(rows.rows()));
        return false;
    }
    // Tensor shear strains become engineering ones.
    const double shear = first == E11 ? 2.0 : 1.0;
    for (int layer = 0; layer < plies; ++layer) {
        const Eigen::Matrix<double, 1, 6> mean = rows.block(layer * perPly, 0, perPly, 6).colwise().sum() / double(perPly);
        const int ply = plies - 1 - layer;
        for (int c = 0; c < 6; ++c)
            result(Result(first + c))(ply, loadCase) = c < 3 ? mean[c] : shear * mean[c];
    }
    return true;
}

bool Element::LoadCCXResultStress(int loadCase, const Eigen::MatrixXd& rows)
{
    if (!loadCCXRows(loadCase, rows, S11, "LoadCCXResultStress"))
        return false;
    CalcVonMises();
    return true;
}

bool Element::LoadCCXResultStrain(int loadCase, const Eigen::MatrixXd& rows)
{
    return loadCCXRows(loadCase, rows, E11, "LoadCCXResultStrain");
}

void Element::CalcVonMises()
{
    const auto s11 = result(S11), s22 = result(S22), s33 = result(S33);
    const auto s12 = result(S12), s13 = result(S13), s23 = result(S23);
    result(VonMises) = (0.5 * ((s11 - s22).array().square() + (s22 - s33).array().square()
                               + (s33 - s11).array().square()
                               + 6.0 * (s12.array().square() + s13.array().square() + s23.array().square())))
                           .sqrt()
                           .matrix();
}

Eigen::Matrix3d Element::plyFrame() const
{
    const Eigen::Vector3d c0 = m_nodes[0]->position(), c1 = m_nodes[1]->position(), c2 = m_nodes[2]->position();
    Eigen::Vector3d along, normal;
    if (m_kind == QuadKind) {
        // Both row sides, and the diagonals for a warped quadrilateral.
        const Eigen::Vector3d c3 = m_nodes[3]->position();
        along = (c1 - c0) + (c2 - c3);
        normal = (c2 - c0).cross(c3 - c1);
    } else {
        along = c1 - c0;
        normal = (c1 - c0).cross(c2 - c0);
    }
    normal.normalize();
    if (m_referenceReversed)
        along = -along;
    const Eigen::Vector3d zero = (along - along.dot(normal) * normal).normalized();
    Eigen::Vector3d span = normal.cross(zero);
    if (span.z() < 0.0)
        span = -span;
    Eigen::Matrix3d frame;
    frame << zero, span, normal;
    return frame;
}

int Element::angleSense() const
{
    const Eigen::Matrix3d f = plyFrame();
    return f.col(0).cross(f.col(1)).dot(f.col(2)) >= 0.0 ? 1 : -1;
}

void Element::setSection(PolyLayer* section)
{
    m_section = section;
    if (section)
        section->addElement(this);
}

double Element::edgeLength01() const
{
    const double length = m_edges[0]->length();
    return m_kind == QuadKind ? length : length / 2.0;
}

Eigen::Vector3d Element::centroid() const
{
    const int n = cornerCount();
    Eigen::Vector3d sum = Eigen::Vector3d::Zero();
    for (int i = 0; i < n; ++i)
        sum += m_nodes[size_t(i)]->position();
    return sum / n;
}

static double triangleArea(const Node* a, const Node* b, const Node* c)
{
    return 0.5 * (b->position() - a->position()).cross(c->position() - a->position()).norm();
}

void Element::computeArea()
{
    const Node* const* c = m_nodes.data();
    // A warped quadrilateral has no one area; the mean of its two splits
    // into triangles does not depend on which corner comes first.
    m_area = m_kind == QuadKind ? 0.5 * (triangleArea(c[0], c[2], c[1]) + triangleArea(c[0], c[2], c[3])
                                         + triangleArea(c[1], c[3], c[0]) + triangleArea(c[1], c[3], c[2]))
                                : triangleArea(c[0], c[1], c[2]);
}

void Element::writeObj(TextBuffer& out) const
{
    out << 'f';
    for (int i = 0; i < cornerCount(); ++i)
        out << ' ' << m_nodes[size_t(i)]->number();
    out << '\n';
}

void Element::WriteCCX(TextBuffer& out) const
{
    const int n = cornerCount();
    out << '\n' << number();
    for (int i = 0; i < n; ++i)
        out << ", " << m_nodes[size_t(i)]->number();
    for (int i = 0; i < n; ++i)
        out << ", " << m_edges[size_t(i)]->middle()->number();
}

void Element::WriteAnsys(TextBuffer& out) const
{
    const int last = cornerCount() - 1;
    out << "\nTYPE, 1\nEN, " << number();
    for (int i = 0; i < 4; ++i)
        out << ", " << m_nodes[size_t(std::min(i, last))]->number();
    for (int i = 0; i < 4; ++i)
        out << ", " << m_edges[size_t(std::min(i, last))]->middle()->number();
}

void Element::reportLayerMismatch(const char* operation, int rows) const
{
    if (m_kind == TriKind) {
        outLine(QStringLiteral("Tri3 - %1: layernumber not correct").arg(QLatin1String(operation)));
        return;
    }
    if (std::strcmp(operation, "LoadCCXResultStress") == 0) {
        outLine(QString::number(id()));
        outLine(QStringLiteral("%1 %2").arg(plyCount()).arg(rows / rowsPerPly(plyCount()) - 1));
    }
    outLine(QStringLiteral("Quad4 - %1: layernumber not correct").arg(QLatin1String(operation)));
}

Quad4::Quad4(quint64 id, Node* c0, Node* c1, Node* c2, Node* c3, bool web, EdgeList& edges)
    : Element(id, QuadKind, {c0, c1, c2, c3}, web, edges)
{
}

Tri3::Tri3(quint64 id, Node* c0, Node* c1, Node* c2, bool web, EdgeList& edges)
    : Element(id, TriKind, {c0, c1, c2}, web, edges)
{
}

ElementList::ElementList(Object* owner)
    : Object(QStringLiteral("Elements"), 0, owner)
{
}

Element* ElementList::addQuad(Node* c0, Node* c1, Node* c2, Node* c3, bool web, EdgeList& edges)
{
    Element* e = m_elements.emplace(quint64(m_elements.size()), Element::QuadKind,
                                    std::initializer_list<Node*>{c0, c1, c2, c3}, web, edges);
    e->m_list = this;
    return e;
}

Element* ElementList::addTri(Node* c0, Node* c1, Node* c2, bool web, EdgeList& edges)
{
    Element* e = m_elements.emplace(quint64(m_elements.size()), Element::TriKind,
                                    std::initializer_list<Node*>{c0, c1, c2}, web, edges);
    e->m_list = this;
    return e;
}

void ElementList::renumber()
{
    quint64 id = 0;
    m_elements.forEach([&id](Element& e) { e.setId(id++); });
}

void ElementList::clear()
{
    m_elements.clear();
    for (ZeroMatrix& r : m_results)
        r.clear();
    m_loadCases = 0;
}

void ElementList::initResults(int loadCases)
{
    quint64 plies = 0;
    m_elements.forEach([&plies](Element& e) {
        e.m_firstPly = plies;
        e.m_resultPlies = quint32(e.plyCount());
        plies += e.m_resultPlies;
    });
    m_loadCases = std::max(loadCases, 0);
    for (ZeroMatrix& r : m_results)
        r.reset(Eigen::Index(plies), m_loadCases);
}

void ElementList::writeObj(TextBuffer& out) const
{
    m_elements.forEach([&out](const Element& e) { e.writeObj(out); });
}

QByteArray ElementList::faceVertexBuffer(const std::vector<Eigen::Vector3f>& colours, const Eigen::Matrix3Xf* offsets) const
{
    std::vector<float> data;
    data.reserve(size_t(count()) * 4 * 9);
    size_t i = 0;
    m_elements.forEach([&](const Element& e) {
        const Eigen::Vector3f normal = e.plyFrame().col(2).cast<float>();
        const Eigen::Vector3f colour = i < colours.size() ? colours[i] : Eigen::Vector3f(0.7f, 0.7f, 0.7f);
        ++i;
        for (int c = 0; c < e.cornerCount(); ++c) {
            const Node* n = e.node(c);
            Eigen::Vector3f p = n->position().cast<float>();
            if (offsets && Eigen::Index(n->id()) < offsets->cols())
                p += offsets->col(Eigen::Index(n->id()));
            data.insert(data.end(), {p.x(), p.y(), p.z(), normal.x(), normal.y(), normal.z(), colour.x(), colour.y(), colour.z()});
        }
    });
    return QByteArray(reinterpret_cast<const char*>(data.data()), int(data.size() * sizeof(float)));
}

QByteArray ElementList::faceIndexBuffer() const
{
    std::vector<quint32> indices;
    indices.reserve(size_t(count()) * 6);
    quint32 first = 0;
    m_elements.forEach([&](const Element& e) {
        const int corners = e.cornerCount();
        for (int t = 0; t + 2 < corners; ++t)
            indices.insert(indices.end(), {first, first + quint32(t) + 1, first + quint32(t) + 2});
        first += quint32(corners);
    });
    return QByteArray(reinterpret_cast<const char*>(indices.data()), int(indices.size() * sizeof(quint32)));
}

} // namespace Folvane
