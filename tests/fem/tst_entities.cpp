#include "capture.h"
#include "core/textbuffer.h"
#include "fem/elementrow.h"
#include "fem/model.h"
#include "fem/noderow.h"

#include <QtTest>
#include <cmath>

using namespace Folvane;

namespace {

// A row of nodes along x at height y, station z.
std::unique_ptr<NodeRow> rowOf(Model& model, int count, double y, double z = 0.0, double width = 1.0)
{
    std::vector<Node*> nodes;
    for (int i = 0; i < count; ++i)
        nodes.push_back(model.nodes().add(Node::DefaultName, count > 1 ? width * i / (count - 1) : 0.0, y, z));
    return std::make_unique<NodeRow>(QStringLiteral("R%1").arg(y), std::move(nodes), &model);
}

// The corner numbers of every element of a row, as text: "0 1 6 5; ...".
QString cornersOf(const ElementRow& row)
{
    QStringList elements;
    for (const Element* e : row.elements()) {
        QStringList corners;
        for (int i = 0; i < e->cornerCount(); ++i)
            corners << QString::number(e->node(i)->id());
        elements << corners.join(' ');
    }
    return elements.join("; ");
}

PlyStack pliesOf(Material* m, std::initializer_list<double> thicknesses)
{
    PlyStack plies;
    for (double t : thicknesses) {
        plies.materials.push_back(m);
        plies.thicknesses.push_back(t);
        plies.intPoints.push_back(3);
        plies.angles.push_back(0);
    }
    return plies;
}

} // namespace

class TestEntities : public QObject
{
    Q_OBJECT

private slots:
    void sharedEdgesAndNumbering();
    void areas();
    void rowPairRule();
    void objLinesAndBuffers();
    void rowsArraysAndMapping();
    void twistAndDisplacements();
    void sectionsAndResults();
    void nodesAcrossBlocks();
    void resultsOfEveryElementApart();
};

void TestEntities::sharedEdgesAndNumbering()
{
    // Rows along x at stations z = 0, 1, 2 (the span).
    Model model("Blade");
    auto bottom = rowOf(model, 3, 0, 0);
    auto middle = rowOf(model, 3, 0, 1);
    auto top = rowOf(model, 2, 0, 2);
    ElementRow first("first"), second("second");
    genRowElements(*bottom, *middle, false, true, RowNormal::SpanCrossRow, model.elements(), model.edges(), first);
    genRowElements(*middle, *top, false, true, RowNormal::SpanCrossRow, model.elements(), model.edges(), second);
    QCOMPARE(model.elements().count(), 4);
    // 7 sides in the first row, 4 more above (the triangle shares its side
    // with the quad and both share the middle row's sides).
    QCOMPARE(model.edges().count(), 11);
    model.numberEntities();
    // Each element starts on its outer row, along the row.
    QCOMPARE(cornersOf(first), QString("3 4 1 0; 4 5 2 1"));
    QCOMPARE(cornersOf(second), QString("6 7 4 3; 5 4 7"));
    QVERIFY(!first.at(0)->referenceReversed() && second.at(1)->referenceReversed());
    const Element* lower = first.at(0);
    const Element* upper = second.at(0);
    QCOMPARE(lower->edge(0), upper->edge(2));
    QCOMPARE(lower->edge(0)->middle()->id(), quint64(8));  // after the 8 corners
    QCOMPARE(second.at(1)->edge(1), upper->edge(1));       // triangle beside the quad
    QCOMPARE(model.edges().at(10)->middle()->id(), quint64(18));
    for (int i = 0; i < model.nodes().count(); ++i)
        QCOMPARE(model.nodes().at(i)->id(), quint64(i));
    QCOMPARE(first.name(), QString("R0"));
    QCOMPARE(second.name(), QString("R0"));  // named after the longer row
}

