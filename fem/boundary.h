#ifndef FOLVANE_BOUNDARY_H
#define FOLVANE_BOUNDARY_H

#include "fem/object.h"

#include <array>

namespace Folvane {

class Node;

// Fixed degrees of freedom (ux, uy, uz, rx, ry, rz) of a set of nodes.
class NodeBoundary : public Object
{
public:
    explicit NodeBoundary(const QString& name, Object* owner = nullptr);

    const std::array<bool, 6>& fixed() const { return m_fixed; }
    void setFixed(int dof, bool fixed) { m_fixed[size_t(dof)] = fixed; }
    void addNode(Node* node) { m_nodes.push_back(node); }
    const std::vector<Node*>& nodes() const { return m_nodes; }

private:
    std::array<bool, 6> m_fixed{{true, true, true, true, true, true}};
    std::vector<Node*> m_nodes;
};

// The nodal load of one station: a force per load case in x, y and z,
// shared equally by its nodes.
class NodeLoad : public Object
{
public:
    NodeLoad(const QString& name, int station, std::vector<double> fx, std::vector<double> fy,
             std::vector<double> fz, Object* owner = nullptr);

    int station() const { return m_station; }
    int loadCaseCount() const { return int(m_fx.size()); }
    // The components of a load case (zero outside the cases).
    std::array<double, 3> force(int loadCase) const;
    double tolerance() const { return m_tolerance; }
    void addNode(Node* node) { m_nodes.push_back(node); }
    const std::vector<Node*>& nodes() const { return m_nodes; }

private:
    int m_station;
    std::vector<double> m_fx;
    std::vector<double> m_fy;
    std::vector<double> m_fz;
    double m_tolerance = 0.001;
    std::vector<Node*> m_nodes;
};

class NodeBoundaryList : public TypedList<NodeBoundary>
{
public:
    explicit NodeBoundaryList(Object* owner = nullptr)
        : TypedList<NodeBoundary>(QStringLiteral("Boundaries"), owner)
    {
    }
};

class NodeLoadList : public TypedList<NodeLoad>
{
public:
    explicit NodeLoadList(Object* owner = nullptr)
        : TypedList<NodeLoad>(QStringLiteral("Loads"), owner)
    {
    }
    // The number of load cases of the first load; 0, with a message, without loads.
    int ReadLoadNum() const;
    int currentLoadCase() const { return m_current; }
    void setCurrentLoadCase(int loadCase) { m_current = loadCase; }

private:
    int m_current = 0;
};

} // namespace Folvane

#endif
