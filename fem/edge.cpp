#include "fem/edge.h"

#include "core/textbuffer.h"

namespace Folvane {

static const QString edgeName = QStringLiteral("Edge");

Edge::Edge(Node* a, Node* b, quint32 index, const EdgeList* owner)
    : m_a(a)
    , m_b(b)
    , m_middle((a->x() + b->x()) / 2.0, (a->y() + b->y()) / 2.0, (a->z() + b->z()) / 2.0, Node::Middle, owner, index,
               0)
{
    m_middle.setId(0);
}

QString Edge::name() const
{
    return edgeName;
}

void Edge::writeObj(TextBuffer& out) const
{
    out << "l " << m_a->number() << ' ' << m_b->number() << '\n';
}

EdgeList::EdgeList(Object* owner)
    : Object(QStringLiteral("Edges"), 0, owner)
{
}

Edge* EdgeList::add(Node* a, Node* b)
{
    Edge* edge = m_edges.emplace(a, b, quint32(m_edges.size()), this);
    a->appendEdge(edge);
    if (b != a)
        b->appendEdge(edge);
    return edge;
}

void EdgeList::numberMiddleNodes(quint64 firstId)
{
    quint64 id = firstId;
    m_edges.forEach([&id](Edge& e) { e.numberMiddle(id++); });
}

QByteArray EdgeList::lineIndexBuffer() const
{
    QByteArray bytes(int(count() * 2 * sizeof(quint32)), Qt::Uninitialized);
    quint32* indices = reinterpret_cast<quint32*>(bytes.data());
    m_edges.forEach([&indices](const Edge& e) {
        *indices++ = quint32(e.nodeA()->id());
        *indices++ = quint32(e.nodeB()->id());
    });
    return bytes;
}

void EdgeList::WriteAnsys(TextBuffer& out) const
{
    m_edges.forEach([&out](const Edge& e) { e.WriteAnsys(out); });
}

void EdgeList::WriteCCX(TextBuffer& out) const
{
    m_edges.forEach([&out](const Edge& e) { e.WriteCCX(out); });
}

void EdgeList::WriteAbaqus(TextBuffer& out) const
{
    WriteCCX(out);
}

void EdgeList::writeObj(TextBuffer& out) const
{
    m_edges.forEach([&out](const Edge& e) { e.writeObj(out); });
}

} // namespace Folvane
