#include "fem/vtuarrays.h"

#include "fem/failure.h"
#include "fem/model.h"

#include <cmath>

namespace Folvane::Vtu {

namespace {

const float NotThere = std::nanf("");

DataArray floats(const QString& name, size_t tuples, int components = 1, QStringList componentNames = {})
{
    DataArray a;
    a.name = name;
    a.components = components;
    a.componentNames = std::move(componentNames);
    a.floats.assign(tuples * size_t(components), NotThere);
    return a;
}

DataArray ints(const QString& name, size_t tuples)
{
    DataArray a;
    a.name = name;
    a.ints.assign(tuples, 0);
    return a;
}

// A vector per point: the corner nodes' own; the middle nodes carry the mean
// of their edge's ends, as the solver's results are read at the corners.
template <typename CornerValue>
DataArray pointVectors(const Model& model, const QString& name, CornerValue value)
{
    const NodeList& nodes = model.nodes();
    const EdgeList& edges = model.edges();
    DataArray a = floats(name, size_t(nodes.count() + edges.count()), 3);
    auto put = [&a](const Node* n, const Eigen::Vector3d& v) { Eigen::Map<Eigen::Vector3f>(a.floats.data() + 3 * n->id()) = v.cast<float>(); };
    for (int i = 0; i < nodes.count(); ++i)
        put(nodes.at(i), value(i));
    for (int i = 0; i < edges.count(); ++i) {
        const Edge* e = edges.at(i);
        put(e->middle(), 0.5 * (value(int(e->nodeA()->id())) + value(int(e->nodeB()->id()))));
    }
    return a;
}

int thickestPly(const PlyStack& plies)
{
    int best = -1;
    for (size_t k = 0; k < plies.thicknesses.size() && k < plies.materials.size(); ++k)
        if (best < 0 || plies.thicknesses[k] > plies.thicknesses[size_t(best)])
            best = int(k);
    return best;
}

} // namespace

void addModelArrays(const Model& model, const std::vector<int>& elementGroups, const QStringList& groupNames,
                    Dataset& data)
{
    const ElementList& elements = model.elements();
    const size_t n = size_t(elements.count());
    DataArray section = ints(QStringLiteral("SectionId"), n), region = ints(QStringLiteral("Region"), n),
              plyCount = ints(QStringLiteral("PlyCount"), n), material = ints(QStringLiteral("Material"), n);
    DataArray thickness = floats(QStringLiteral("Thickness"), n), arealMass = floats(QStringLiteral("ArealMass"), n);
    for (size_t i = 0; i < n; ++i) {
        const Element* e = elements.at(int(i));
        const PolyLayer* s = e->section();
        region.ints[i] = i < elementGroups.size() ? elementGroups[i] : -1;
        material.ints[i] = -1;
        thickness.floats[i] = 0.0f;
        arealMass.floats[i] = 0.0f;
        if (!s)
            continue;
        section.ints[i] = qint32(s->number());
        plyCount.ints[i] = s->plyCount();
        thickness.floats[i] = float(s->totalThickness());
        // t/mm^2 to kg/m^2.
        arealMass.floats[i] = float(s->arealMass() * 1e9);
        const int k = thickestPly(s->plies());
        if (k >= 0)
            material.ints[i] = qint32(s->plies().materials[size_t(k)]->id());
    }
    for (DataArray* a : {&section, &region, &thickness, &plyCount, &arealMass, &material})
        data.cellData.push_back(std::move(*a));

    FieldArray materialNames{QStringLiteral("MaterialNames"), {}, {}};
    for (int i = 0; i < model.materials().count(); ++i)
        materialNames.strings << model.materials().at(i)->name();
    if (!groupNames.isEmpty())
        data.fieldData.push_back({QStringLiteral("RegionNames"), {}, groupNames});
    if (!materialNames.strings.isEmpty())
        data.fieldData.push_back(std::move(materialNames));
}

void addResultArrays(const Model& model, int loadCase, Dataset& data)
{
    const NodeList& nodes = model.nodes();
    data.pointData.push_back(pointVectors(model, QStringLiteral("Displacement"), [&](int i) {
        return Eigen::Vector3d(nodes.at(i)->displacementOf(loadCase).head<3>());
    }));

    const ElementList& elements = model.elements();
    const size_t n = size_t(elements.count());
    const int plies = model.sections().maxPlyCount();
    bool strengths = false;
    for (int m = 0; m < model.materials().count(); ++m)
        strengths = strengths || model.materials().at(m)->hasStrengths();

    DataArray vonMises = floats(QStringLiteral("VonMises"), n);
    std::vector<DataArray> stress, strain, failure;
    const QStringList axes{QStringLiteral("11"), QStringLiteral("22"), QStringLiteral("12")};
    for (int k = 1; k <= plies; ++k) {
        stress.push_back(floats(QStringLiteral("Stress_%1").arg(k), n, 3, axes));
        strain.push_back(floats(QStringLiteral("Strain_%1").arg(k), n, 3, axes));
        if (strengths)
            failure.push_back(floats(QStringLiteral("FailureIndex_%1").arg(k), n, 2,
                                     {QStringLiteral("MaxStress"), QStringLiteral("TsaiWu")}));
    }
    for (size_t i = 0; i < n; ++i) {
        const Element* e = elements.at(int(i));
        if (loadCase < 0 || loadCase >= e->result(Element::S11).cols())
            continue;
        const int count = std::min(e->plyCount(), plies);
        const PolyLayer* section = e->section();
        for (int k = 0; k < count; ++k) {
            const float s[3] = {float(e->result(Element::S11)(k, loadCase)), float(e->result(Element::S22)(k, loadCase)),
                                float(e->result(Element::S12)(k, loadCase))};
            std::copy(s, s + 3, stress[size_t(k)].floats.begin() + long(3 * i));
            strain[size_t(k)].floats[3 * i] = float(e->result(Element::E11)(k, loadCase));
            strain[size_t(k)].floats[3 * i + 1] = float(e->result(Element::E22)(k, loadCase));
            strain[size_t(k)].floats[3 * i + 2] = float(e->result(Element::E12)(k, loadCase));
            if (strengths && section && k < int(section->plies().materials.size())) {
                const PlyFailure f = plyFailure(*section->plies().materials[size_t(k)], e->result(Element::S11)(k, loadCase),
                                                e->result(Element::S22)(k, loadCase),
                                                e->result(Element::S12)(k, loadCase));
                failure[size_t(k)].floats[2 * i] = float(f.maxStress);
                failure[size_t(k)].floats[2 * i + 1] = float(f.tsaiWu);
            }
        }
        if (count > 0)
            vonMises.floats[i] = float(e->summary(loadCase)(Element::VonMises));
    }
    data.cellData.push_back(std::move(vonMises));
    for (int k = 0; k < plies; ++k) {
        data.cellData.push_back(std::move(stress[size_t(k)]));
        data.cellData.push_back(std::move(strain[size_t(k)]));
        if (strengths)
            data.cellData.push_back(std::move(failure[size_t(k)]));
    }
}

void addModeArrays(const Model& model, const Eigen::MatrixXd& shapes, const std::vector<double>& values,
                   const QString& valueName, Dataset& data)
{
    const Eigen::Index rows = 3 * Eigen::Index(model.nodes().count());
    for (Eigen::Index m = 0; m < shapes.cols() && shapes.rows() == rows; ++m)
        data.pointData.push_back(pointVectors(model, QStringLiteral("Mode_%1").arg(m + 1), [&](int i) {
            return Eigen::Vector3d(shapes.block<3, 1>(3 * i, m));
        }));
    data.fieldData.push_back({valueName, values, {}});
}

} // namespace Folvane::Vtu
