#include "blade/windioreader.h"

#include "core/kobjectlist.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <yaml-cpp/yaml.h>

namespace Folvane::Windio {

double Curve::at(double span) const
{
    if (grid.empty())
        return 0.0;
    if (span <= grid.front())
        return span < grid.front() || grid.size() < 2 || grid[1] != grid[0] ? values.front() : values[1];
    if (span >= grid.back())
        return values.back();
    // The first grid point beyond span: a step's value after it wins.
    const size_t hi = size_t(std::upper_bound(grid.begin(), grid.end(), span) - grid.begin());
    const size_t lo = hi - 1;
    if (grid[lo] == span)
        return values[lo];
    const double w = (span - grid[lo]) / (grid[hi] - grid[lo]);
    return values[lo] + w * (values[hi] - values[lo]);
}

double Curve::maximum() const
{
    return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end());
}

const Airfoil* Blade::airfoil(const QString& name) const
{
    for (const Airfoil& a : airfoils)
        if (a.name == name)
            return &a;
    return nullptr;
}

const Material* Blade::material(const QString& name) const
{
    for (const Material& m : materials)
        if (m.name == name)
            return &m;
    return nullptr;
}

int Blade::layerIndex(const QString& name) const
{
    for (size_t i = 0; i < layers.size(); ++i)
        if (layers[i].name == name)
            return int(i);
    return -1;
}

int Blade::webIndex(const QString& name) const
{
    for (size_t i = 0; i < webs.size(); ++i)
        if (webs[i].name == name)
            return int(i);
    return -1;
}

