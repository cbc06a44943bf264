#ifndef FOLVANE_EDGE_H
#define FOLVANE_EDGE_H

#include "fem/node.h"

namespace Folvane {

// A side shared by the elements that meet there; it owns the middle node
// the quadratic shells place on it.
class Edge : public Object
{
public:
    Edge(Node* a, Node* b, quint64 id = 0, Object* owner = nullptr);

    Node* nodeA() const { return m_a; }
    Node* nodeB() const { return m_b; }
    Node* middle() { return &m_middle; }
    const Node* middle() const { return &m_middle; }
    double length() const { return (m_b->position() - m_a->position()).norm(); }
    void numberMiddle(quint64 id) { m_middle.setId(id); }
    void addElement(Element* element) { m_elements.append(element); }
    const QVarLengthArray<Element*, 2>& elements() const { return m_elements; }

    // An edge writes its middle node.
    void WriteAnsys(TextBuffer& out) const override { m_middle.WriteAnsys(out); }
    void WriteCCX(TextBuffer& out) const override { m_middle.WriteCCX(out); }
    void WriteAbaqus(TextBuffer& out) const override { m_middle.WriteAbaqus(out); }
    void writeObj(TextBuffer& out) const override;

private:
    Node* m_a;
    Node* m_b;
    Node m_middle;
    QVarLengthArray<Element*, 2> m_elements;
};

class EdgeList : public TypedList<Edge>
{
public:
    explicit EdgeList(Object* owner = nullptr);
    // The middle node of edge i gets the number firstId + i.
    void numberMiddleNodes(quint64 firstId);
    // The two end node numbers of every edge, as 32-bit indices.
    QByteArray lineIndexBuffer() const;
};

} // namespace Folvane

#endif
