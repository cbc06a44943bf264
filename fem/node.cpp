#include "fem/node.h"

#include "core/messages.h"
#include "core/textbuffer.h"
#include "fem/edge.h"

#include <limits>
#include <sstream>

namespace Folvane {

const QString Node::DefaultName = QStringLiteral("node");

static const QString middleName = QStringLiteral("Middle Node");

Node::Node(double x, double y, double z, quint64 id)
    : Node(x, y, z, Alone, nullptr, 0, 0)
{
    m_id = id;
}

Node::Node(double x, double y, double z, Place place, const Object* owner, quint32 index, quint16 name)
    : m_x(x)
    , m_y(y)
    , m_z(z)
    , m_id(index)
    , m_owner(owner)
    , m_index(index)
    , m_name(name)
    , m_place(place)
{
}

const NodeList* Node::list() const
{
    return m_place == Listed ? static_cast<const NodeList*>(m_owner) : nullptr;
}

QString Node::name() const
{
    switch (m_place) {
    case Listed:
        return list()->nameAt(m_name);
    case Middle:
        return middleName;
    default:
        return DefaultName;
    }
}

QString Node::modelName() const
{
    return m_owner ? m_owner->modelName() : QString();
}

DisplacementView Node::displacement()
{
    const NodeList* nodes = list();
    if (!nodes || m_index >= nodes->m_sized)
        return DisplacementView(nullptr, 6, 0);
    double* data = const_cast<double*>(nodes->m_displacements.data());
    return DisplacementView(data + size_t(6) * size_t(nodes->m_loadCases) * m_index, 6, nodes->m_loadCases);
}

ConstDisplacementView Node::displacement() const
{
    const NodeList* nodes = list();
    if (!nodes || m_index >= nodes->m_sized)
        return ConstDisplacementView(nullptr, 6, 0);
    return ConstDisplacementView(nodes->m_displacements.data() + size_t(6) * size_t(nodes->m_loadCases) * m_index, 6,
                                 nodes->m_loadCases);
}

Eigen::Matrix<double, 6, 1> Node::displacementOf(int loadCase) const
{
    const ConstDisplacementView all = displacement();
    if (loadCase < 0 || loadCase >= all.cols())
        return Eigen::Matrix<double, 6, 1>::Zero();
    return all.col(loadCase);
}

Eigen::Vector3d Node::deformedPosition(int loadCase) const
{
    return position() + displacementOf(loadCase).head<3>();
}

Edge* Node::findEdge(const Node* other) const
{
    for (Edge* e = m_firstEdge; e; e = e->nextAround(this)) {
        if (e->m_a == other || e->m_b == other)
            return e;
    }
    return nullptr;
}

void Node::appendEdge(Edge* edge)
{
    if (!m_firstEdge) {
        m_firstEdge = edge;
        return;
    }
    Edge* last = m_firstEdge;
    while (Edge* next = last->nextAround(this))
        last = next;
    (last->m_a == this ? last->m_nextA : last->m_nextB) = edge;
}

void Node::WriteAnsys(TextBuffer& out) const
{
    out << "\nN, " << number() << ',' << m_x << ',' << m_y << ',' << m_z;
}

void Node::WriteCCX(TextBuffer& out) const
{
    out << '\n' << number() << ", " << m_x << ", " << m_y << ", " << m_z;
}

void Node::print() const
{
    std::ostringstream text;
    text << displacement();
    outLine(QStringLiteral("Node No. %1 %2 %3 %4").arg(id()).arg(m_x).arg(m_y).arg(m_z));
    outLine(QString::fromStdString(text.str()));
}

void Node::writeObj(TextBuffer& out) const
{
    out << "v " << m_x << ' ' << m_y << ' ' << m_z << '\n';
}

void Node::writeVertex(float* buffer) const
{
    buffer[3 * id()] = float(m_x);
    buffer[3 * id() + 1] = float(m_y);
    buffer[3 * id() + 2] = float(m_z);
}

NodeList::NodeList(Object* owner)
    : Object(QStringLiteral("Nodes"), 0, owner)
    , m_names{Node::DefaultName}
{
}

Node* NodeList::add(double x, double y, double z)
{
    return m_nodes.emplace(x, y, z, Node::Listed, this, quint32(m_nodes.size()), quint16(0));
}

Node* NodeList::add(const QString& name, double x, double y, double z)
{
    size_t k = 0;
    while (k < m_names.size() && m_names[k] != name)
        ++k;
    // Names are the program's own few; past the table's reach a node keeps the default.
    if (k == m_names.size()) {
        if (k > std::numeric_limits<quint16>::max())
            k = 0;
        else
            m_names.push_back(name);
    }
    return m_nodes.emplace(x, y, z, Node::Listed, this, quint32(m_nodes.size()), quint16(k));
}

void NodeList::renumber()
{
    quint64 id = 0;
    m_nodes.forEach([&id](Node& n) { n.setId(id++); });
}

void NodeList::clear()
{
    m_nodes.clear();
    m_names.resize(1);
    m_displacements.clear();
    m_loadCases = 0;
    m_sized = 0;
}

void NodeList::initResults(int loadCases)
{
    m_loadCases = std::max(loadCases, 0);
    m_sized = quint32(m_nodes.size());
    m_displacements.reset(6, Eigen::Index(m_sized) * m_loadCases);
}

void NodeList::WriteAnsys(TextBuffer& out) const
{
    m_nodes.forEach([&out](const Node& n) { n.WriteAnsys(out); });
}

void NodeList::WriteCCX(TextBuffer& out) const
{
    m_nodes.forEach([&out](const Node& n) { n.WriteCCX(out); });
}

void NodeList::WriteAbaqus(TextBuffer& out) const
{
    WriteCCX(out);
}

void NodeList::writeObj(TextBuffer& out) const
{
    m_nodes.forEach([&out](const Node& n) { n.writeObj(out); });
}

QByteArray NodeList::vertexBuffer(const Eigen::Matrix3Xf* offsets) const
{
    QByteArray bytes(int(count() * 3 * sizeof(float)), Qt::Uninitialized);
    float* buffer = reinterpret_cast<float*>(bytes.data());
    m_nodes.forEach([buffer](const Node& n) { n.writeVertex(buffer); });
    if (offsets && offsets->cols() == count())
        Eigen::Map<Eigen::Matrix3Xf>(buffer, 3, count()) += *offsets;
    return bytes;
}

} // namespace Folvane
