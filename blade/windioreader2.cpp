#include "blade/windioreader2.h"

#include "blade/windioyaml.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace Folvane::Windio {

namespace {

using namespace Yaml;

const QString BladePath = QStringLiteral("components.blade");
const QString ShapePath = QStringLiteral("components.blade.outer_shape");
const QString StructurePath = QStringLiteral("components.blade.structure");
constexpr double Degree = M_PI / 180.0;

// A curve made from others on the union of their grids; a step in any of
// them stays a step (both sides sampled).
Curve combined(const std::vector<const Curve*>& curves, const std::function<double(double, const double*)>& f)
{
    std::vector<double> grid;
    for (const Curve* c : curves)
        grid.insert(grid.end(), c->grid.begin(), c->grid.end());
    std::sort(grid.begin(), grid.end());
    grid.erase(std::unique(grid.begin(), grid.end()), grid.end());
    Curve out;
    std::vector<double> before(curves.size()), after(curves.size());
    for (double s : grid) {
        bool step = false;
        for (size_t k = 0; k < curves.size(); ++k) {
            const Curve& c = *curves[k];
            after[k] = c.at(s);
            const auto first = std::lower_bound(c.grid.begin(), c.grid.end(), s);
            const bool isStep = first != c.grid.end() && *first == s && first + 1 != c.grid.end() && first[1] == s;
            before[k] = isStep ? c.values[size_t(first - c.grid.begin())] : after[k];
            step = step || isStep;
        }
        if (step) {
            out.grid.push_back(s);
            out.values.push_back(f(s, before.data()));
        }
        out.grid.push_back(s);
        out.values.push_back(f(s, after.data()));
    }
    return out;
}

Curve scaled(Curve c, double factor)
{
    for (double& v : c.values)
        v *= factor;
    return c;
}

void checkLengths(const Curve& c, const YAML::Node& node, const QString& path)
{
    for (size_t i = 0; i < c.values.size(); ++i)
        if (std::abs(c.values[i]) > MaxLength)
            fail(path + QStringLiteral(".values[%1]").arg(i),
                 QStringLiteral("lies more than %1 m from the reference axis").arg(MaxLength), node["values"][i]);
}

void readOuterShape(const YAML::Node& bladeNode, Blade& blade)
{
    readReferenceAxis(required(bladeNode, "reference_axis", BladePath), BladePath + QStringLiteral(".reference_axis"),
                      blade);
    const YAML::Node shape = required(bladeNode, "outer_shape", BladePath);
    blade.chord = chord(required(shape, "chord", ShapePath), ShapePath + QStringLiteral(".chord"));
    // 2.0 gives the twist in degrees.
    blade.twist = scaled(curve(required(shape, "twist", ShapePath), ShapePath + QStringLiteral(".twist")), Degree);
    // The leading edge's distance ahead of the reference axis along the
    // chord: as a fraction of the chord, 1.x's pitch axis.
    const QString offsetPath = ShapePath + QStringLiteral(".section_offset_y");
    const YAML::Node offsetNode = required(shape, "section_offset_y", ShapePath);
    const Curve offset = curve(offsetNode, offsetPath);
    checkLengths(offset, offsetNode, offsetPath);
    blade.pitchAxis = combined({&offset, &blade.chord}, [](double, const double* v) { return v[0] / v[1]; });
    if (const YAML::Node x = optional(shape, "section_offset_x")) {
        blade.chordOffset = curve(x, ShapePath + QStringLiteral(".section_offset_x"));
        checkLengths(blade.chordOffset, x, ShapePath + QStringLiteral(".section_offset_x"));
    }

    // Airfoils by span position; their polar sets and weights do not
    // change the shape.
    const QString listPath = ShapePath + QStringLiteral(".airfoils");
    const YAML::Node list = required(shape, "airfoils", ShapePath);
    if (!list.IsSequence() || list.size() == 0)
        fail(listPath, QStringLiteral("is not a list of airfoils"), list);
    checkGridSize(list, listPath);
    for (size_t i = 0; i < list.size(); ++i) {
        const QString here = listPath + QStringLiteral("[%1]").arg(i);
        blade.airfoilLabels << text(required(list[i], "name", here), here + QStringLiteral(".name"));
        blade.airfoilGrid.push_back(number(required(list[i], "spanwise_position", here),
                                           here + QStringLiteral(".spanwise_position")));
    }
    checkGrid(blade.airfoilGrid, list, listPath);
}

// The anchors of the shell, by name, and those of each web for its layers.
struct Anchors
{
    struct Entry
    {
        YAML::Node node;
        QString path;
    };
    std::map<QString, Entry> shell;
    std::map<QString, std::map<QString, Entry>> webs;