void TestEntities::areas()
{
    Model model("m");
    auto* a = model.nodes().add("n", 0, 0, 0);
    auto* b = model.nodes().add("n", 3, 0, 0);
    auto* c = model.nodes().add("n", 3, 2, 0);
    auto* d = model.nodes().add("n", 0, 2, 0);
    auto* e = model.nodes().add("n", 0, 2, 1);  // lifts the fourth corner out of the plane
    Quad4 flat(0, a, b, c, d, false, model.edges());
    QCOMPARE(flat.area(), 6.0);
    Quad4 warped(0, a, b, c, e, false, model.edges());
    // The mean of the splits on either diagonal: (a, c, b) + (a, c, e) and
    // (b, e, a) + (b, e, c); the same whichever corner comes first.
    auto triangle = [](const Node* p, const Node* q, const Node* r) {
        return 0.5 * (q->position() - p->position()).cross(r->position() - p->position()).norm();
    };
    const double mean = 0.5 * (3.0 + triangle(a, c, e) + triangle(b, e, a) + triangle(b, e, c));
    QVERIFY(std::abs(warped.area() - mean) < 1e-14);
    QVERIFY(std::abs(Quad4(0, e, a, b, c, false, model.edges()).area() - mean) < 1e-14);
    QVERIFY(std::abs(mean - (3.0 + triangle(a, c, e))) > 1e-3);
    Tri3 tri(0, a, b, c, false, model.edges());
    QCOMPARE(tri.area(), 3.0);
    QCOMPARE(flat.edgeLength01(), 3.0);
    QCOMPARE(tri.edgeLength01(), 1.5);
    QCOMPARE(flat.centroid(), Eigen::Vector3d(1.5, 1, 0));
}

// Rows run along +x, the span along +z.
void TestEntities::rowPairRule()
{
    // Rows of 6 and 3 nodes: d = 3, so one triangle first, two quads, two
    // triangles last; the longer row may be inner or outer.
    Model model("m");
    auto longRow = rowOf(model, 6, 0, 0);
    auto shortRow = rowOf(model, 3, 0, 1);
    auto longTop = rowOf(model, 6, 0, 2);
    model.nodes().renumber();
    ElementRow quads("q"), triangles("t");
    genRowElements(*longRow, *shortRow, false, true, RowNormal::SpanCrossRow, model.elements(), model.edges(), quads);
    QCOMPARE(cornersOf(quads), QString("1 0 6; 6 7 2 1; 7 8 3 2; 4 3 8; 5 4 8"));
    genRowElements(*shortRow, *longTop, false, false, RowNormal::RowCrossSpan, model.elements(), model.edges(),
                   triangles);
    QCOMPARE(cornersOf(triangles), QString("10 9 6; 11 10 6; 6 7 11; 12 11 7; 7 8 12; 13 12 8; 14 13 8"));
    QCOMPARE(quads.count(), 5);

    // Whatever the shape: edge 0 lies along a row, the normal is span x row
    // (+y) or row x span (-y), and the 0-degree reference runs along +x.
    auto check = [](const ElementRow& row, double normalY) {
        for (const Element* e : row.elements()) {
            QCOMPARE(e->node(0)->z(), e->node(1)->z());
            const Eigen::Matrix3d frame = e->plyFrame();
            QVERIFY((frame.col(0) - Eigen::Vector3d(1, 0, 0)).norm() < 1e-12);
            QVERIFY((frame.col(1) - Eigen::Vector3d(0, 0, 1)).norm() < 1e-12);
            QVERIFY((frame.col(2) - Eigen::Vector3d(0, normalY, 0)).norm() < 1e-12);
            QCOMPARE(e->angleSense(), normalY > 0 ? -1 : 1);
        }
    };
    check(quads, 1);
    check(triangles, -1);

    // Equal rows: quadrilaterals only; a single node opposite: a fan.
    Model other("o");
    auto r1 = rowOf(other, 4, 0, 0), r2 = rowOf(other, 4, 0, 1), tip = rowOf(other, 1, 0, 2);
    other.nodes().renumber();
    ElementRow same("s"), fan("f");
    genRowElements(*r1, *r2, true, true, RowNormal::RowCrossSpan, other.elements(), other.edges(), same);
    genRowElements(*r2, *tip, false, true, RowNormal::SpanCrossRow, other.elements(), other.edges(), fan);
    QCOMPARE(cornersOf(same), QString("0 1 5 4; 1 2 6 5; 2 3 7 6"));
    QVERIFY(same.at(0)->isWeb() && !fan.at(0)->isWeb());
    QCOMPARE(cornersOf(fan), QString("5 4 8; 6 5 8; 7 6 8"));
    check(same, -1);
    check(fan, 1);
}

