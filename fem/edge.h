#ifndef FOLVANE_EDGE_H
#define FOLVANE_EDGE_H

#include "fem/node.h"

namespace Folvane {

// A side shared by the elements that meet there; it holds the middle node
// the quadratic shells place on it. The edges of a node form a chain, in
// the order they were made, through the edges themselves.
class Edge
{
public:
    Edge(const Edge&) = delete;
    Edge& operator=(const Edge&) = delete;

    Node* nodeA() const { return m_a; }
    Node* nodeB() const { return m_b; }
    Node* middle() { return &m_middle; }
    const Node* middle() const { return &m_middle; }
    double length() const { return (m_b->position() - m_a->position()).norm(); }
    // The place of the edge in its list.
    quint64 id() const { return m_middle.m_index; }
    QString name() const;
    void numberMiddle(quint64 id) { m_middle.setId(id); }

    // An edge writes its middle node.
    void WriteAnsys(TextBuffer& out) const { m_middle.WriteAnsys(out); }
    void WriteCCX(TextBuffer& out) const { m_middle.WriteCCX(out); }
    void WriteAbaqus(TextBuffer& out) const { m_middle.WriteAbaqus(out); }
    void writeObj(TextBuffer& out) const;

private:
    friend class BlockArena<Edge>;
    friend class EdgeList;
    friend class Node;

    Edge(Node* a, Node* b, quint32 index, const EdgeList* owner);
    // The edge after this one in the chain of n (one of its ends).
    Edge* nextAround(const Node* n) const { return n == m_a ? m_nextA : m_nextB; }

    Node* m_a;
    Node* m_b;
    Edge* m_nextA = nullptr;
    Edge* m_nextB = nullptr;
    Node m_middle;
};

class EdgeList : public Object
{
public:
    explicit EdgeList(Object* owner = nullptr);

    int count() const { return int(m_edges.size()); }
    Edge* at(int i) const { return m_edges.at(size_t(i)); }
    // A new edge from a to b, on the chains of both.
    Edge* add(Node* a, Node* b);
    void clear() { m_edges.clear(); }
    // The middle node of edge i gets the number firstId + i.
    void numberMiddleNodes(quint64 firstId);
    // The two end node numbers of every edge, as 32-bit indices.
    QByteArray lineIndexBuffer() const;

    // The middle nodes.
    void WriteAnsys(TextBuffer& out) const override;
    void WriteCCX(TextBuffer& out) const override;
    void WriteAbaqus(TextBuffer& out) const override;
    void writeObj(TextBuffer& out) const override;

private:
    BlockArena<Edge> m_edges;
};

} // namespace Folvane

#endif