    static void add(std::map<QString, Entry>& into, const YAML::Node& list, const QString& path);
};

void Anchors::add(std::map<QString, Entry>& into, const YAML::Node& list, const QString& path)
{
    if (!list.IsSequence())
        fail(path, QStringLiteral("is not a list of anchors"), list);
    for (size_t i = 0; i < list.size(); ++i) {
        const QString here = path + QStringLiteral("[%1]").arg(i);
        const QString name = text(required(list[i], "name", here), here + QStringLiteral(".name"));
        if (into.count(name))
            fail(here + QStringLiteral(".name"), QStringLiteral("anchor '%1' is given twice").arg(name), list[i]);
        into.emplace(name, Entry{list[i], here});
    }
}

// Where a layer or web edge points: an anchor's name and handle.
struct Reference
{
    QString name;
    QString handle;
    YAML::Node at;
    QString path;
};

Reference reference(const YAML::Node& parent, const char* key, const QString& path)
{
    const QString here = path + QLatin1Char('.') + QLatin1String(key);
    const YAML::Node anchor = required(required(parent, key, path), "anchor", here);
    const QString anchorPath = here + QStringLiteral(".anchor");
    Reference r{text(required(anchor, "name", anchorPath), anchorPath + QStringLiteral(".name")),
                text(required(anchor, "handle", anchorPath), anchorPath + QStringLiteral(".handle")), anchor,
                anchorPath};
    static const QStringList handles{QStringLiteral("start_nd_arc"), QStringLiteral("end_nd_arc"),
                                     QStringLiteral("midpoint_nd_arc")};
    if (!handles.contains(r.handle))
        fail(anchorPath + QStringLiteral(".handle"),
             QStringLiteral("'%1' is not start_nd_arc, end_nd_arc or midpoint_nd_arc").arg(r.handle), anchor["handle"]);
    return r;
}

// Whether a rule's 'defines' (a name or a list of them) names the handle.
bool defines(const YAML::Node& rule, const QString& handle, const QString& path)
{
    const YAML::Node node = required(rule, "defines", path);
    const std::vector<YAML::Node> items = node.IsSequence() ? std::vector<YAML::Node>(node.begin(), node.end())
                                                            : std::vector<YAML::Node>{node};
    for (size_t i = 0; i < items.size(); ++i) {
        const QString what = text(items[i], path + QStringLiteral(".defines"));
        if (what == handle || (what == QLatin1String("start_end_nd_arc") && handle != QLatin1String("midpoint_nd_arc")))
            return true;
    }
    return false;
}

// Whether any rule of the anchor says it defines the handle; a rule that
// says nothing defines nothing here (it places only what has no values).
bool ruleDefines(const Anchors::Entry& entry, const QString& handle)
{
    for (const char* rule : {"offset_nd_arc", "offset_arc", "width", "plane_intersection"}) {
        const YAML::Node node = optional(entry.node, rule);
        if (node && optional(node, "defines")
            && defines(node, handle, entry.path + QLatin1Char('.') + QLatin1String(rule)))
            return true;
    }
    return false;
}

Curve constantArc(double value)
{
    return Curve{{0.0, 1.0}, {value, value}};
}

// Resolves references into the arcs the file gives, or that follow from
// them without the section: another anchor's arc, a midpoint between two,
// an offset in arc fractions. Empty where only a rule on the section's
// geometry places it.
class Resolver
{
public:
    explicit Resolver(const Anchors& anchors) : m_anchors(anchors) {}

    const Anchors::Entry& anchor(const Reference& r) const;
    std::optional<Curve> arc(const Reference& r);
    // The handle a chain of references ends at.
    Reference last(Reference r) const;

private:
    std::optional<Curve> handleArc(const Anchors::Entry& entry, const QString& name, const QString& handle);

