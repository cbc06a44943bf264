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

    void WriteAnsys(TextBuffer& out) const override;
    void WriteCCX(TextBuffer& out) const override;
    void WriteSet(TextBuffer& out) const override;
    void WriteAbaqus(TextBuffer& out) const override;
    void WriteAbaqusSet(TextBuffer& out) const override { WriteSet(out); }

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
    void addNode(Node* node) { m_nodes.push_back(node); }
    const std::vector<Node*>& nodes() const { return m_nodes; }

    // The components the decks write: those of the current load case.
    void setCurrentLoadCase(int loadCase) { m_current = force(loadCase); }
    const std::array<double, 3>& current() const { return m_current; }
    // Whether the deck has any force of this load to write: every force
    // that is not zero, however small, so that none is lost.
    bool isActive() const;

    void WriteAnsys(TextBuffer& out) const override;
    void WriteCCX(TextBuffer& out) const override;
    void WriteSet(TextBuffer& out) const override;
    void WriteAbaqus(TextBuffer& out) const override;
    void WriteAbaqusSet(TextBuffer& out) const override { WriteSet(out); }

private:
    // The force lines: prefix, the set name, the direction, force / nodes.
    void writeForces(TextBuffer& out, const QString& setName, const char* const labels[3]) const;

    std::array<double, 3> m_current{{0.0, 0.0, 0.0}};
    int m_station;
    std::vector<double> m_fx;
    std::vector<double> m_fy;
    std::vector<double> m_fz;
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
    void setCurrentLoadCase(int loadCase);

private:
    int m_current = 0;
};

} // namespace Folvane

#endif
