#ifndef FOLVANE_NODEROW_H
#define FOLVANE_NODEROW_H

#include "fem/elementrow.h"
#include "fem/node.h"

#include <memory>

namespace Folvane {

class NodeBoundary;
class NodeList;
class NodeLoad;

// An ordered row of nodes (not owned): one station of a region, of a web
// or of the whole blade.
class NodeRow : public Object
{
public:
    NodeRow(const QString& name, std::vector<Node*> nodes, Object* owner = nullptr);
    // A web row from a to b: a, then intervals - 1 new nodes named "Web"
    // evenly between, appended to the node list, then b.
    NodeRow(const QString& name, Node* a, Node* b, int intervals, NodeList& nodeList, Object* owner = nullptr);

    int count() const { return int(m_nodes.size()); }
    Node* ReadNode(int i) const;
    Node* at(int i) const { return m_nodes[size_t(i)]; }
    Node* lastNode() const { return m_nodes.empty() ? nullptr : m_nodes.back(); }
    const std::vector<Node*>& nodes() const { return m_nodes; }

    // Nodes start ... count - skipEnd - 1.
    void appendNodes(std::vector<Node*>& out, int start, int skipEnd) const;
    void addToLoad(NodeLoad* load, int start, int skipEnd) const;
    void addToBoundary(NodeBoundary* boundary, int start, int skipEnd) const;

    Eigen::Matrix<double, 6, 1> meanDisplacement(int loadCase) const;
    // The turn of the row about the span axis under the load case, in
    // radians, right-handed about +z: the rigid in-plane rotation that best
    // fits the nodes' x-y displacements, so translation and bending add
    // nothing.
    double twist(int loadCase) const;

private:
    std::vector<Node*> m_nodes;
};

// One row of nodes per station.
class NodeArray : public Object
{
public:
    explicit NodeArray(const QString& name, Object* owner = nullptr);

    void addRow(std::unique_ptr<NodeRow> row) { m_rows.push_back(std::move(row)); }
    int count() const { return int(m_rows.size()); }
    NodeRow* row(int i) const { return m_rows[size_t(i)].get(); }

    void GetNodesByRow(int row, std::vector<Node*>& out, int start, int skipEnd) const;
    // The last node of every row: the key line that ends a region.
    std::unique_ptr<NodeRow> lastNodeLine() const;
    std::unique_ptr<ElementArray> genElements(bool web, bool quadDominant, RowNormal normal, ElementList& elements,
                                              EdgeList& edges) const;
    void MapNodeLoads(const std::vector<NodeLoad*>& loads) const;
    // The root row (row 0) but its last node, with the middle nodes of the
    // sides between them: the whole root edge of the strip.
    void attachBoundary(NodeBoundary* boundary) const;

    // Rows x 6 mean displacements and the twist of every row.
    Eigen::MatrixXd meanDisplacements(int loadCase) const;
    Eigen::VectorXd twists(int loadCase) const;

private:
    std::vector<std::unique_ptr<NodeRow>> m_rows;
};

} // namespace Folvane

#endif