    const Anchors& m_anchors;
    QStringList m_visiting;
};

const Anchors::Entry& Resolver::anchor(const Reference& r) const
{
    const auto it = m_anchors.shell.find(r.name);
    if (it == m_anchors.shell.end())
        fail(r.path + QStringLiteral(".name"), QStringLiteral("names no anchor: '%1'").arg(r.name), r.at["name"]);
    return it->second;
}

Reference Resolver::last(Reference r) const
{
    // arc() has refused a circle by now.
    while (m_anchors.shell.count(r.name)) {
        const Anchors::Entry& entry = m_anchors.shell.at(r.name);
        const std::string key = r.handle.toStdString();
        const YAML::Node given = optional(entry.node, key.c_str());
        if (!given || !optional(given, "anchor"))
            break;
        r = reference(entry.node, key.c_str(), entry.path);
    }
    return r;
}

std::optional<Curve> Resolver::arc(const Reference& r)
{
    // The trailing edge's anchors stand unless the file gives its own.
    if (!m_anchors.shell.count(r.name)) {
        const bool start = r.handle == QLatin1String("start_nd_arc");
        if (r.name == QLatin1String("TE") && r.handle != QLatin1String("midpoint_nd_arc"))
            return constantArc(start ? 0.0 : 1.0);
        if ((r.name == QLatin1String("TE_SS") || r.name == QLatin1String("TE_PS")) && start)
            return constantArc(r.name == QLatin1String("TE_SS") ? 0.0 : 1.0);
    }
    const QString key = r.name + QLatin1Char('.') + r.handle;
    if (m_visiting.contains(key))
        fail(r.path, QStringLiteral("the %1 of anchor '%2' refers back to itself").arg(r.handle, r.name), r.at);
    m_visiting << key;
    std::optional<Curve> result = handleArc(anchor(r), r.name, r.handle);
    m_visiting.removeLast();
    return result;
}

std::optional<Curve> Resolver::handleArc(const Anchors::Entry& entry, const QString& name, const QString& handle)
{
    const std::string key = handle.toStdString();
    const QString here = entry.path + QLatin1Char('.') + handle;
    if (const YAML::Node given = optional(entry.node, key.c_str())) {
        if (optional(given, "anchor"))
            return arc(reference(entry.node, key.c_str(), entry.path));
        // Values beside a rule that defines the handle are what the
        // file's writer computed on its own section: the rule places it.
        if (!ruleDefines(entry, handle)) {
            Curve c = curve(given, here);
            checkArcs(c, given, here);
            return c;
        }
    }
    if (handle == QLatin1String("midpoint_nd_arc")) {
        const std::optional<Curve> start = handleArc(entry, name, QStringLiteral("start_nd_arc"));
        const std::optional<Curve> end = optional(entry.node, "end_nd_arc")
            ? handleArc(entry, name, QStringLiteral("end_nd_arc")) : std::nullopt;
        if (start && end)
            return combined({&*start, &*end}, [](double, const double* v) { return 0.5 * (v[0] + v[1]); });
    }
    const YAML::Node offset = optional(entry.node, "offset_nd_arc");
    const QString offsetPath = entry.path + QStringLiteral(".offset_nd_arc");
    if (offset && defines(offset, handle, offsetPath)) {
        const std::optional<Curve> base = arc(reference(entry.node, "offset_nd_arc", entry.path));
        const Curve by = curve(offset, offsetPath);
        if (base)
            return combined({&*base, &by}, [](double, const double* v) { return v[0] + v[1]; });
    }
    return std::nullopt;
}

// A plane intersection as the builder places 1.x's offset_y_pa: the plane
// through the reference axis at two span positions, square to the rotor
// plane but for its turn about the span (turning the blade one way turns
// the plane the other), moved along its normal by the offset. Its side,
// its offset from the local reference axis, its turn.
struct Plane
{
    QString side;
    Curve offset;
    double turn = 0.0;   // radians