void TestEntities::objLinesAndBuffers()
{
    Model model("m");
    auto r1 = rowOf(model, 2, 0, 0, 2.5);
    auto r2 = rowOf(model, 2, 1e-7, 0, 2.5);
    ElementRow row("r");
    genRowElements(*r1, *r2, false, true, RowNormal::RowCrossSpan, model.elements(), model.edges(), row);
    model.numberEntities();
    TextBuffer obj;
    model.nodes().writeObj(obj);
    model.edges().writeObj(obj);
    model.elements().writeObj(obj);
    QCOMPARE(QString::fromUtf8(obj.bytes()), QString("v 0 0 0\nv 2.5 0 0\nv 0 1e-07 0\nv 2.5 1e-07 0\n"
                                                     "l 1 2\nl 2 4\nl 4 3\nl 3 1\n"
                                                     "f 1 2 4 3\n"));
    QCOMPARE(model.nodes().vertexBuffer().size(), 4 * 12);
    // The face buffer: the four corners with position, normal and colour,
    // and two triangles fanned from the first corner (nodes 1 2 4 and
    // 1 4 3 of the face above).
    const QByteArray faces = model.elements().faceVertexBuffer({Eigen::Vector3f(0.1f, 0.2f, 0.3f)});
    QCOMPARE(faces.size(), 4 * 9 * 4);
    const float* f = reinterpret_cast<const float*>(faces.constData());
    QCOMPARE(std::vector<float>(f, f + 9), std::vector<float>({0, 0, 0, 0, 0, 1, 0.1f, 0.2f, 0.3f}));
    QCOMPARE(std::vector<float>({f[9], f[18], f[19], f[27], f[28]}), std::vector<float>({2.5f, 2.5f, 1e-7f, 0, 1e-7f}));
    const QByteArray triangles = model.elements().faceIndexBuffer();
    const quint32* t = reinterpret_cast<const quint32*>(triangles.constData());
    QCOMPARE(std::vector<quint32>(t, t + triangles.size() / 4), std::vector<quint32>({0, 1, 2, 0, 2, 3}));
    QCOMPARE(model.edges().lineIndexBuffer().size(), 8 * 4);
    const float* v = reinterpret_cast<const float*>(model.nodes().vertexBuffer().constData());
    QCOMPARE(v[3], 2.5f);
}

