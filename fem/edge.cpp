#include "fem/edge.h"

#include "core/textbuffer.h"

namespace Folvane {

static const QString edgeName = QStringLiteral("Edge");
static const QString middleName = QStringLiteral("Middle Node");

Edge::Edge(Node* a, Node* b, quint64 id, Object* owner)
    : Object(edgeName, id, owner)
    , m_a(a)
    , m_b(b)
    , m_middle(middleName, (a->x() + b->x()) / 2.0, (a->y() + b->y()) / 2.0, (a->z() + b->z()) / 2.0, 0, this)
{
    a->addEdge(this);
    b->addEdge(this);
}

void Edge::writeObj(TextBuffer& out) const
{
    out << "l " << m_a->number() << ' ' << m_b->number() << '\n';
}

EdgeList::EdgeList(Object* owner)
    : TypedList<Edge>(QStringLiteral("Edges"), owner)
{
}

void EdgeList::numberMiddleNodes(quint64 firstId)
{
    for (int i = 0; i < count(); ++i)
        at(i)->numberMiddle(firstId + quint64(i));
}

QByteArray EdgeList::lineIndexBuffer() const
{
    QByteArray bytes(int(count() * 2 * sizeof(quint32)), Qt::Uninitialized);
    quint32* indices = reinterpret_cast<quint32*>(bytes.data());
    for (int i = 0; i < count(); ++i) {
        indices[2 * i] = quint32(at(i)->nodeA()->id());
        indices[2 * i + 1] = quint32(at(i)->nodeB()->id());
    }
    return bytes;
}

} // namespace Folvane
