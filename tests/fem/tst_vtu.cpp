#include "vtkread.h"
#include "fem/model.h"
#include "fem/vtuarrays.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>
#include <set>

using namespace Folvane;

class TestVtu : public QObject
{
    Q_OBJECT
private slots:
    void everyValueReadBackByVtk();
    void collectionOfLoadCases();
    void refusedWrites();
};

namespace {

PlyStack plies(std::initializer_list<std::pair<Material*, double>> list)
{
    PlyStack p;
    for (const auto& [m, t] : list) {
        p.materials.push_back(m);
        p.thicknesses.push_back(t);
        p.intPoints.push_back(3);
        p.angles.push_back(0);
    }
    return p;
}

// Two quadrilaterals and a triangle between them, one of them without
// plies; results of the second of two load cases.
struct HandModel
{
    Model model{"Hand"};
    Material* ud = nullptr;
    Material* steel = nullptr;

    HandModel()
    {
        const double xyz[7][3] = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {4, 0, 0}, {6, 0, 0.5}, {6, 2, 1}};
        std::vector<Node*> n;
        for (const auto& p : xyz)
            n.push_back(model.nodes().add(Node::DefaultName, p[0], p[1], p[2]));
        Element* quad1 = model.elements().addQuad(n[0], n[1], n[2], n[3], false, model.edges());
        Element* tri = model.elements().addTri(n[1], n[4], n[2], false, model.edges());
        Element* quad2 = model.elements().addQuad(n[4], n[5], n[6], n[2], true, model.edges());
        model.numberEntities();
        ud = new EngineerMaterial("UD", 1.5e-9, 1, {35000, 11000, 11000, 4000, 4000, 4000, 0.2, 0.2, 0.2}, &model);
        steel = new UniaxMaterial("Steel", 7.85e-9, 1, {210000, 0.3}, &model);
        ud->setStrengths({1000, 800, 50, 150, 70});
        model.materials().add(ud);
        model.materials().add(steel);
        model.materials().renumber();
        auto* shell = new PolyLayer("Shell", plies({{steel, 1}, {ud, 2}}), PolyLayer::Middle, &model);
        auto* bare = new PolyLayer("Bare", PlyStack(), PolyLayer::Middle, &model);
        model.sections().add(shell);
        model.sections().add(bare);
        model.sections().renumber();
        quad1->setSection(shell);
        tri->setSection(shell);
        quad2->setSection(bare);
        model.nodes().initResults(2);
        model.elements().initResults(2);
        for (int i = 0; i < 7; ++i)
            n[size_t(i)]->displacement().col(1) << 0.5 * i, -i, 2.0 + i, 0, 0, 0;
        // Ply by row: steel (no strengths), then UD.
        for (Element* e : {quad1, tri}) {
            const double f = e == tri ? 2.0 : 1.0;
            e->result(Element::S11).col(1) << 100 * f, 500 * f;
            e->result(Element::S22).col(1) << -10 * f, -30 * f;
            e->result(Element::S12).col(1) << 5 * f, 35 * f;
            e->result(Element::E11).col(1) << 1e-3 * f, 2e-3 * f;
            e->result(Element::E22).col(1) << -1e-4 * f, -3e-4 * f;
            e->result(Element::E12).col(1) << 4e-4 * f, 6e-4 * f;
            e->result(Element::VonMises).col(1) << 110 * f, 520 * f;
        }
    }
};

// Tsai-Wu's 1/R for the plane stress, F12 = -sqrt(F11 F22)/2.
double tsaiWu(double xt, double xc, double yt, double yc, double s, double s1, double s2, double s12)
{
    const double f1 = 1 / xt - 1 / xc, f2 = 1 / yt - 1 / yc, f11 = 1 / (xt * xc), f22 = 1 / (yt * yc),
                 f66 = 1 / (s * s), f12 = -0.5 * std::sqrt(f11 * f22);
    const double a = f11 * s1 * s1 + f22 * s2 * s2 + f66 * s12 * s12 + 2 * f12 * s1 * s2, b = f1 * s1 + f2 * s2;
    return (b + std::sqrt(b * b + 4 * a)) / 2;
}

bool same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::abs(a - b) <= 1e-6 * std::max(1.0, std::abs(b));
}

QString differences(const std::vector<double>& got, const std::vector<double>& expected)
{
    if (got.size() != expected.size())
        return QString("%1 values for %2").arg(got.size()).arg(expected.size());
    for (size_t i = 0; i < got.size(); ++i)
        if (!same(got[i], expected[i]))
            return QString("value %1: %2 for %3").arg(i).arg(got[i]).arg(expected[i]);
    return QString();
}

#define COMPARE_VALUES(got, expected)                                                                             \
    do {                                                                                                          \
        const QString why = differences(got, expected);                                                           \
        QVERIFY2(why.isEmpty(), qPrintable(why));                                                                 \
    } while (false)

} // namespace

