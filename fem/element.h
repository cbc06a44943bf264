#ifndef FOLVANE_ELEMENT_H
#define FOLVANE_ELEMENT_H

#include "fem/edge.h"

#include <array>

namespace Folvane {

class ElementList;
class PolyLayer;

// Ply (rows) by load case (columns) values of one result quantity of one
// element: a view into its list's array of that quantity.
using ResultView = Eigen::Map<Eigen::MatrixXd, 0, Eigen::OuterStride<>>;
using ConstResultView = Eigen::Map<const Eigen::MatrixXd, 0, Eigen::OuterStride<>>;

// A shell element: corners in element order, edge k from corner k to
// corner k + 1 (the last closing to corner 0), its composite section, and
// per ply and load case the von Mises stress, six stresses and six strains,
// which its list keeps. An element is a plain value; Quad4 and Tri3 only
// build one of their kind.
class Element
{
public:
    enum Kind { QuadKind = 0, TriKind = 1 };
    enum Result { VonMises, S11, S22, S33, S12, S13, S23, E11, E22, E33, E12, E13, E23, ResultCount };

    // Rows, sections and edges point at an element: it stays where it was built.
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    QString name() const;
    quint64 id() const { return m_id; }
    void setId(quint64 id) { m_id = id; }
    // Decks and OBJ files number from 1.
    quint64 number() const { return m_id + 1; }
    QString modelName() const;

    bool isWeb() const { return m_web; }
    int kind() const { return m_kind; }
    double area() const { return m_area; }
    int cornerCount() const { return m_kind == QuadKind ? 4 : 3; }
    Node* node(int i) const { return m_nodes[size_t(i)]; }
    Edge* edge(int i) const { return m_edges[size_t(i)]; }
    PolyLayer* section() const { return m_section; }
    int plyCount() const;

    // The ply count x load case table of one result quantity, as the list
    // sized it (see ElementList::initResults).
    ResultView result(Result r);
    ConstResultView result(Result r) const;
    // For a load case: the largest von Mises stress over the plies, then the
    // largest absolute value of each other quantity.
    Eigen::Matrix<double, ResultCount, 1> summary(int loadCase) const;
    // For a load case: the ply value of the quantity of largest magnitude,
    // with its sign (a compressed ply's strain stays negative); 0 without
    // plies.
    double signedPeak(Result r, int loadCase) const;

    // The CalculiX integration-point rows of the element (six values each:
    // xx, yy, zz, xy, xz, yz), averaged per ply into the stresses or strains
    // of a load case. The rows come in the deck's ply order, last ply first.
    // Strains are stored with engineering shear (CalculiX gives half of it).
    // False, with a message, when the rows do not fit the ply count.
    bool LoadCCXResultStress(int loadCase, const Eigen::MatrixXd& rows);
    bool LoadCCXResultStrain(int loadCase, const Eigen::MatrixXd& rows);
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

    void setSection(PolyLayer* section);
    // Along edge 0; a triangle's half of it.
    double edgeLength01() const;
    Eigen::Vector3d centroid() const;
    void computeArea();

    void writeObj(TextBuffer& out) const;
    // The corners and then the middle nodes of the edges, as CalculiX and
    // Abaqus list them (S8R, S6 / STRI65).
    void WriteCCX(TextBuffer& out) const;
    void WriteAbaqus(TextBuffer& out) const { WriteCCX(out); }
    // SHELL281: a triangle repeats its third corner and third middle node.
    void WriteAnsys(TextBuffer& out) const;

protected:
    // The corners share the edges they already have in edges; the other
    // sides become new edges there.
    Element(quint64 id, Kind kind, std::initializer_list<Node*> corners, bool web, EdgeList& edges);

private:
    friend class BlockArena<Element>;
    friend class ElementList;

    // CalculiX writes this many integration-point rows per ply: a
    // quadrilateral 8; a triangle of a single ply is one 15-node wedge of
    // nine points, stacked plies get six each.
    int rowsPerPly(int plies) const { return m_kind == QuadKind ? 8 : (plies == 1 ? 9 : 6); }
    // Reports rows that do not fit the ply count.
    void reportLayerMismatch(const char* operation, int rows) const;
    bool loadCCXRows(int loadCase, const Eigen::MatrixXd& rows, Result first, const char* operation);
    // The element's plies of a load case in one quantity's array; empty for
    // a load case it has no results of.
    Eigen::Map<const Eigen::VectorXd> plyValues(Result r, int loadCase) const;
    int loadCaseCount() const;

    std::array<Node*, 4> m_nodes{};
    std::array<Edge*, 4> m_edges{};
    PolyLayer* m_section = nullptr;
    ElementList* m_list = nullptr;
    quint64 m_id;
    double m_area = 0.0;
    // The element's rows in its list's result arrays.
    quint64 m_firstPly = 0;
    quint32 m_resultPlies = 0;
    quint8 m_kind;
    bool m_web;
    bool m_referenceReversed = false;
};

class Quad4 : public Element
{
public:
    Quad4(quint64 id, Node* c0, Node* c1, Node* c2, Node* c3, bool web, EdgeList& edges);
};

class Tri3 : public Element
{
public:
    Tri3(quint64 id, Node* c0, Node* c1, Node* c2, bool web, EdgeList& edges);
};

// The elements of a model, in number order, and their results: per result
// quantity one (plies of every element) x load cases array, each element's
// plies a block of rows in element order.
class ElementList : public Object
{
public:
    explicit ElementList(Object* owner = nullptr);

    int count() const { return int(m_elements.size()); }
    Element* at(int i) const { return m_elements.at(size_t(i)); }
    // A new element, numbered after the last (see Element's constructor).
    Element* addQuad(Node* c0, Node* c1, Node* c2, Node* c3, bool web, EdgeList& edges);
    Element* addTri(Node* c0, Node* c1, Node* c2, bool web, EdgeList& edges);
    // Numbers the elements from 0 in list order.
    void renumber();
    void clear();

    // Zero results of every element's plies (as its section has them now)
    // for the load cases.
    void initResults(int loadCases);
    int loadCaseCount() const { return m_loadCases; }

    // Calls f(Element&) for every element in order.
    template <typename F>
    void forEach(F&& f) const
    {
        m_elements.forEach(std::forward<F>(f));
    }

    void writeObj(TextBuffer& out) const override;
    // Every element's own corners, each vertex its position (moved by the
    // corner node's column of offsets, when given), the element's normal
    // and the colour given for the element (by number); and the triangles
    // over them, fanned from each element's first corner. Corners are not
    // shared between elements, so each keeps its own colour.
    QByteArray faceVertexBuffer(const std::vector<Eigen::Vector3f>& colours, const Eigen::Matrix3Xf* offsets = nullptr) const;
    QByteArray faceIndexBuffer() const;

private:
    friend class Element;

    BlockArena<Element> m_elements;
    std::array<ZeroMatrix, Element::ResultCount> m_results;
    int m_loadCases = 0;
};

} // namespace Folvane

#endif
