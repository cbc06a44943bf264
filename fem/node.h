#ifndef FOLVANE_NODE_H
#define FOLVANE_NODE_H

#include "fem/blockarena.h"
#include "fem/object.h"
#include "fem/zeromatrix.h"

#include <Eigen/Dense>

namespace Folvane {

class Edge;
class EdgeList;
class NodeList;

// ux, uy, uz, rx, ry, rz (rows) of every load case (columns) of one node: a
// view into its list's displacement array.
using DisplacementView = Eigen::Map<Eigen::Matrix<double, 6, Eigen::Dynamic>>;
using ConstDisplacementView = Eigen::Map<const Eigen::Matrix<double, 6, Eigen::Dynamic>>;

// A corner node, held by a NodeList, or the middle node of an edge. A node
// is a plain value: its name and displacements are kept by its list, its
// edges are a chain through the edges themselves.
class Node
{
public:
    static const QString DefaultName;

    // A node of no list: named DefaultName, without displacements.
    Node(double x, double y, double z, quint64 id = 0);
    // Edges and lists point at a node: it stays where it was built.
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    QString name() const;
    quint64 id() const { return m_id; }
    void setId(quint64 id) { m_id = id; }
    // Decks and OBJ files number from 1.
    quint64 number() const { return m_id + 1; }
    QString modelName() const;

    double x() const { return m_x; }
    double y() const { return m_y; }
    double z() const { return m_z; }
    Eigen::Vector3d position() const { return Eigen::Vector3d(m_x, m_y, m_z); }
    Eigen::Vector3d deformedPosition(int loadCase) const;
    // ux, uy, uz, rx, ry, rz of a load case (zero outside the sized cases).
    Eigen::Matrix<double, 6, 1> displacementOf(int loadCase) const;
    // Every load case the list is sized for (see NodeList::initResults);
    // none for a node of no list and for a middle node.
    DisplacementView displacement();
    ConstDisplacementView displacement() const;

    // The edge between this node and other, if there is one (for other the
    // node itself: its first edge).
    Edge* findEdge(const Node* other) const;

    void WriteAnsys(TextBuffer& out) const;
    void WriteCCX(TextBuffer& out) const;
    void WriteAbaqus(TextBuffer& out) const { WriteCCX(out); }
    void print() const;
    void writeObj(TextBuffer& out) const;
    void writeVertex(float* buffer) const;

private:
    friend class BlockArena<Node>;
    friend class Edge;
    friend class EdgeList;
    friend class NodeList;
    enum Place : quint8 { Alone, Listed, Middle };

    Node(double x, double y, double z, Place place, const Object* owner, quint32 index, quint16 name);
    const NodeList* list() const;
    void appendEdge(Edge* edge);

    double m_x;
    double m_y;
    double m_z;
    quint64 m_id;
    // The NodeList of a listed node, the EdgeList of a middle node.
    const Object* m_owner;
    Edge* m_firstEdge = nullptr;
    // A listed node's place in its list, a middle node's edge's.
    quint32 m_index;
    quint16 m_name;
    Place m_place;
};

// The corner nodes of a model, in number order, and their displacements:
// one 6 x (nodes x load cases) array, each node's load cases side by side.
class NodeList : public Object
{
public:
    explicit NodeList(Object* owner = nullptr);

    int count() const { return int(m_nodes.size()); }
    Node* at(int i) const { return m_nodes.at(size_t(i)); }
    // A new node, numbered after the last; named DefaultName if not named.
    Node* add(double x, double y, double z);
    Node* add(const QString& name, double x, double y, double z);
    // Numbers the nodes from 0 in list order.
    void renumber();
    void clear();

    // Zero displacements of every node for the load cases.
    void initResults(int loadCases);
    int loadCaseCount() const { return m_loadCases; }

    void WriteAnsys(TextBuffer& out) const override;
    void WriteCCX(TextBuffer& out) const override;
    void WriteAbaqus(TextBuffer& out) const override;
    void writeObj(TextBuffer& out) const override;
    // x, y, z of every node as 32-bit floats, in number order, moved by the
    // node's column of offsets when given.
    QByteArray vertexBuffer(const Eigen::Matrix3Xf* offsets = nullptr) const;

private:
    friend class Node;
    const QString& nameAt(quint16 i) const { return m_names[i]; }

    BlockArena<Node> m_nodes;
    // Every name a node of the list has; most have the first.
    std::vector<QString> m_names;
    ZeroMatrix m_displacements;
    int m_loadCases = 0;
    // The nodes there were when the displacements were sized.
    quint32 m_sized = 0;
};

} // namespace Folvane

#endif
