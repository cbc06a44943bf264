#include "fem/noderow.h"

#include "core/messages.h"
#include "fem/boundary.h"
#include "fem/elementrow.h"

#include <cmath>

namespace Folvane {

static const QString webNodeName = QStringLiteral("Web");

NodeRow::NodeRow(const QString& name, std::vector<Node*> nodes, Object* owner)
    : Object(name, 0, owner)
    , m_nodes(std::move(nodes))
{
}

NodeRow::NodeRow(const QString& name, Node* a, Node* b, int intervals, NodeList& nodeList, Object* owner)
    : Object(name, 0, owner)
{
    const int c = std::max(intervals, 1);
    m_nodes.reserve(size_t(c) + 1);
    m_nodes.push_back(a);
    const Eigen::Vector3d step = (b->position() - a->position()) / c;
    for (int j = 1; j < c; ++j) {
        const Eigen::Vector3d p = a->position() + j * step;
        auto* node = new Node(webNodeName, p.x(), p.y(), p.z(), 0, owner);
        nodeList.add(node);
        m_nodes.push_back(node);
    }
    m_nodes.push_back(b);
}

Node* NodeRow::ReadNode(int i) const
{
    if (i < 0 || i >= count()) {
        debugLine(QStringLiteral("NodeRow - ReadNode: index not correct!"));
        return nullptr;
    }
    return m_nodes[size_t(i)];
}

void NodeRow::appendNodes(std::vector<Node*>& out, int start, int skipEnd) const
{
    for (int i = start; i < count() - skipEnd; ++i)
        out.push_back(m_nodes[size_t(i)]);
}

void NodeRow::addToLoad(NodeLoad* load, int start, int skipEnd) const
{
    for (int i = start; i < count() - skipEnd; ++i)
        load->addNode(m_nodes[size_t(i)]);
}

void NodeRow::addToBoundary(NodeBoundary* boundary, int start, int skipEnd) const
{
    for (int i = start; i < count() - skipEnd; ++i)
        boundary->addNode(m_nodes[size_t(i)]);
}

Eigen::Matrix<double, 6, 1> NodeRow::meanDisplacement(int loadCase) const
{
    Eigen::Matrix<double, 6, 1> sum = Eigen::Matrix<double, 6, 1>::Zero();
    for (const Node* n : m_nodes)
        sum += n->displacementOf(loadCase);
    return m_nodes.empty() ? sum : Eigen::Matrix<double, 6, 1>(sum / double(m_nodes.size()));
}

double NodeRow::twist(int loadCase) const
{
    const int n = count();
    if (n == 0)
        return 0.0;
    const Node* first = m_nodes[0];
    double sum = 0.0;
    for (int k : {n / 3, n / 2, int(n / 1.5)}) {
        const Eigen::Vector3d u = m_nodes[size_t(k)]->position() - first->position();
        const Eigen::Vector3d v = m_nodes[size_t(k)]->deformedPosition(loadCase) - first->deformedPosition(loadCase);
        const double c = u.dot(v) / (u.norm() * v.norm());
        // Rounding can push c just below -1, where acos has no value.
        sum += c < 1.0 ? std::acos(std::max(c, -1.0)) : 0.0;
    }
    return sum / 3.0;
}

NodeArray::NodeArray(const QString& name, Object* owner)
    : Object(name, 0, owner)
{
}

void NodeArray::GetNodesByRow(int row, std::vector<Node*>& out, int start, int skipEnd) const
{
    if (row < 0 || row >= count()) {
        debugLine(QStringLiteral("NodeArray - GetNodesByRow: index not correct!"));
        return;
    }
    m_rows[size_t(row)]->appendNodes(out, start, skipEnd);
}

std::unique_ptr<NodeRow> NodeArray::lastNodeLine() const
{
    std::vector<Node*> line;
    line.reserve(m_rows.size());
    for (const auto& r : m_rows)
        line.push_back(r->lastNode());
    return std::make_unique<NodeRow>(name(), std::move(line), owner());
}

std::unique_ptr<ElementArray> NodeArray::genElements(bool web, bool quadDominant, ElementList& elements,
                                                     EdgeList& edges) const
{
    auto array = std::make_unique<ElementArray>(name(), owner());
    for (size_t i = 0; i + 1 < m_rows.size(); ++i) {
        auto row = std::make_unique<ElementRow>(QString(), owner());
        genRowElements(*m_rows[i], *m_rows[i + 1], web, quadDominant, elements, edges, *row);
        array->addRow(std::move(row));
    }
    return array;
}

void NodeArray::MapNodeLoads(const std::vector<NodeLoad*>& loads) const
{
    if (loads.size() != m_rows.size()) {
        debugLine(QStringLiteral("NodeArray - MapNodeLoads: size not correct!"));
        return;
    }
    // The last node of a region row is the first of the next region's.
    for (size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i]->addToLoad(loads[i], 0, 1);
}

void NodeArray::attachBoundary(NodeBoundary* boundary) const
{
    if (!m_rows.empty())
        m_rows.front()->addToBoundary(boundary, 0, 1);
}

Eigen::MatrixXd NodeArray::meanDisplacements(int loadCase) const
{
    Eigen::MatrixXd table(count(), 6);
    for (int i = 0; i < count(); ++i)
        table.row(i) = m_rows[size_t(i)]->meanDisplacement(loadCase).transpose();
    return table;
}

Eigen::VectorXd NodeArray::twists(int loadCase) const
{
    Eigen::VectorXd twist(count());
    for (int i = 0; i < count(); ++i)
        twist[i] = m_rows[size_t(i)]->twist(loadCase);
    return twist;
}

} // namespace Folvane
