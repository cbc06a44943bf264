#include "blade/windioreader.h"

#include "blade/windioreader2.h"
#include "blade/windioyaml.h"

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

double Curve::within(double span) const
{
    return grid.empty() || span < grid.front() || span > grid.back() ? 0.0 : at(span);
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

using namespace Yaml;

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
        checkArcs(edge.arc, node, here);
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
    blade.chord = chord(required(shape, "chord", path), path + QStringLiteral(".chord"));
    blade.twist = curve(required(shape, "twist", path), path + QStringLiteral(".twist"));
    blade.pitchAxis = curve(required(shape, "pitch_axis", path), path + QStringLiteral(".pitch_axis"));
    readReferenceAxis(required(shape, "reference_axis", path), path + QStringLiteral(".reference_axis"), blade);
    for (size_t i = 0; i < blade.pitchAxis.values.size(); ++i) {
        const double fromLeadingEdge = std::abs(blade.pitchAxis.values[i]) * blade.chord.at(blade.pitchAxis.grid[i]);
        if (fromLeadingEdge > MaxLength)
            fail(path + QStringLiteral(".pitch_axis.values[%1]").arg(i),
                 QStringLiteral("puts the pitch axis %1 m from the leading edge, more than %2 m")
                     .arg(fromLeadingEdge).arg(MaxLength),
                 shape["pitch_axis"]["values"][i]);
    }

    const QString positionPath = path + QStringLiteral(".airfoil_position");
    const YAML::Node position = required(shape, "airfoil_position", path);
    const YAML::Node grid = required(position, "grid", positionPath);
    const YAML::Node labels = required(position, "labels", positionPath);
    checkGridSize(grid, positionPath + QStringLiteral(".grid"));
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
        layer.thickness = thickness(required(node, "thickness", here), here + QStringLiteral(".thickness"));
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

void readVersion1(const YAML::Node& root, Blade& blade)
{
    const YAML::Node components = required(root, "components", QStringLiteral("the file"));
    const YAML::Node bladeNode = required(components, "blade", QStringLiteral("components"));
    if (const YAML::Node name = optional(root, "name"))
        blade.name = text(name, QStringLiteral("name"));
    const QString path = QStringLiteral("components.blade");
    readOuterShape(required(bladeNode, "outer_shape_bem", path), path + QStringLiteral(".outer_shape_bem"), blade);
    readStructure(required(bladeNode, "internal_structure_2d_fem", path),
                  path + QStringLiteral(".internal_structure_2d_fem"), blade);
    readAirfoils(root, blade, "relative_thickness", [](int k) {
        return QStringLiteral("components.blade.outer_shape_bem.airfoil_position.labels[%1]").arg(k);
    });
    readMaterials(root, blade, [](int l) {
        return QStringLiteral("components.blade.internal_structure_2d_fem.layers[%1].material").arg(l);
    });
    QString beamError;
    if (!readBeamModel(bladeNode, 1, blade.beam, beamError))
        throw ReadError{beamError};
}

// 2.0 says so at the top, as text or as a number; a file without the key
// is 1.x.
bool isVersion2(const YAML::Node& root)
{
    const YAML::Node version = optional(root, "windIO_version");
    return version && text(version, QStringLiteral("windIO_version")).startsWith(QLatin1Char('2'));
}

} // namespace

bool readBladeText(const QByteArray& text, Blade& blade, QString& error)
{
    blade = Blade();
    try {
        const YAML::Node root = YAML::Load(text.toStdString());
        if (!root.IsMap())
            throw ReadError{QStringLiteral("the file holds no YAML mapping")};
        blade.version = isVersion2(root) ? QStringLiteral("2.0") : QStringLiteral("1.x");
        if (blade.version == QLatin1String("2.0"))
            readVersion2(root, blade);
        else
            readVersion1(root, blade);
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