namespace {

constexpr double MaxLength = 1000.0;   // m
constexpr double MaxThickness = 10.0;  // m

struct ReadError
{
    QString text;
};

QString where(const YAML::Node& node)
{
    const YAML::Mark mark = node.Mark();
    if (mark.line < 0)
        return QString();
    return QStringLiteral(" (line %1, column %2)").arg(mark.line + 1).arg(mark.column + 1);
}

[[noreturn]] void fail(const QString& path, const QString& problem, const YAML::Node& at)
{
    throw ReadError{path + QStringLiteral(": ") + problem + where(at)};
}

// A key that must be there; its parent's position is the best clue when
// it is missing.
YAML::Node required(const YAML::Node& parent, const char* key, const QString& path)
{
    if (!parent.IsMap())
        fail(path, QStringLiteral("is not a mapping"), parent);
    YAML::Node child = parent[key];
    if (!child.IsDefined() || child.IsNull())
        fail(path, QStringLiteral("the key '%1' is missing").arg(QLatin1String(key)), parent);
    return child;
}

// A key that may be missing; a missing or empty one tests false.
YAML::Node optional(const YAML::Node& parent, const char* key)
{
    const YAML::Node absent(YAML::NodeType::Undefined);
    if (!parent.IsMap())
        return absent;
    YAML::Node child = parent[key];
    return child.IsDefined() && !child.IsNull() ? child : absent;
}

QString text(const YAML::Node& node, const QString& path)
{
    if (!node.IsScalar())
        fail(path, QStringLiteral("is not a text"), node);
    return QString::fromStdString(node.Scalar());
}

double number(const YAML::Node& node, const QString& path)
{
    double value = 0.0;
    if (!node.IsScalar() || !YAML::convert<double>::decode(node, value))
        fail(path, QStringLiteral("is not a number"), node);
    if (!std::isfinite(value))
        fail(path, QStringLiteral("is not a finite number"), node);
    return value;
}

std::vector<double> numbers(const YAML::Node& node, const QString& path)
{
    if (!node.IsSequence())
        fail(path, QStringLiteral("is not a list of numbers"), node);
    std::vector<double> out;
    out.reserve(node.size());
    for (size_t i = 0; i < node.size(); ++i)
        out.push_back(number(node[i], path + QStringLiteral("[%1]").arg(i)));
    return out;
}

// A number or a list of them (isotropic materials give one modulus).
std::vector<double> numberOrList(const YAML::Node& node, const QString& path)
{
    if (node.IsSequence())
        return numbers(node, path);
    return {number(node, path)};
}

// The file's names become the document's, under its rule: no control
// character, and none that is an earlier one's ignoring letter case.
template <typename Named>
void checkName(const QString& name, const std::vector<Named>& earlier, const QString& path, const YAML::Node& at)
{
    const QString fault = KObjectList::nameFault(name);
    if (!fault.isEmpty())
        fail(path, fault, at);
    for (const Named& other : earlier)
        if (KObjectList::sameName(name, other.name))
            fail(path, KObjectList::nameClash(name, other.name), at);
}

void checkGrid(const std::vector<double>& grid, const YAML::Node& node, const QString& path)
{
    for (size_t i = 0; i < grid.size(); ++i) {
        if (grid[i] < 0.0 || grid[i] > 1.0)
            fail(path + QStringLiteral("[%1]").arg(i), QStringLiteral("lies outside 0 to 1"), node[i]);
        // One repeat is a step; anything else that does not increase is a fault.
        if (i > 0 && (grid[i] < grid[i - 1] || (i > 1 && grid[i] == grid[i - 1] && grid[i - 1] == grid[i - 2])))
            fail(path + QStringLiteral("[%1]").arg(i), QStringLiteral("does not increase"), node[i]);
    }
}

Curve curve(const YAML::Node& node, const QString& path)
{
    const YAML::Node gridNode = required(node, "grid", path);
    const YAML::Node valueNode = required(node, "values", path);
    Curve c;
    c.grid = numbers(gridNode, path + QStringLiteral(".grid"));
    c.values = numbers(valueNode, path + QStringLiteral(".values"));
    if (c.grid.empty())
        fail(path + QStringLiteral(".grid"), QStringLiteral("is empty"), gridNode);
    if (c.grid.size() != c.values.size())
        fail(path, QStringLiteral("its grid has %1 entries and its values %2").arg(c.grid.size()).arg(c.values.size()),
             valueNode);
    checkGrid(c.grid, gridNode, path + QStringLiteral(".grid"));
    return c;
}

Curve optionalCurve(const YAML::Node& parent, const char* key, const QString& path)
{
    const YAML::Node node = optional(parent, key);
    return node ? curve(node, path + QLatin1Char('.') + QLatin1String(key)) : Curve();
}

// An edge: explicit arcs when values are given, otherwise what it is fixed to.
ArcEdge arcEdge(const YAML::Node& parent, const char* key, const QString& path)
{
    ArcEdge edge;
    const YAML::Node node = optional(parent, key);
    if (!node)
        return edge;
    const QString here = path + QLatin1Char('.') + QLatin1String(key);
    if (const YAML::Node fixed = optional(node, "fixed"))
        edge.fixed = text(fixed, here + QStringLiteral(".fixed"));
    if (optional(node, "values") || edge.fixed.isEmpty())
        edge.arc = curve(node, here);
    if (edge.given())
        for (size_t i = 0; i < edge.arc.values.size(); ++i)
            if (edge.arc.values[i] < 0.0 || edge.arc.values[i] > 1.0)
                fail(here + QStringLiteral(".values[%1]").arg(i), QStringLiteral("lies outside 0 to 1"),
                     node["values"][i]);
    return edge;
}

void readRotation(const YAML::Node& parent, const QString& path, Curve& rotation, bool& followsTwist)
{
    const YAML::Node node = optional(parent, "rotation");
    if (!node)
        return;
    const QString here = path + QStringLiteral(".rotation");
    if (const YAML::Node fixed = optional(node, "fixed")) {
        const QString what = text(fixed, here + QStringLiteral(".fixed"));
        if (what != QLatin1String("twist"))
            fail(here + QStringLiteral(".fixed"), QStringLiteral("'%1' is not 'twist'").arg(what), fixed);
        followsTwist = true;
        return;
    }
    rotation = curve(node, here);
}

void readOuterShape(const YAML::Node& shape, const QString& path, Blade& blade)
{
    blade.chord = curve(required(shape, "chord", path), path + QStringLiteral(".chord"));
    blade.twist = curve(required(shape, "twist", path), path + QStringLiteral(".twist"));
    blade.pitchAxis = curve(required(shape, "pitch_axis", path), path + QStringLiteral(".pitch_axis"));
    const QString axisPath = path + QStringLiteral(".reference_axis");
    const YAML::Node axis = required(shape, "reference_axis", path);
    blade.referenceX = curve(required(axis, "x", axisPath), axisPath + QStringLiteral(".x"));
    blade.referenceY = curve(required(axis, "y", axisPath), axisPath + QStringLiteral(".y"));
    blade.referenceZ = curve(required(axis, "z", axisPath), axisPath + QStringLiteral(".z"));
    // Sizes beyond a kilometre are damage, not a blade.
    for (size_t i = 0; i < blade.chord.values.size(); ++i)
        if (blade.chord.values[i] <= 0.0 || blade.chord.values[i] > MaxLength)
            fail(path + QStringLiteral(".chord.values[%1]").arg(i), QStringLiteral("is not above 0 and at most %1 m")
                                                                        .arg(MaxLength),
                 shape["chord"]["values"][i]);
    for (auto [c, key] : {std::pair{&blade.referenceX, "x"}, {&blade.referenceY, "y"}, {&blade.referenceZ, "z"}})
        for (size_t i = 0; i < c->values.size(); ++i)
            if (std::abs(c->values[i]) > MaxLength)
                fail(axisPath + QLatin1Char('.') + QLatin1String(key) + QStringLiteral(".values[%1]").arg(i),
                     QStringLiteral("lies more than %1 m from the root").arg(MaxLength), axis[key]["values"][i]);
    for (size_t i = 1; i < blade.referenceZ.values.size(); ++i)
        if (blade.referenceZ.values[i] <= blade.referenceZ.values[i - 1])
            fail(axisPath + QStringLiteral(".z.values[%1]").arg(i), QStringLiteral("does not increase"),
                 axis["z"]["values"][i]);

    const QString positionPath = path + QStringLiteral(".airfoil_position");
    const YAML::Node position = required(shape, "airfoil_position", path);
    const YAML::Node grid = required(position, "grid", positionPath);
    const YAML::Node labels = required(position, "labels", positionPath);
    blade.airfoilGrid = numbers(grid, positionPath + QStringLiteral(".grid"));
    checkGrid(blade.airfoilGrid, grid, positionPath + QStringLiteral(".grid"));
    if (!labels.IsSequence())
        fail(positionPath + QStringLiteral(".labels"), QStringLiteral("is not a list of names"), labels);
    for (size_t i = 0; i < labels.size(); ++i)
        blade.airfoilLabels << text(labels[i], positionPath + QStringLiteral(".labels[%1]").arg(i));
    if (blade.airfoilGrid.empty())
        fail(positionPath + QStringLiteral(".grid"), QStringLiteral("is empty"), grid);
    if (size_t(blade.airfoilLabels.size()) != blade.airfoilGrid.size())
        fail(positionPath, QStringLiteral("its grid has %1 entries and its labels %2")
                               .arg(blade.airfoilGrid.size()).arg(blade.airfoilLabels.size()), labels);
}

void readStructure(const YAML::Node& structure, const QString& path, Blade& blade)
{
    if (const YAML::Node webs = optional(structure, "webs")) {
        if (!webs.IsSequence())
            fail(path + QStringLiteral(".webs"), QStringLiteral("is not a list"), webs);
        for (size_t i = 0; i < webs.size(); ++i) {
            const QString here = path + QStringLiteral(".webs[%1]").arg(i);
            Web web;
            web.name = text(required(webs[i], "name", here), here + QStringLiteral(".name"));
            web.start = arcEdge(webs[i], "start_nd_arc", here);
            web.end = arcEdge(webs[i], "end_nd_arc", here);
            web.offset = optionalCurve(webs[i], "offset_y_pa", here);
            readRotation(webs[i], here, web.rotation, web.rotationFollowsTwist);
            if ((!web.start.given() || !web.end.given()) && web.offset.empty())
                fail(here, QStringLiteral("gives neither start_nd_arc and end_nd_arc nor offset_y_pa"), webs[i]);
            checkName(web.name, blade.webs, here + QStringLiteral(".name"), webs[i]);
            blade.webs.push_back(std::move(web));
        }
    }
    const YAML::Node layers = required(structure, "layers", path);
    if (!layers.IsSequence() || layers.size() == 0)
        fail(path + QStringLiteral(".layers"), QStringLiteral("is not a list of layers"), layers);
    for (size_t i = 0; i < layers.size(); ++i) {
        const YAML::Node node = layers[i];
        const QString here = path + QStringLiteral(".layers[%1]").arg(i);
        Layer layer;
        layer.name = text(required(node, "name", here), here + QStringLiteral(".name"));
        layer.material = text(required(node, "material", here), here + QStringLiteral(".material"));
        layer.thickness = curve(required(node, "thickness", here), here + QStringLiteral(".thickness"));
        for (size_t k = 0; k < layer.thickness.values.size(); ++k)
            if (layer.thickness.values[k] < 0.0)
                fail(here + QStringLiteral(".thickness.values[%1]").arg(k), QStringLiteral("is negative"),
                     node["thickness"]["values"][k]);
            else if (layer.thickness.values[k] > MaxThickness)
                fail(here + QStringLiteral(".thickness.values[%1]").arg(k),
                     QStringLiteral("is more than %1 m").arg(MaxThickness), node["thickness"]["values"][k]);
        layer.orientation = optionalCurve(node, "fiber_orientation", here);
        if (const YAML::Node web = optional(node, "web"))
            layer.web = text(web, here + QStringLiteral(".web"));
        if (const YAML::Node side = optional(node, "side"))
            layer.side = text(side, here + QStringLiteral(".side"));
        layer.start = arcEdge(node, "start_nd_arc", here);
        layer.end = arcEdge(node, "end_nd_arc", here);
        layer.midpoint = arcEdge(node, "midpoint_nd_arc", here);
        layer.width = optionalCurve(node, "width", here);
        layer.offset = optionalCurve(node, "offset_y_pa", here);
        readRotation(node, here, layer.rotation, layer.rotationFollowsTwist);
        checkName(layer.name, blade.layers, here + QStringLiteral(".name"), node);
        if (!layer.web.isEmpty()) {
            if (blade.webIndex(layer.web) < 0)
                fail(here + QStringLiteral(".web"), QStringLiteral("names no web: '%1'").arg(layer.web), node["web"]);
        } else {
            const bool hasStart = layer.start.given() || !layer.start.fixed.isEmpty();
            const bool hasEnd = layer.end.given() || !layer.end.fixed.isEmpty();
            const bool hasMid = layer.midpoint.given() || !layer.midpoint.fixed.isEmpty();
            const bool hasWidth = !layer.width.empty();
            const bool placed = (hasStart && hasEnd) || (hasWidth && (hasStart || hasEnd || hasMid))
                || (hasWidth && !layer.offset.empty());
            if (!placed)
                fail(here, QStringLiteral("gives no chordwise extent (start_nd_arc and end_nd_arc, or a width with "
                                          "start_nd_arc, end_nd_arc, midpoint_nd_arc or offset_y_pa)"), node);
            if (!layer.offset.empty() && !hasStart && !hasEnd && !hasMid && layer.side != QLatin1String("suction")
                && layer.side != QLatin1String("pressure"))
                fail(here + QStringLiteral(".side"), QStringLiteral("must be 'suction' or 'pressure'"), node);
        }
        blade.layers.push_back(std::move(layer));
    }
    // Fixed edges name a layer, or the leading or trailing edge.
    for (size_t i = 0; i < blade.layers.size(); ++i) {
        const Layer& layer = blade.layers[i];
        for (const ArcEdge* edge : {&layer.start, &layer.end, &layer.midpoint}) {
            if (edge->fixed.isEmpty() || edge->fixed == QLatin1String("LE") || edge->fixed == QLatin1String("TE"))
                continue;
            if (blade.layerIndex(edge->fixed) < 0)
                fail(path + QStringLiteral(".layers[%1]").arg(i),
                     QStringLiteral("an edge is fixed to '%1', which is no layer").arg(edge->fixed), layers[i]);
        }
    }
}

void readAirfoils(const YAML::Node& root, Blade& blade)
{
    const YAML::Node airfoils = required(root, "airfoils", QStringLiteral("the file"));
    if (!airfoils.IsSequence())
        fail(QStringLiteral("airfoils"), QStringLiteral("is not a list"), airfoils);
    for (int k = 0; k < blade.airfoilLabels.size(); ++k) {
        const QString& label = blade.airfoilLabels[k];
        if (blade.airfoil(label))
            continue;
        bool found = false;
        for (size_t i = 0; i < airfoils.size() && !found; ++i) {
            const QString here = QStringLiteral("airfoils[%1]").arg(i);
            if (text(required(airfoils[i], "name", here), here + QStringLiteral(".name")) != label)
                continue;
            found = true;
            checkName(label, blade.airfoils, here + QStringLiteral(".name"), airfoils[i]);
            Airfoil airfoil;
            airfoil.name = label;
            const QString coordinatePath = here + QStringLiteral(".coordinates");
            const YAML::Node coordinates = required(airfoils[i], "coordinates", here);
            const YAML::Node xs = required(coordinates, "x", coordinatePath);
            airfoil.x = numbers(xs, coordinatePath + QStringLiteral(".x"));
            airfoil.y = numbers(required(coordinates, "y", coordinatePath), coordinatePath + QStringLiteral(".y"));
            airfoil.relativeThickness = number(required(airfoils[i], "relative_thickness", here),
                                               here + QStringLiteral(".relative_thickness"));
            if (airfoil.x.size() != airfoil.y.size())
                fail(coordinatePath, QStringLiteral("x has %1 entries and y %2")
                                         .arg(airfoil.x.size()).arg(airfoil.y.size()), coordinates);
            if (airfoil.x.size() < 5)
                fail(coordinatePath, QStringLiteral("has %1 points, too few for a section (5 at least)")
                                         .arg(airfoil.x.size()), coordinates);
            const auto [low, high] = std::minmax_element(airfoil.x.begin(), airfoil.x.end());
            if (*high - *low < 0.5 || *high - *low > 2.0)
                fail(coordinatePath + QStringLiteral(".x"),
                     QStringLiteral("spans %1 chords; a normalised section spans about 1").arg(*high - *low), xs);
            if (airfoil.relativeThickness <= 0.0)
                fail(here + QStringLiteral(".relative_thickness"), QStringLiteral("is not above 0"),
                     airfoils[i]["relative_thickness"]);
            blade.airfoils.push_back(std::move(airfoil));
        }
        if (!found)
            fail(QStringLiteral("components.blade.outer_shape_bem.airfoil_position.labels[%1]").arg(k),
                 QStringLiteral("names no airfoil: '%1'").arg(label), root["airfoils"]);
    }
}

void readMaterials(const YAML::Node& root, Blade& blade)
{
    const YAML::Node materials = required(root, "materials", QStringLiteral("the file"));
    if (!materials.IsSequence())
        fail(QStringLiteral("materials"), QStringLiteral("is not a list"), materials);
    for (size_t l = 0; l < blade.layers.size(); ++l) {
        const QString& name = blade.layers[l].material;
        if (blade.material(name))
            continue;
        bool found = false;
        for (size_t i = 0; i < materials.size() && !found; ++i) {
            const QString here = QStringLiteral("materials[%1]").arg(i);
            const YAML::Node node = materials[i];
            if (text(required(node, "name", here), here + QStringLiteral(".name")) != name)
                continue;
            found = true;
            checkName(name, blade.materials, here + QStringLiteral(".name"), node);
            Material material;
            material.name = name;
            material.orthotropic = number(required(node, "orth", here), here + QStringLiteral(".orth")) != 0.0;
            material.density = number(required(node, "rho", here), here + QStringLiteral(".rho"));
            if (material.density <= 0.0)
                fail(here + QStringLiteral(".rho"), QStringLiteral("is not above 0"), node["rho"]);
            if (const YAML::Node cost = optional(node, "unit_cost"))
                material.unitCost = number(cost, here + QStringLiteral(".unit_cost"));
            material.E = numberOrList(required(node, "E", here), here + QStringLiteral(".E"));
            material.nu = numberOrList(required(node, "nu", here), here + QStringLiteral(".nu"));
            const size_t count = material.orthotropic ? 3 : 1;
            if (material.orthotropic)
                material.G = numberOrList(required(node, "G", here), here + QStringLiteral(".G"));
            for (auto [values, key] : {std::pair{&material.E, "E"}, {&material.nu, "nu"}, {&material.G, "G"}}) {
                if (values->empty() && !material.orthotropic)
                    continue;
                if (values->size() < count)
                    fail(here + QLatin1Char('.') + QLatin1String(key),
                         QStringLiteral("gives %1 values, %2 needed").arg(values->size()).arg(count), node[key]);
            }
            for (auto [values, key] : {std::pair{&material.Xt, "Xt"}, {&material.Xc, "Xc"}, {&material.S, "S"}}) {
                if (const YAML::Node strength = optional(node, key))
                    *values = numberOrList(strength, here + QLatin1Char('.') + QLatin1String(key));
                for (double v : *values)
                    if (v < 0.0)
                        fail(here + QLatin1Char('.') + QLatin1String(key), QStringLiteral("a strength is negative"),
                             node[key]);
            }
            for (size_t k = 0; k < count; ++k) {
                if (material.E[k] <= 0.0)
                    fail(here + QStringLiteral(".E"), QStringLiteral("a modulus is not above 0"), node["E"]);
                if (material.orthotropic && material.G[k] <= 0.0)
                    fail(here + QStringLiteral(".G"), QStringLiteral("a modulus is not above 0"), node["G"]);
            }
            blade.materials.push_back(std::move(material));
        }
        if (!found)
            fail(QStringLiteral("components.blade.internal_structure_2d_fem.layers[%1].material").arg(l),
                 QStringLiteral("names no material: '%1'").arg(name), root["materials"]);
    }
}

void readRoot(const YAML::Node& root, Blade& blade)
{
    if (!root.IsMap())
        throw ReadError{QStringLiteral("the file holds no YAML mapping")};
    const YAML::Node components = required(root, "components", QStringLiteral("the file"));
    const YAML::Node bladeNode = required(components, "blade", QStringLiteral("components"));
    if (const YAML::Node name = optional(root, "name"))
        blade.name = text(name, QStringLiteral("name"));
    const QString path = QStringLiteral("components.blade");
    readOuterShape(required(bladeNode, "outer_shape_bem", path), path + QStringLiteral(".outer_shape_bem"), blade);
    readStructure(required(bladeNode, "internal_structure_2d_fem", path),
                  path + QStringLiteral(".internal_structure_2d_fem"), blade);
    readAirfoils(root, blade);
    readMaterials(root, blade);
    QString beamError;
    if (!readBeamModel(bladeNode, 1, blade.beam, beamError))
        throw ReadError{beamError};
}

} // namespace

bool readBladeText(const QByteArray& text, Blade& blade, QString& error)
{
    blade = Blade();
    try {
        readRoot(YAML::Load(text.toStdString()), blade);
        return true;
    } catch (const ReadError& e) {
        error = e.text;
    } catch (const YAML::Exception& e) {
        error = QStringLiteral("YAML: %1 (line %2, column %3)")
                    .arg(QString::fromStdString(e.msg)).arg(e.mark.line + 1).arg(e.mark.column + 1);
    }
    return false;
}

bool readBlade(const QString& path, Blade& blade, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("it cannot be opened");
        return false;
    }
    if (file.size() > MaxWindioFileBytes) {
        error = QStringLiteral("it holds %1 bytes, more than the %2 a windIO file may have")
                    .arg(file.size()).arg(MaxWindioFileBytes);
        return false;
    }
    const QByteArray bytes = file.read(MaxWindioFileBytes + 1);
    if (bytes.size() > MaxWindioFileBytes) {
        error = QStringLiteral("it holds more than the %1 bytes a windIO file may have").arg(MaxWindioFileBytes);
        return false;
    }
    return readBladeText(bytes, blade, error);
}

} // namespace Folvane::Windio