void TestEntities::rowsArraysAndMapping()
{
    Model model("m");
    NodeArray region("Reg");
    for (int s = 0; s < 3; ++s)
        region.addRow(rowOf(model, 4, 0, 10.0 * s));
    auto elements = region.genElements(false, true, RowNormal::SpanCrossRow, model.elements(), model.edges());
    QCOMPARE(elements->count(), 2);
    QCOMPARE(elements->row(1)->count(), 3);
    model.nodes().renumber();

    auto* fix = new NodeBoundary("Fix");
    model.boundaries().add(fix);
    region.attachBoundary(fix);
    // The root row but its last node, each with the middle node of the side
    // after it: the whole root edge of the strip.
    QCOMPARE(fix->nodes().size(), size_t(6));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(fix->nodes()[size_t(2 * i)], region.row(0)->at(i));
        QCOMPARE(fix->nodes()[size_t(2 * i + 1)], region.row(0)->at(i)->findEdge(region.row(0)->at(i + 1))->middle());
    }

    Capture capture;
    std::vector<NodeLoad*> loads;
    for (int s = 0; s < 3; ++s)
        loads.push_back(new NodeLoad(QString("Load-%1").arg(s + 1), s, {1.0}, {2.0}, {3.0}));
    region.MapNodeLoads({loads[0], loads[1]});
    region.MapNodeLoads(loads);
    QCOMPARE(loads[2]->nodes().size(), size_t(3));
    QCOMPARE(loads[2]->nodes().front()->id(), quint64(8));

    std::vector<Node*> nodes;
    region.GetNodesByRow(3, nodes, 0, 0);
    std::vector<Element*> none;
    elements->GetElesByRow(-1, none, 0, 0);
    QVERIFY(none.empty());
    QCOMPARE(region.row(0)->ReadNode(4), nullptr);
    auto line = region.lastNodeLine();
    QCOMPARE(line->count(), 3);
    QCOMPARE(line->at(2)->id(), quint64(11));

    auto* material = new UniaxMaterial("Steel", 2.0, 3.0, {200000, 0.3});
    model.materials().add(material);
    RegionLayup layup("Reg", {0, 10, 20});
    for (int j = 0; j < 2; ++j) {
        auto* section = new PolyLayer(QString("Reg-%1").arg(j + 1), pliesOf(material, {0.5, 1.5}), 0);
        model.sections().add(section);
        layup.add(section);
    }
    RegionLayup shorter("Reg", {0, 10});
    shorter.add(layup.ReadPloyLayer(0));
    elements->MapPolylayers(&shorter);
    QCOMPARE(elements->row(0)->at(0)->section(), nullptr);
    elements->MapWebPolylayers(&layup, 0, 1);
    QCOMPARE(layup.ReadPloyLayer(2), nullptr);
    QCOMPARE(capture.debugLines(), QStringList({"NodeArray - MapNodeLoads: size not correct!",
                                                "NodeArray - GetNodesByRow: index not correct!",
                                                "ElementArray - GetElesByRow: index not correct!",
                                                "NodeRow - ReadNode: index not correct!",
                                                "ElementArray - MapPolylayers: regionlayup size not correct! 1 2",
                                                "ElementArray - MapWebPolylayers: regionlayup size not correct! 1 2",
                                                "RegionLayup - ReadPloyLayer: index not correct!"}));
    elements->MapPolylayers(&layup);
    QCOMPARE(elements->row(1)->at(2)->section()->name(), QString("Reg-2"));
    QCOMPARE(layup.ReadPloyLayer(1)->elements().size(), size_t(3));

    // Each row: 3 squares of area 1/3 x 10; thickness 2, areal mass 4, cost 12.
    const Eigen::MatrixXd totals = elements->totalsTable();
    QVERIFY((totals.row(0) - Eigen::RowVector4d(10, 20, 40, 120)).norm() < 1e-9);
    for (NodeLoad* l : loads)
        delete l;
}

void TestEntities::twistAndDisplacements()
{
    Model model("m");
    NodeArray ring("Ring");
    std::vector<Node*> nodes;
    for (int i = 0; i < 6; ++i) {
        const double a = 2 * M_PI * i / 6;
        nodes.push_back(model.nodes().add("n", std::cos(a), std::sin(a), 5));
    }
    NodeRow row("Ring1", nodes);
    // A rigid turn of 0.2 rad about the z axis through (3, -1).
    const double turn = 0.2;
    model.nodes().initResults(4);
    for (Node* n : nodes) {
        const Eigen::Vector2d p(n->x() - 3, n->y() + 1);
        const Eigen::Vector2d q(std::cos(turn) * p.x() - std::sin(turn) * p.y(),
                                std::sin(turn) * p.x() + std::cos(turn) * p.y());
        n->displacement().col(1) << q.x() - p.x(), q.y() - p.y(), 0.5, 0.1, 0, 0;
        // Bending: the ring shifts, flattens and tilts out of its plane, but
        // does not turn.
        n->displacement().col(2) << 3 + 0.2 * n->x(), -1 - 0.2 * n->y(), 4 * n->y(), 0, 0, 0;
        // The same turn the other way, about the ring's own centre.
        n->displacement().col(3) << (std::cos(turn) - 1) * n->x() + std::sin(turn) * n->y(),
            -std::sin(turn) * n->x() + (std::cos(turn) - 1) * n->y(), 0, 0, 0, 0;
    }
    QVERIFY(std::abs(row.twist(1) - turn) < 1e-12);
    QVERIFY(std::abs(row.twist(2)) < 1e-15);
    QVERIFY(std::abs(row.twist(3) + turn) < 1e-12);
    QCOMPARE(row.twist(0), 0.0);  // no displacement
    QCOMPARE(row.twist(7), 0.0);  // a load case without results
    const Eigen::Matrix<double, 6, 1> mean = row.meanDisplacement(1);
    QVERIFY(std::abs(mean[2] - 0.5) < 1e-12 && std::abs(mean[3] - 0.1) < 1e-12);
    // Mean x shift: the turn about (3, -1) moves the centre (0, 0) by
    // (cos t - 1) * -3 - sin t * 1.
    QVERIFY(std::abs(mean[0] - ((std::cos(turn) - 1) * -3 - std::sin(turn))) < 1e-12);
    QCOMPARE(Node(1, 2, 3).deformedPosition(0), Eigen::Vector3d(1, 2, 3));
}

