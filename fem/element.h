#ifndef FOLVANE_ELEMENT_H
#define FOLVANE_ELEMENT_H

#include "fem/edge.h"

#include <array>

namespace Folvane {

class EdgeList;
class PolyLayer;

// A shell element: corners in element order, edge k from corner k to
// corner k + 1 (the last closing to corner 0), its composite section, and
// per ply and load case the von Mises stress, six stresses and six strains.
class Element : public Object
{
public:
    enum Kind { QuadKind = 0, TriKind = 1 };
    enum Result { VonMises, S11, S22, S33, S12, S13, S23, E11, E22, E33, E12, E13, E23, ResultCount };

    bool isWeb() const { return m_web; }
    int kind() const { return m_kind; }
    double area() const { return m_area; }
    int cornerCount() const { return m_corners; }
    Node* node(int i) const { return m_nodes[size_t(i)]; }
    Edge* edge(int i) const { return m_edges[size_t(i)]; }
    PolyLayer* section() const { return m_section; }
    int plyCount() const;

    // The ply count x load case table of one result quantity.
    Eigen::Block<Eigen::MatrixXd> result(Result r);
    Eigen::Block<const Eigen::MatrixXd> result(Result r) const;
    // For a load case: the largest von Mises stress over the plies, then the
    // largest absolute value of each other quantity.
    Eigen::Matrix<double, ResultCount, 1> summary(int loadCase) const;

    // The CalculiX integration-point rows of the element (six values each:
    // xx, yy, zz, xy, xz, yz), averaged per ply into the stresses or strains
    // of a load case. The rows come in the deck's ply order, last ply first.
    // Strains are stored with engineering shear (CalculiX gives half of it).
    // False, with a message, when the rows do not fit the ply count.
    virtual bool LoadCCXResultStress(int loadCase, const Eigen::MatrixXd& rows);
    virtual bool LoadCCXResultStrain(int loadCase, const Eigen::MatrixXd& rows);
    // Von Mises stress of every ply and load case from the six stresses.
    void CalcVonMises();

    // The directions plies are laid in, as columns: 0 degrees (around the
    // profile, or across a web from its start to its end), 90 degrees (in
    // the surface towards the tip) and the unit normal. Edge 0 runs along 0
    // degrees, or against it when the reference is reversed.
    Eigen::Matrix3d plyFrame() const;
    void setReferenceReversed(bool reversed) { m_referenceReversed = reversed; }
    bool referenceReversed() const { return m_referenceReversed; }
    // +1 when turning from 0 towards 90 degrees is a right-handed turn
    // about the normal, -1 when it is left-handed.
    int angleSense() const;

    virtual void setSection(PolyLayer* section);
    virtual double edgeLength01() const;
    Eigen::Vector3d centroid() const;
    virtual void computeArea() = 0;

    void initResults(int loadCases) override;
    void writeObj(TextBuffer& out) const override;
    // The corners and then the middle nodes of the edges, as CalculiX and
    // Abaqus list them (S8R, S6 / STRI65).
    void WriteCCX(TextBuffer& out) const override;
    void WriteAbaqus(TextBuffer& out) const override;
    // SHELL281: a triangle repeats its third corner and third middle node.
    void WriteAnsys(TextBuffer& out) const override;

protected:
    Element(const QString& name, quint64 id, Kind kind, std::initializer_list<Node*> corners, bool web,
            EdgeList& edges, Object* owner);
    // CalculiX writes this many integration-point rows per ply.
    virtual int rowsPerPly(int plies) const = 0;
    // Reports rows that do not fit the ply count.
    virtual void reportLayerMismatch(const char* operation, int rows) const = 0;
    bool loadCCXRows(int loadCase, const Eigen::MatrixXd& rows, Result first, const char* operation);
    static double triangleArea(const Node* a, const Node* b, const Node* c);

    double m_area = 0.0;

private:
    bool m_web;
    bool m_referenceReversed = false;
    Kind m_kind;
    int m_corners;
    std::array<Node*, 4> m_nodes{};
    std::array<Edge*, 4> m_edges{};
    PolyLayer* m_section = nullptr;
    Eigen::MatrixXd m_results;
};

class Quad4 : public Element
{
public:
    Quad4(quint64 id, Node* c0, Node* c1, Node* c2, Node* c3, bool web, EdgeList& edges, Object* owner = nullptr);
    void computeArea() override;

protected:
    int rowsPerPly(int) const override { return 8; }
    void reportLayerMismatch(const char* operation, int rows) const override;
};

class Tri3 : public Element
{
public:
    Tri3(quint64 id, Node* c0, Node* c1, Node* c2, bool web, EdgeList& edges, Object* owner = nullptr);
    double edgeLength01() const override;
    void computeArea() override;

protected:
    // A single ply is one 15-node wedge of nine points; stacked plies get
    // six each.
    int rowsPerPly(int plies) const override { return plies == 1 ? 9 : 6; }
    void reportLayerMismatch(const char* operation, int rows) const override;
};

class ElementList : public TypedList<Element>
{
public:
    explicit ElementList(Object* owner = nullptr);
    // Every element's own triangles, each vertex its position, the
    // element's normal and the colour given for the element (by number).
    QByteArray faceVertexBuffer(const std::vector<Eigen::Vector3f>& colours) const;
};

} // namespace Folvane

#endif