// Every point, cell and array of a hand-built model as VTK reads it: the
// geometry by its own rule (a middle node halfway along its side), the
// arrays against values worked out here.
void TestVtu::everyValueReadBackByVtk()
{
    HandModel hand;
    Vtu::Dataset data;
    Vtu::addModelArrays(hand.model, {4, -1, 1}, {"Cap", "Web"}, data);
    Vtu::addResultArrays(hand.model, 1, data);
    Vtu::addModeArrays(hand.model, Eigen::MatrixXd::Constant(21, 2, 0.25), {1.5, 4.5}, "Frequency", data);
    QTemporaryDir dir;
    const QString path = dir.filePath("hand.vtu");
    QString error;
    QVERIFY2(Vtu::writeVtu(hand.model, data, path, error), qPrintable(error));
    const QJsonObject vtk = readWithVtk(path, &error);
    QVERIFY2(!vtk.isEmpty(), qPrintable(error));

    // 7 corners and 9 sides.
    const QJsonArray points = vtk["points"].toArray();
    QCOMPARE(points.size(), 16 * 3);
    auto point = [&](int i) { return Eigen::Vector3d(points[3 * i].toDouble(), points[3 * i + 1].toDouble(), points[3 * i + 2].toDouble()); };
    for (int i = 0; i < 7; ++i)
        QCOMPARE(point(i), hand.model.nodes().at(i)->position());
    const QJsonArray cells = vtk["cells"].toArray();
    QCOMPARE(cells.size(), 3);
    const int types[3] = {23, 22, 23}, corners[3][4] = {{0, 1, 2, 3}, {1, 4, 2, -1}, {4, 5, 6, 2}};
    std::set<int> middles;
    for (int c = 0; c < 3; ++c) {
        const QJsonArray cell = cells[c].toArray();
        const int n = types[c] == 23 ? 4 : 3;
        QCOMPARE(cell[0].toInt(), types[c]);
        QCOMPARE(cell.size(), 1 + 2 * n);
        for (int k = 0; k < n; ++k) {
            QCOMPARE(cell[1 + k].toInt(), corners[c][k]);
            // VTK's order: middle k lies on the side from corner k to k + 1.
            const int m = cell[1 + n + k].toInt();
            QVERIFY(m >= 7);
            middles.insert(m);
            QVERIFY((point(m) - 0.5 * (point(corners[c][k]) + point(corners[c][(k + 1) % n]))).norm() < 1e-6);
        }
    }
    QCOMPARE(int(middles.size()), 9);

    QCOMPARE(vtk["cellData"].toObject()["SectionId"].toObject()["type"].toString(), QString("int"));
    COMPARE_VALUES(vtkValues(vtk, "cellData", "SectionId"), (std::vector<double>{1, 1, 2}));
    COMPARE_VALUES(vtkValues(vtk, "cellData", "Region"), (std::vector<double>{4, -1, 1}));
    COMPARE_VALUES(vtkValues(vtk, "cellData", "Thickness"), (std::vector<double>{3, 3, 0}));
    COMPARE_VALUES(vtkValues(vtk, "cellData", "PlyCount"), (std::vector<double>{2, 2, 0}));
    // 7.85e-9 t/mm^3 x 1 mm + 1.5e-9 x 2 mm, in kg/m^2.
    COMPARE_VALUES(vtkValues(vtk, "cellData", "ArealMass"), (std::vector<double>{10.85, 10.85, 0}));
    // UD is the thicker ply.
    COMPARE_VALUES(vtkValues(vtk, "cellData", "Material"), (std::vector<double>{0, 0, -1}));
    const QJsonObject field = vtk["fieldData"].toObject();
    QCOMPARE(field["RegionNames"].toObject()["values"].toArray(), QJsonArray({"Cap", "Web"}));
    QCOMPARE(field["MaterialNames"].toObject()["values"].toArray(), QJsonArray({"UD", "Steel"}));
    COMPARE_VALUES(vtkValues(vtk, "fieldData", "Frequency"), (std::vector<double>{1.5, 4.5}));

    // Displacements at the corners as given, halfway along each side.
    std::vector<double> displacement = vtkValues(vtk, "pointData", "Displacement");
    QCOMPARE(displacement.size(), size_t(48));
    for (int i = 0; i < 16; ++i) {
        const Eigen::Vector3d p = point(i);
        // Every corner i was moved by (i/2, -i, 2 + i); points are placed so
        // that the corner number follows from the position.
        int expectedFrom = -1;
        for (int k = 0; k < 7; ++k)
            if ((hand.model.nodes().at(k)->position() - p).norm() < 1e-9)
                expectedFrom = k;
        if (expectedFrom >= 0) {
            QVERIFY(same(displacement[size_t(3 * i + 1)], -expectedFrom));
            QVERIFY(same(displacement[size_t(3 * i + 2)], 2.0 + expectedFrom));
        }
    }
    // The middle of the side from corner 4 to corner 5 moved by the mean.
    for (int i = 7; i < 16; ++i)
        if ((point(i) - Eigen::Vector3d(5, 0, 0.25)).norm() < 1e-9)
            QVERIFY(same(displacement[size_t(3 * i + 1)], -4.5));

    const double nan = std::nan("");
    COMPARE_VALUES(vtkValues(vtk, "cellData", "VonMises"), (std::vector<double>{520, 1040, nan}));
    COMPARE_VALUES(vtkValues(vtk, "cellData", "Stress_1"), (std::vector<double>{100, -10, 5, 200, -20, 10, nan, nan, nan}));
    COMPARE_VALUES(vtkValues(vtk, "cellData", "Stress_2"), (std::vector<double>{500, -30, 35, 1000, -60, 70, nan, nan, nan}));
    COMPARE_VALUES(vtkValues(vtk, "cellData", "Strain_2"),
                   (std::vector<double>{2e-3, -3e-4, 6e-4, 4e-3, -6e-4, 12e-4, nan, nan, nan}));
    QCOMPARE(vtk["cellData"].toObject()["Stress_2"].toObject()["componentNames"].toArray(), QJsonArray({"11", "22", "12"}));
    // Steel gives no index; UD by maximum stress max(500/1000, 30/150, 35/70).
    COMPARE_VALUES(vtkValues(vtk, "cellData", "FailureIndex_1"), (std::vector<double>(6, nan)));
    COMPARE_VALUES(vtkValues(vtk, "cellData", "FailureIndex_2"),
                   (std::vector<double>{0.5, tsaiWu(1000, 800, 50, 150, 70, 500, -30, 35), 1.0,
                                        tsaiWu(1000, 800, 50, 150, 70, 1000, -60, 70), nan, nan}));
    QCOMPARE(vtk["cellData"].toObject()["FailureIndex_2"].toObject()["componentNames"].toArray(),
             QJsonArray({"MaxStress", "TsaiWu"}));
    COMPARE_VALUES(vtkValues(vtk, "pointData", "Mode_2"), (std::vector<double>(48, 0.25)));
    QVERIFY(vtk["pointData"].toObject().contains("Mode_1"));
    QVERIFY(!vtk["pointData"].toObject().contains("Mode_3"));

    // Without strengths there is no index at all.
    hand.ud->setStrengths({nan, nan, nan, nan, nan});
    Vtu::Dataset plain;
    Vtu::addResultArrays(hand.model, 1, plain);
    for (const Vtu::DataArray& a : plain.cellData)
        QVERIFY2(!a.name.startsWith("FailureIndex"), qPrintable(a.name));
}

