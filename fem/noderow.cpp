#include "fem/noderow.h"

#include "core/messages.h"
#include "fem/boundary.h"
#include "fem/edge.h"

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
        m_nodes.push_back(nodeList.add(webNodeName, p.x(), p.y(), p.z()));
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
    if (m_nodes.empty())
        return 0.0;
    Eigen::Vector2d centre = Eigen::Vector2d::Zero(), moved = Eigen::Vector2d::Zero();
    for (const Node* n : m_nodes) {
        centre += n->position().head<2>();
        moved += n->deformedPosition(loadCase).head<2>();
    }
    centre /= double(m_nodes.size());
    moved /= double(m_nodes.size());
    // The least-squares rotation between the two point sets about their centres.
    double cross = 0.0, dot = 0.0;
    for (const Node* n : m_nodes) {
        const Eigen::Vector2d r = n->position().head<2>() - centre;
        const Eigen::Vector2d q = n->deformedPosition(loadCase).head<2>() - moved;
        cross += r.x() * q.y() - r.y() * q.x();
        dot += r.dot(q);
    }
    return std::atan2(cross, dot);
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

std::unique_ptr<ElementArray> NodeArray::genElements(bool web, bool quadDominant, RowNormal normal,
                                                     ElementList& elements, EdgeList& edges) const
{
    auto array = std::make_unique<ElementArray>(name(), owner());
    for (size_t i = 0; i + 1 < m_rows.size(); ++i) {
        auto row = std::make_unique<ElementRow>(QString(), owner());
        genRowElements(*m_rows[i], *m_rows[i + 1], web, quadDominant, normal, elements, edges, *row);
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
    if (m_rows.empty())
        return;
    // A free middle node would let the clamped edge warp between its corners.
    const NodeRow& root = *m_rows.front();
    for (int i = 0; i + 1 < root.count(); ++i) {
        boundary->addNode(root.at(i));
        if (Edge* side = root.at(i)->findEdge(root.at(i + 1)))
            boundary->addNode(side->middle());
    }
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