    // The offset rule's curves: the twist turned back, then the turn.
    void place(const Blade& blade, Curve& offsetOut, Curve& rotation, bool& followsTwist) const
    {
        offsetOut = offset;
        followsTwist = turn == 0.0;
        if (!followsTwist)
            rotation = combined({&blade.twist}, [this](double, const double* v) { return turn - v[0]; });
    }
};

Plane plane(const Anchors::Entry& entry, const Blade& blade)
{
    const QString path = entry.path + QStringLiteral(".plane_intersection");
    const YAML::Node node = required(entry.node, "plane_intersection", entry.path);
    Plane p;
    p.side = text(required(node, "side", path), path + QStringLiteral(".side"));
    YAML::Node type = optional(node, "plane_type1");
    QString typePath = path + QStringLiteral(".plane_type1");
    if (!type) {
        type = optional(node, "intersection_type1");
        typePath = path + QStringLiteral(".intersection_type1");
    }
    if (!type)
        fail(path, QStringLiteral("gives no plane_type1; the import takes no other intersection"), node);
    const QString curveName = text(required(type, "anchor_curve", typePath), typePath + QStringLiteral(".anchor_curve"));
    if (curveName != QLatin1String("reference_axis"))
        fail(typePath + QStringLiteral(".anchor_curve"),
             QStringLiteral("'%1' is not reference_axis, the one curve the import takes").arg(curveName),
             type["anchor_curve"]);
    if (const YAML::Node r = optional(type, "rotation"))
        p.turn = number(r, typePath + QStringLiteral(".rotation")) * Degree;
    std::vector<double> ends{0.0, 1.0};
    if (const YAML::Node grid = optional(type, "anchors_nd_grid")) {
        ends = numbers(grid, typePath + QStringLiteral(".anchors_nd_grid"));
        if (ends.size() != 2 || ends[0] == ends[1])
            fail(typePath + QStringLiteral(".anchors_nd_grid"), QStringLiteral("does not give two span positions"),
                 grid);
    }
    const Curve offset = curve(required(node, "offset", path), path + QStringLiteral(".offset"));
    // Across the plane: along its normal, in the plane of a section. The
    // line through the two points of the axis leans across by {slope} per
    // metre of span; a normal offset d lies d * stretch across in a section.
    const double s = std::sin(p.turn), c = std::cos(p.turn);
    const auto across = [&](double x, double y) { return s * x + c * y; };
    const double za = blade.referenceZ.at(ends[0]), zb = blade.referenceZ.at(ends[1]);
    const double ya = across(blade.referenceX.at(ends[0]), blade.referenceY.at(ends[0]));
    const double yb = across(blade.referenceX.at(ends[1]), blade.referenceY.at(ends[1]));
    const double slope = (yb - ya) / (zb - za);
    const double stretch = std::sqrt(1.0 + slope * slope);
    p.offset = combined({&offset, &blade.referenceX, &blade.referenceY, &blade.referenceZ},
                        [&](double, const double* v) {
                            return v[0] * stretch + ya + slope * (v[3] - za) - across(v[1], v[2]);
                        });
    return p;
}

class StructureReader
{
public:
    StructureReader(const YAML::Node& structure, Blade& blade) : m_structure(structure), m_blade(blade) {}
    void read();

private:
    // A skin layer's references, and whether each edge is placed yet.
    struct Edges
    {
        size_t layer;
        Reference start, end;
        bool startPlaced, endPlaced;
    };

    void readWebs();
    void readLayer(const YAML::Node& node, const QString& here);
    void placeByWidth(Layer& layer, Edges& edges);
    void placeFromOtherEdge(Layer& layer, Edges& edges, const Reference& missing, const Anchors::Entry& entry);
    void placeOnOtherLayers(Edges& edges);
    void checkWebReference(const Reference& r, const QString& web);
    bool definedBy(const Anchors::Entry& entry, const char* rule, const QString& handle) const;

