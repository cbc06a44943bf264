#include "fem/element.h"

#include "core/messages.h"
#include "core/textbuffer.h"
#include "fem/polylayer.h"

#include <cstring>

namespace Folvane {

Element::Element(const QString& name, quint64 id, Kind kind, std::initializer_list<Node*> corners, bool web,
                 EdgeList& edges, Object* owner)
    : Object(name, id, owner)
    , m_web(web)
    , m_kind(kind)
    , m_corners(int(corners.size()))
{
    std::copy(corners.begin(), corners.end(), m_nodes.begin());
    for (int k = 0; k < m_corners; ++k) {
        Node* a = m_nodes[size_t(k)];
        Node* b = m_nodes[size_t((k + 1) % m_corners)];
        Edge* edge = a->findEdge(b);
        if (!edge) {
            edge = new Edge(a, b, 0, owner);
            edges.add(edge);
        }
        edge->addElement(this);
        m_edges[size_t(k)] = edge;
        a->addElement(this);
    }
}

int Element::plyCount() const
{
    return m_section ? m_section->plyCount() : 0;
}

Eigen::Block<Eigen::MatrixXd> Element::result(Result r)
{
    const int plies = int(m_results.rows() / ResultCount);
    return m_results.middleRows(r * plies, plies);
}

Eigen::Block<const Eigen::MatrixXd> Element::result(Result r) const
{
    const int plies = int(m_results.rows() / ResultCount);
    return m_results.middleRows(r * plies, plies);
}

Eigen::Matrix<double, Element::ResultCount, 1> Element::summary(int loadCase) const
{
    Eigen::Matrix<double, ResultCount, 1> s = Eigen::Matrix<double, ResultCount, 1>::Zero();
    if (m_results.rows() == 0 || loadCase < 0 || loadCase >= m_results.cols())
        return s;
    s[VonMises] = result(VonMises).col(loadCase).maxCoeff();
    for (int r = S11; r < ResultCount; ++r)
        s[r] = result(Result(r)).col(loadCase).cwiseAbs().maxCoeff();
    return s;
}

bool Element::loadCCXRows(int loadCase, const Eigen::MatrixXd& rows, Result first, const char* operation)
{
    const int plies = plyCount();
    const int perPly = rowsPerPly(plies);
    if (int(rows.rows()) / perPly != plies || loadCase < 0 || loadCase >= m_results.cols() || rows.cols() < 6) {
        reportLayerMismatch(operation, int(rows.rows()));
        return false;
    }
    // Tensor shear strains become engineering ones.
    const double shear = first == E11 ? 2.0 : 1.0;
    for (int layer = 0; layer < plies; ++layer) {
        const Eigen::RowVectorXd mean = rows.block(layer * perPly, 0, perPly, 6).colwise().sum() / double(perPly);
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
    if (m_corners == 4) {
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
    return m_edges[0]->length();
}

Eigen::Vector3d Element::centroid() const
{
    Eigen::Vector3d sum = Eigen::Vector3d::Zero();
    for (int i = 0; i < m_corners; ++i)
        sum += m_nodes[size_t(i)]->position();
    return sum / m_corners;
}

double Element::triangleArea(const Node* a, const Node* b, const Node* c)
{
    return 0.5 * (b->position() - a->position()).cross(c->position() - a->position()).norm();
}

void Element::initResults(int loadCases)
{
    m_results = Eigen::MatrixXd::Zero(ResultCount * plyCount(), loadCases);
}

void Element::writeObj(TextBuffer& out) const
{
    out << 'f';
    for (int i = 0; i < m_corners; ++i)
        out << ' ' << m_nodes[size_t(i)]->number();
    out << '\n';
}

void Element::WriteCCX(TextBuffer& out) const
{
    out << '\n' << number();
    for (int i = 0; i < m_corners; ++i)
        out << ", " << m_nodes[size_t(i)]->number();
    for (int i = 0; i < m_corners; ++i)
        out << ", " << m_edges[size_t(i)]->middle()->number();
}

void Element::WriteAbaqus(TextBuffer& out) const
{
    WriteCCX(out);
}

void Element::WriteAnsys(TextBuffer& out) const
{
    out << "\nTYPE, 1\nEN, " << number();
    for (int i = 0; i < 4; ++i)
        out << ", " << m_nodes[size_t(std::min(i, m_corners - 1))]->number();
    for (int i = 0; i < 4; ++i)
        out << ", " << m_edges[size_t(std::min(i, m_corners - 1))]->middle()->number();
}

void Quad4::reportLayerMismatch(const char* operation, int rows) const
{
    if (std::strcmp(operation, "LoadCCXResultStress") == 0) {
        outLine(QString::number(id()));
        outLine(QStringLiteral("%1 %2").arg(plyCount()).arg(rows / rowsPerPly(plyCount()) - 1));
    }
    outLine(QStringLiteral("Quad4 - %1: layernumber not correct").arg(QLatin1String(operation)));
}

void Tri3::reportLayerMismatch(const char* operation, int) const
{
    outLine(QStringLiteral("Tri3 - %1: layernumber not correct").arg(QLatin1String(operation)));
}

static const QString quadName = QStringLiteral("Quad4");
static const QString triName = QStringLiteral("Tri3");

Quad4::Quad4(quint64 id, Node* c0, Node* c1, Node* c2, Node* c3, bool web, EdgeList& edges, Object* owner)
    : Element(quadName, id, QuadKind, {c0, c1, c2, c3}, web, edges, owner)
{
    computeArea();
}

void Quad4::computeArea()
{
    // A warped quadrilateral has no one area; the mean of its two splits
    // into triangles does not depend on which corner comes first.
    m_area = 0.5 * (triangleArea(node(0), node(2), node(1)) + triangleArea(node(0), node(2), node(3))
                    + triangleArea(node(1), node(3), node(0)) + triangleArea(node(1), node(3), node(2)));
}

Tri3::Tri3(quint64 id, Node* c0, Node* c1, Node* c2, bool web, EdgeList& edges, Object* owner)
    : Element(triName, id, TriKind, {c0, c1, c2}, web, edges, owner)
{
    computeArea();
}

void Tri3::computeArea()
{
    m_area = triangleArea(node(0), node(1), node(2));
}

double Tri3::edgeLength01() const
{
    return Element::edgeLength01() / 2.0;
}

ElementList::ElementList(Object* owner)
    : TypedList<Element>(QStringLiteral("Elements"), owner)
{
}

QByteArray ElementList::faceVertexBuffer(const std::vector<Eigen::Vector3f>& colours) const
{
    std::vector<float> data;
    data.reserve(size_t(count()) * 6 * 9);
    auto vertex = [&](const Node* n, const Eigen::Vector3f& normal, const Eigen::Vector3f& colour) {
        data.insert(data.end(), {float(n->x()), float(n->y()), float(n->z()), normal.x(), normal.y(), normal.z(),
                                 colour.x(), colour.y(), colour.z()});
    };
    for (int i = 0; i < count(); ++i) {
        const Element* e = at(i);
        const Eigen::Vector3f normal = e->plyFrame().col(2).cast<float>();
        const Eigen::Vector3f colour = size_t(i) < colours.size() ? colours[size_t(i)] : Eigen::Vector3f(0.7f, 0.7f, 0.7f);
        const int corners = e->cornerCount();
        for (int t = 0; t + 2 < corners; ++t) {
            vertex(e->node(0), normal, colour);
            vertex(e->node(t + 1), normal, colour);
            vertex(e->node(t + 2), normal, colour);
        }
    }
    return QByteArray(reinterpret_cast<const char*>(data.data()), int(data.size() * sizeof(float)));
}

} // namespace Folvane
