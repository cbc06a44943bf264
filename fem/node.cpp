#include "fem/node.h"

#include "core/messages.h"
#include "core/textbuffer.h"

#include <sstream>

namespace Folvane {

const QString Node::DefaultName = QStringLiteral("node");

Node::Node(const QString& name, double x, double y, double z, quint64 id, Object* owner)
    : Object(name, id, owner)
    , m_x(x)
    , m_y(y)
    , m_z(z)
{
}

Eigen::Matrix<double, 6, 1> Node::displacementOf(int loadCase) const
{
    if (loadCase < 0 || loadCase >= m_displacement.cols())
        return Eigen::Matrix<double, 6, 1>::Zero();
    return m_displacement.col(loadCase);
}

Eigen::Vector3d Node::deformedPosition(int loadCase) const
{
    return position() + displacementOf(loadCase).head<3>();
}

Edge* Node::findEdge(const Node* other) const
{
    for (Edge* e : m_edges) {
        if (other->m_edges.contains(e))
            return e;
    }
    return nullptr;
}

void Node::initResults(int loadCases)
{
    m_displacement = Eigen::MatrixXd::Zero(6, loadCases);
}

void Node::WriteAnsys(TextBuffer& out) const
{
    out << "\nN, " << number() << ',' << m_x << ',' << m_y << ',' << m_z;
}

void Node::WriteCCX(TextBuffer& out) const
{
    out << '\n' << number() << ", " << m_x << ", " << m_y << ", " << m_z;
}

void Node::WriteAbaqus(TextBuffer& out) const
{
    WriteCCX(out);
}

void Node::print() const
{
    std::ostringstream text;
    text << m_displacement;
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
    : TypedList<Node>(QStringLiteral("Nodes"), owner)
{
}

QByteArray NodeList::vertexBuffer() const
{
    QByteArray bytes(int(count() * 3 * sizeof(float)), Qt::Uninitialized);
    float* buffer = reinterpret_cast<float*>(bytes.data());
    for (int i = 0; i < count(); ++i)
        at(i)->writeVertex(buffer);
    return bytes;
}

} // namespace Folvane