void TestVtu::collectionOfLoadCases()
{
    HandModel hand;
    QTemporaryDir dir;
    QString error;
    std::vector<Vtu::CollectionEntry> entries;
    for (int lc : {0, 1}) {
        Vtu::Dataset data;
        Vtu::addResultArrays(hand.model, lc, data);
        const QString file = QString("run & \"case\"-%1.vtu").arg(lc + 1);
        QVERIFY2(Vtu::writeVtu(hand.model, data, dir.filePath(file), error), qPrintable(error));
        entries.push_back({double(lc + 1), file});
    }
    QVERIFY(Vtu::writePvd(entries, dir.filePath("all.pvd"), error));
    const QJsonObject vtk = readWithVtk(dir.filePath("all.pvd"), &error);
    QVERIFY2(!vtk.isEmpty(), qPrintable(error));
    const QJsonArray sets = vtk["datasets"].toArray();
    QCOMPARE(sets.size(), 2);
    QCOMPARE(sets[1].toObject()["timestep"].toDouble(), 2.0);
    QCOMPARE(sets[1].toObject()["file"].toString(), QString("run & \"case\"-2.vtu"));
    // The first load case has no results, the second has.
    COMPARE_VALUES(vtkValues(sets[0].toObject()["dataset"].toObject(), "pointData", "Displacement"),
                   std::vector<double>(48, 0.0));
    // Corner 1 moved by (0.5, -1, 3).
    QCOMPARE(vtkValues(sets[1].toObject()["dataset"].toObject(), "pointData", "Displacement")[5], 3.0);
}

void TestVtu::refusedWrites()
{
    HandModel hand;
    QString error;
    Vtu::Dataset data;
    data.cellData.push_back({"Short", 1, {}, {1.0f, 2.0f}, {}});
    QVERIFY(!Vtu::writeVtu(hand.model, data, QDir::temp().filePath("never.vtu"), error));
    QCOMPARE(error, QString("the cell array Short has 2 values for 3 tuples of 1"));
    QVERIFY(!QFile::exists(QDir::temp().filePath("never.vtu")));
    QVERIFY(!Vtu::writeVtu(hand.model, {}, "/no/such/folder/x.vtu", error));
    QVERIFY2(error.startsWith("cannot write /no/such/folder/x.vtu: "), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestVtu)
#include "tst_vtu.moc"