void TestEntities::sectionsAndResults()
{
    Model model("m");
    auto* glass = new EngineerMaterial("Glass", 2e-9, 5.0, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    model.materials().add(glass);
    PolyLayer empty("none", PlyStack(), 1);
    QCOMPARE(empty.totalThickness(), 0.0);
    QCOMPARE(empty.arealMass(), 0.0);
    PolyLayer two("two", pliesOf(glass, {1.0, 3.0}), 2);
    QCOMPARE(two.totalThickness(), 4.0);
    QCOMPARE(two.arealMass(), 8e-9);
    QCOMPARE(two.arealCost(), 4e-8);
    model.sections().add(new PolyLayer("three", pliesOf(glass, {1, 1, 1}), 0));
    QCOMPARE(model.sections().maxPlyCount(), 3);

    auto r1 = rowOf(model, 2, 0), r2 = rowOf(model, 2, 1);
    ElementRow row("r");
    genRowElements(*r1, *r2, false, true, RowNormal::SpanCrossRow, model.elements(), model.edges(), row);
    Element* e = row.at(0);
    e->setSection(&two);
    model.elements().initResults(2);
    QCOMPARE(e->result(Element::S11).rows(), Eigen::Index(2));
    e->result(Element::VonMises) << 5, 1, 7, 2;
    e->result(Element::S12) << -9, 0, 3, 0;
    e->result(Element::E23) << 0.1, -0.3, -0.2, 0.05;
    const auto summary = e->summary(1);
    QCOMPARE(summary[Element::VonMises], 2.0);
    QCOMPARE(summary[Element::S12], 0.0);
    QCOMPARE(summary[Element::E23], 0.3);
    QCOMPARE(e->summary(0)[Element::S12], 9.0);
    // What the view shows keeps the sign of a compressed ply.
    QCOMPARE(e->signedPeak(Element::S12, 0), -9.0);
    QCOMPARE(e->signedPeak(Element::E23, 1), -0.3);
    QCOMPARE(e->signedPeak(Element::E23, 2), 0.0);
    QCOMPARE(row.resultSummary(0)[Element::VonMises], 7.0);

    Capture capture;
    QCOMPARE(model.loads().ReadLoadNum(), 0);
    model.loads().add(new NodeLoad("Load-1", 0, {1, 2}, {0, 0}, {0, 0}));
    QCOMPARE(model.loads().ReadLoadNum(), 2);
    QCOMPARE(capture.debugLines(), QStringList({"NodeLoadList - ReadLoadNum: no load defined!"}));
    QCOMPARE(model.loads().at(0)->force(1)[0], 2.0);
    QCOMPARE(model.loads().at(0)->force(5)[0], 0.0);
    // Every object knows the job name through its owner.
    QCOMPARE(model.nodes().at(0)->modelName(), QString("m"));
    QCOMPARE(model.edges().at(0)->middle()->modelName(), QString("m"));
    QCOMPARE(Node(0, 0, 0).modelName(), QString());
}

// More nodes than one block of the list holds: every node keeps its place,
// its number, its name and displacements of its own.
void TestEntities::nodesAcrossBlocks()
{
    Model model("m");
    const int count = 10000;
    std::vector<Node*> nodes;
    for (int i = 0; i < count; ++i)
        nodes.push_back(i % 7 == 0 ? model.nodes().add("Web", i, -i, 0.5 * i) : model.nodes().add(i, -i, 0.5 * i));
    QCOMPARE(model.nodes().count(), count);
    model.nodes().initResults(3);
    Node* late = model.nodes().add(1, 2, 3);
    for (int i = 0; i < count; ++i) {
        Node* n = model.nodes().at(i);
        QCOMPARE(n, nodes[size_t(i)]);
        QCOMPARE(n->id(), quint64(i));
        QVERIFY(n->position() == Eigen::Vector3d(i, -i, 0.5 * i));
        QCOMPARE(n->name(), QString(i % 7 == 0 ? "Web" : "node"));
        QCOMPARE(n->displacement().cols(), Eigen::Index(3));
        for (int c = 0; c < 3; ++c)
            n->displacement().col(c).setLinSpaced(i + 0.25 * c, i + 0.25 * c + 5);
    }
    for (int i = 0; i < count; ++i) {
        const Eigen::Matrix<double, 6, 1> expected = Eigen::Matrix<double, 6, 1>::LinSpaced(i + 0.5, i + 5.5);
        QCOMPARE(nodes[size_t(i)]->displacementOf(2), expected);
        const Eigen::Vector3d moved = Eigen::Vector3d(i, -i, 0.5 * i) + expected.head<3>();
        QCOMPARE(nodes[size_t(i)]->deformedPosition(2), moved);
        QVERIFY(nodes[size_t(i)]->displacementOf(3).isZero(0));
    }
    // A node added after the sizing has no displacements.
    QCOMPARE(late->displacement().cols(), Eigen::Index(0));
    QCOMPARE(late->deformedPosition(0), Eigen::Vector3d(1, 2, 3));
    QCOMPARE(late->name(), QString("node"));
}

// A strip of more elements than a block holds, and more edges than two,
// with one, two and three plies in turn: every value written through an
// element reads back through that element only.
void TestEntities::resultsOfEveryElementApart()
{
    Model model("m");
    const int quads = 5000;
    auto inner = rowOf(model, quads + 1, 0, 0, quads), outer = rowOf(model, quads + 1, 0, 1, quads);
    ElementRow row("r");
    genRowElements(*inner, *outer, false, true, RowNormal::SpanCrossRow, model.elements(), model.edges(), row);
    QCOMPARE(model.elements().count(), quads);
    QCOMPARE(model.edges().count(), 3 * quads + 1);
    model.numberEntities();
    auto* glass = new UniaxMaterial("Glass", 1, 1, {1, 0.3});
    model.materials().add(glass);
    PolyLayer one("one", pliesOf(glass, {1}), 0), two("two", pliesOf(glass, {1, 2}), 0),
        three("three", pliesOf(glass, {1, 2, 3}), 0);
    PolyLayer* sections[] = {&one, &two, &three};
    for (int e = 0; e < quads; ++e)
        row.at(e)->setSection(sections[e % 3]);
    model.elements().initResults(2);

    auto value = [](int e, int ply, int loadCase, int r) { return e * 1000.0 + ply * 100 + loadCase * 10 + r; };
    for (int e = 0; e < quads; ++e) {
        QCOMPARE(model.elements().at(e), row.at(e));
        for (int r = 0; r < Element::ResultCount; ++r) {
            ResultView v = row.at(e)->result(Element::Result(r));
            QCOMPARE(v.rows(), Eigen::Index(e % 3 + 1));
            QCOMPARE(v.cols(), Eigen::Index(2));
            QVERIFY(v.isZero(0));
            for (int ply = 0; ply < v.rows(); ++ply)
                for (int c = 0; c < 2; ++c)
                    v(ply, c) = value(e, ply, c, r);
        }
    }
    for (int e = 0; e < quads; ++e) {
        const Element* element = model.elements().at(e);
        for (int r = 0; r < Element::ResultCount; ++r)
            for (int ply = 0; ply <= e % 3; ++ply)
                for (int c = 0; c < 2; ++c)
                    QCOMPARE(element->result(Element::Result(r))(ply, c), value(e, ply, c, r));
        // The largest over the element's own plies.
        QCOMPARE(element->summary(1)[Element::S22], value(e, e % 3, 1, Element::S22));
    }
    // Middle nodes are numbered after the corners and carry no results.
    const Edge* last = model.edges().at(model.edges().count() - 1);
    QCOMPARE(last->middle()->id(), quint64(2 * (quads + 1) + 3 * quads));
    QCOMPARE(last->middle()->name(), QString("Middle Node"));
    QCOMPARE(last->middle()->displacement().cols(), Eigen::Index(0));
    QCOMPARE(last->middle()->position(), (last->nodeA()->position() + last->nodeB()->position()) / 2);
}

QTEST_GUILESS_MAIN(TestEntities)
#include "tst_entities.moc"
