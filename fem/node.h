#ifndef FOLVANE_NODE_H
#define FOLVANE_NODE_H

#include "fem/object.h"

#include <Eigen/Dense>
#include <QVarLengthArray>

namespace Folvane {

class Edge;
class Element;

// A corner node (or, owned by an edge, a middle node).
class Node : public Object
{
public:
    static const QString DefaultName;

    Node(const QString& name, double x, double y, double z, quint64 id = 0, Object* owner = nullptr);

    double x() const { return m_x; }
    double y() const { return m_y; }
    double z() const { return m_z; }
    Eigen::Vector3d position() const { return Eigen::Vector3d(m_x, m_y, m_z); }
    Eigen::Vector3d deformedPosition(int loadCase) const;
    // ux, uy, uz, rx, ry, rz of a load case.
    Eigen::Matrix<double, 6, 1> displacementOf(int loadCase) const;
    Eigen::MatrixXd& displacement() { return m_displacement; }
    const Eigen::MatrixXd& displacement() const { return m_displacement; }

    Edge* findEdge(const Node* other) const;
    void addEdge(Edge* edge) { m_edges.append(edge); }
    void addElement(Element* element) { m_elements.append(element); }
    const QVarLengthArray<Edge*, 4>& edges() const { return m_edges; }
    const QVarLengthArray<Element*, 4>& elements() const { return m_elements; }

    void initResults(int loadCases) override;
    void WriteAnsys(TextBuffer& out) const override;
    void WriteCCX(TextBuffer& out) const override;
    void WriteAbaqus(TextBuffer& out) const override;
    void print() const override;
    void writeObj(TextBuffer& out) const override;
    void writeVertex(float* buffer) const;

private:
    double m_x;
    double m_y;
    double m_z;
    Eigen::MatrixXd m_displacement;
    QVarLengthArray<Edge*, 4> m_edges;
    QVarLengthArray<Element*, 4> m_elements;
};

class NodeList : public TypedList<Node>
{
public:
    explicit NodeList(Object* owner = nullptr);
    // x, y, z of every node as 32-bit floats, in number order.
    QByteArray vertexBuffer() const;
};

} // namespace Folvane

#endif