    const YAML::Node& m_structure;
    Blade& m_blade;
    Anchors m_anchors;
    std::unique_ptr<Resolver> m_resolver;
    std::vector<Edges> m_pending;
};

void StructureReader::read()
{
    Anchors::add(m_anchors.shell, required(m_structure, "anchors", StructurePath),
                 StructurePath + QStringLiteral(".anchors"));
    m_resolver = std::make_unique<Resolver>(m_anchors);
    readWebs();
    const YAML::Node layers = required(m_structure, "layers", StructurePath);
    if (!layers.IsSequence() || layers.size() == 0)
        fail(StructurePath + QStringLiteral(".layers"), QStringLiteral("is not a list of layers"), layers);
    for (size_t i = 0; i < layers.size(); ++i)
        readLayer(layers[i], StructurePath + QStringLiteral(".layers[%1]").arg(i));
    for (Edges& edges : m_pending)
        placeOnOtherLayers(edges);
}

bool StructureReader::definedBy(const Anchors::Entry& entry, const char* rule, const QString& handle) const
{
    const YAML::Node node = optional(entry.node, rule);
    return node && defines(node, handle, entry.path + QLatin1Char('.') + QLatin1String(rule));
}

void StructureReader::readWebs()
{
    const YAML::Node webs = optional(m_structure, "webs");
    if (!webs)
        return;
    if (!webs.IsSequence())
        fail(StructurePath + QStringLiteral(".webs"), QStringLiteral("is not a list"), webs);
    for (size_t i = 0; i < webs.size(); ++i) {
        const QString here = StructurePath + QStringLiteral(".webs[%1]").arg(i);
        Web web;
        web.name = text(required(webs[i], "name", here), here + QStringLiteral(".name"));
        checkName(web.name, m_blade.webs, here + QStringLiteral(".name"), webs[i]);
        auto& own = m_anchors.webs[web.name];
        if (const YAML::Node list = optional(webs[i], "anchors"))
            Anchors::add(own, list, here + QStringLiteral(".anchors"));
        const Reference start = reference(webs[i], "start_nd_arc", here);
        const Reference end = reference(webs[i], "end_nd_arc", here);
        for (const auto& [edge, r] : {std::pair{&web.start, &start}, {&web.end, &end}}) {
            if (const std::optional<Curve> arc = m_resolver->arc(*r)) {
                edge->arc = *arc;
                continue;
            }
            // An attachment the file does not give is where its anchor's
            // plane meets the surface.
            const Anchors::Entry& entry = m_resolver->anchor(*r);
            if (!definedBy(entry, "plane_intersection", r->handle))
                fail(r->path, QStringLiteral("anchor '%1' gives no %2: no values, and no rule the import takes "
                                             "places it").arg(r->name, r->handle), r->at);
            const Plane p = plane(entry, m_blade);
            if (!web.offset.empty() && web.offset.values != p.offset.values)
                fail(r->path, QStringLiteral("the web's two attachments lie on different planes"), r->at);
            p.place(m_blade, web.offset, web.rotation, web.rotationFollowsTwist);
        }
        m_blade.webs.push_back(std::move(web));
    }
}

void StructureReader::checkWebReference(const Reference& r, const QString& web)
{
    const auto own = m_anchors.webs.find(web);
    if (own != m_anchors.webs.end() && own->second.count(r.name))
        return;
    m_resolver->anchor(r);
}

void StructureReader::readLayer(const YAML::Node& node, const QString& here)
{
    Layer layer;
    layer.name = text(required(node, "name", here), here + QStringLiteral(".name"));
    layer.material = text(required(node, "material", here), here + QStringLiteral(".material"));
    layer.thickness = thickness(required(node, "thickness", here), here + QStringLiteral(".thickness"));
    // Fibre angles in degrees.
    layer.orientation = scaled(optionalCurve(node, "fiber_orientation", here), Degree);
    checkName(layer.name, m_blade.layers, here + QStringLiteral(".name"), node);
    const Reference start = reference(node, "start_nd_arc", here);
    const Reference end = reference(node, "end_nd_arc", here);
    if (const YAML::Node web = optional(node, "web")) {
        // A web's layers cover the whole web.
        layer.web = text(web, here + QStringLiteral(".web"));
        if (m_blade.webIndex(layer.web) < 0)
            fail(here + QStringLiteral(".web"), QStringLiteral("names no web: '%1'").arg(layer.web), web);
        checkWebReference(start, layer.web);
        checkWebReference(end, layer.web);
    } else {
        Edges edges{m_blade.layers.size(), start, end, false, false};
        if (const std::optional<Curve> arc = m_resolver->arc(start)) {
            layer.start.arc = *arc;
            edges.startPlaced = true;
        }
        if (const std::optional<Curve> arc = m_resolver->arc(end)) {
            layer.end.arc = *arc;
            edges.endPlaced = true;
        }
        if (!edges.startPlaced || !edges.endPlaced)
            placeByWidth(layer, edges);
        m_pending.push_back(edges);
    }
    m_blade.layers.push_back(std::move(layer));
}

// An edge the file leaves to its anchor's width, as 1.x places it: from
// the anchor's other edge where that is the layer's own other edge, or
// around the anchor's midpoint (given, or where its plane meets the side).
void StructureReader::placeByWidth(Layer& layer, Edges& edges)
{
    const Reference missing = m_resolver->last(edges.startPlaced ? edges.end : edges.start);
    const Anchors::Entry& entry = m_resolver->anchor(missing);
    if (edges.startPlaced != edges.endPlaced) {
        placeFromOtherEdge(layer, edges, missing, entry);
        return;
    }
    if (!definedBy(entry, "width", missing.handle))
        return;
    const Curve width = curve(entry.node["width"], entry.path + QStringLiteral(".width"));
    const Reference start = m_resolver->last(edges.start), end = m_resolver->last(edges.end);
    if (start.name != end.name || start.handle != QLatin1String("start_nd_arc")
        || end.handle != QLatin1String("end_nd_arc"))
        return;
    const Reference middle{missing.name, QStringLiteral("midpoint_nd_arc"), missing.at, missing.path};
    if (const std::optional<Curve> arc = m_resolver->arc(middle)) {
        layer.midpoint.arc = *arc;
    } else if (definedBy(entry, "plane_intersection", middle.handle)) {
        const Plane p = plane(entry, m_blade);
        if (p.side != QLatin1String("suction") && p.side != QLatin1String("pressure"))
            fail(entry.path + QStringLiteral(".plane_intersection.side"),
                 QStringLiteral("'%1' is not 'suction' or 'pressure', as a layer's midpoint needs").arg(p.side),
                 entry.node["plane_intersection"]["side"]);
        p.place(m_blade, layer.offset, layer.rotation, layer.rotationFollowsTwist);
        layer.side = p.side;
    } else {
        return;
    }
    layer.width = width;
    edges.startPlaced = edges.endPlaced = true;
}

// An edge at a distance along the arc from the layer's own other edge, as
// 1.x's width from a placed edge: the anchor's width from its other
// handle, or its offset in metres from another anchor's handle.
void StructureReader::placeFromOtherEdge(Layer& layer, Edges& edges, const Reference& missing,
                                         const Anchors::Entry& entry)
{
    const bool fromStart = edges.startPlaced;
    std::optional<Curve> base;
    Curve distance;
    if (definedBy(entry, "width", missing.handle)) {
        const QString otherHandle = fromStart ? QStringLiteral("start_nd_arc") : QStringLiteral("end_nd_arc");
        base = m_resolver->arc({missing.name, otherHandle, missing.at, missing.path});
        distance = curve(entry.node["width"], entry.path + QStringLiteral(".width"));
    } else if (definedBy(entry, "offset_arc", missing.handle)) {
        base = m_resolver->arc(reference(entry.node, "offset_arc", entry.path));
        // The builder's width runs from the start towards the end.
        distance = scaled(curve(entry.node["offset_arc"], entry.path + QStringLiteral(".offset_arc")),
                          fromStart ? 1.0 : -1.0);
    } else {
        return;
    }
    const Curve& own = fromStart ? layer.start.arc : layer.end.arc;
    if (base && base->grid == own.grid && base->values == own.values) {
        layer.width = distance;
        (fromStart ? edges.endPlaced : edges.startPlaced) = true;
    }
}

// An edge still open is another layer's edge on the same anchor, placed
// there: a start where that layer ends, an end where it starts (1.x's
// fixed edges).
void StructureReader::placeOnOtherLayers(Edges& edges)
{
    Layer& layer = m_blade.layers[edges.layer];
    for (const bool isStart : {true, false}) {
        if (isStart ? edges.startPlaced : edges.endPlaced)
            continue;
        const Reference& given = isStart ? edges.start : edges.end;
        const Reference r = m_resolver->last(given);
        for (const Edges& other : m_pending) {
            const Reference theirs = m_resolver->last(isStart ? other.end : other.start);
            if (other.layer != edges.layer && theirs.name == r.name && theirs.handle == r.handle) {
                (isStart ? layer.start : layer.end).fixed = m_blade.layers[other.layer].name;
                break;
            }
        }
        if ((isStart ? layer.start : layer.end).fixed.isEmpty())
            fail(given.path, QStringLiteral("anchor '%1' gives no %2: no values, and no rule the import takes places "
                                            "it").arg(r.name, r.handle), given.at);
    }
}

} // namespace

void readVersion2(const YAML::Node& root, Blade& blade)
{
    const YAML::Node components = required(root, "components", QStringLiteral("the file"));
    const YAML::Node bladeNode = required(components, "blade", QStringLiteral("components"));
    if (const YAML::Node name = optional(root, "name"))
        blade.name = text(name, QStringLiteral("name"));
    readOuterShape(bladeNode, blade);
    StructureReader(required(bladeNode, "structure", BladePath), blade).read();
    readAirfoils(root, blade, "rthick",
                 [](int k) { return ShapePath + QStringLiteral(".airfoils[%1].name").arg(k); });
    readMaterials(root, blade,
                  [](int l) { return StructurePath + QStringLiteral(".layers[%1].material").arg(l); });
    QString beamError;
    if (!readBeamModel(bladeNode, 2, blade.beam, beamError))
        throw ReadError{beamError};
}

} // namespace Folvane::Windio
