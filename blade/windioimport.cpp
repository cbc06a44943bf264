#include "blade/windioimport.h"

#include "blade/windiosection.h"
#include "geometry/interp.h"

#include <QJsonArray>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

namespace Folvane::Windio {

namespace {

// Two edges closer than this, in arc fractions, are one edge.
constexpr double EdgeTolerance = 1e-3;
constexpr int MaxRegions = 30;
constexpr double MaxLaminate = 10000.0;   // mm, a stack of layers as one

struct ImportError
{
    QString text;
};

[[noreturn]] void fail(const QString& text)
{
    throw ImportError{text};
}

bool hasThickness(const Layer& layer, double span)
{
    return layer.thickness.within(span) > 0.0;
}

QString metres(double z)
{
    return QString::number(z / 1000.0, 'f', 2) + QStringLiteral(" m");
}

// One profile of the blade: where it stands and its section.
struct Station
{
    double span = 0.0;     // non-dimensional
    double z = 0.0;        // mm
    double chord = 0.0;    // mm
    double twist = 0.0;    // windIO radians
    double pitchAxis = 0.0;
    double chordOffset = 0.0;   // mm, the chord line towards the suction side of the reference axis
    double refX = 0.0, refY = 0.0;   // mm, windIO axes
    QString label;
    std::unique_ptr<Section> section;

    double u(double arc) const;
    double arcOf(double u) const;
    double trailingEdgeU() const { return 1.0 - section->leadingEdgeArc(); }
};

// The position round the ring as the profiles run: 0 at the leading edge,
// over the pressure side to the trailing edge, over the suction side back
// to 1 at the leading edge. Both ends of an open trailing edge are one point.
double Station::u(double arc) const
{
    const double le = section->leadingEdgeArc();
    return arc >= le ? arc - le : arc + 1.0 - le;
}

double Station::arcOf(double u) const
{
    const double le = section->leadingEdgeArc();
    return u <= 1.0 - le ? u + le : u - (1.0 - le);
}

double wrapped(double arc)
{
    return arc < 0.0 ? arc + 1.0 : arc > 1.0 ? arc - 1.0 : arc;
}

bool atLeadingEdge(double u)
{
    return u <= EdgeTolerance || u >= 1.0 - EdgeTolerance;
}

// The profile span positions: every point of the grids that shape the
// blade, thinned where two lie closer than minStep.
std::vector<double> spanGrid(const Blade& blade, double minStep)
{
    std::vector<double> all;
    const auto add = [&](const Curve& c) { all.insert(all.end(), c.grid.begin(), c.grid.end()); };
    for (const Curve* c : {&blade.chord, &blade.twist, &blade.pitchAxis, &blade.chordOffset, &blade.referenceX,
                           &blade.referenceY, &blade.referenceZ})
        add(*c);
    all.insert(all.end(), blade.airfoilGrid.begin(), blade.airfoilGrid.end());
    for (const Layer& layer : blade.layers)
        add(layer.thickness);
    std::sort(all.begin(), all.end());
    std::vector<double> kept;
    for (double s : all) {
        if (kept.empty() || s - kept.back() >= minStep)
            kept.push_back(s);
    }
    // The tip stays where the file ends it.
    if (!kept.empty())
        kept.back() = all.back();
    return kept;
}

class Builder
{
public:
    Builder(const Blade& blade, const ImportSettings& settings, ImportReport& report)
        : m_blade(blade), m_settings(settings), m_report(report)
    {
    }

    QJsonObject build(const QString& bladeName);

private:
    // A start beyond the end runs round the trailing edge, through arc 0.
    struct Extent
    {
        double start = 0.0, end = 0.0;

        // An end a hair before the start is an empty extent, not a full ring.
        bool wraps() const { return start - end > EdgeTolerance; }
        double width() const { return wraps() ? end + 1.0 - start : std::max(end - start, 0.0); }
        bool covers(double arc) const { return wraps() ? arc >= start || arc <= end : arc >= start && arc <= end; }
    };
    // A chordwise edge line along the span: the edges of layers and webs
    // that lie together wherever both are there.
    struct Track
    {
        QStringList names;
        std::vector<double> u;
        std::vector<char> active;
        bool leadingEdge = false;
        bool trailingEdge = false;
        std::vector<std::pair<int, bool>> webEnds;   // (web, end attachment?)
        std::vector<std::pair<int, bool>> layerEdges;   // (layer, end edge?)
    };
    struct Slot
    {
        int track = 0;
        double u = 0.0;
        bool real = true;
    };

    void makeStations();
    void resolveExtents();
    Extent layerExtent(int layer, int station, std::vector<int>& visiting);
    double fixedEdge(const QString& fixed, bool isStart, int station, std::vector<int>& visiting);
    double offsetArc(const Curve& offset, const Curve& rotation, bool followsTwist, bool suction, int station,
                     const QString& what, bool mayMiss = false);
    void findWebSpans();
    bool spanWeb(int web);
    void makeTracks();
    void addTrack(Track track);
    void meetWebAttachments();
    void meetAttachment(const Track& attachment, int web, bool isEnd, Track& edge);
    void placeSlots();
    void limitRegions(int station, std::vector<Slot>& ring);
    void checkWebs();

    QJsonArray profilesJson() const;
    QJsonArray materialsJson() const;
    QJsonArray patternsJson() const;
    void layupsJson(QJsonArray& singleLayers, QJsonArray& regions, QJsonArray& webs);
    void integrateLayerMass();

    int count(double thicknessMetres) const
    {
        return int(std::lround(thicknessMetres * 1000.0 / m_settings.plyThickness));
    }

    const Blade& m_blade;
    const ImportSettings& m_settings;
    ImportReport& m_report;

    std::vector<Station> m_stations;
    std::vector<std::vector<Extent>> m_extents;        // [layer][station], skin layers only
    std::vector<std::vector<Extent>> m_fileExtents;    // the same before edges met web attachments
    std::vector<std::vector<char>> m_layerActive;      // [layer][station]
    std::vector<std::vector<Extent>> m_webExtents;     // [web][station]
    std::vector<std::pair<int, int>> m_webSpan;        // first and last station, -1 without
    std::vector<Track> m_tracks;
    std::vector<std::vector<Slot>> m_slots;            // [station], in ring order
    std::vector<int> m_webStartSlot, m_webEndSlot;
};

void Builder::makeStations()
{
    const double length = (m_blade.referenceZ.at(1.0) - m_blade.referenceZ.at(0.0)) * 1000.0;
    if (!(length > 0.0))
        fail(QStringLiteral("components.blade.outer_shape_bem.reference_axis.z: the blade has no length"));
    const std::vector<double> grid = spanGrid(m_blade, 0.5 * m_settings.meshSize / length);
    if (grid.size() < 3)
        fail(QStringLiteral("the blade's grids give %1 span positions; 3 at least are needed").arg(grid.size()));

    // Relative thickness over the airfoil positions, monotone between them.
    const std::vector<double>& positions = m_blade.airfoilGrid;
    const Eigen::Index n = Eigen::Index(positions.size());
    std::map<QString, Section::Sides> sides;
    Eigen::VectorXd x(n);
    Eigen::MatrixXd rt(n, 1);
    bool strictlyIncreasing = true;
    for (Eigen::Index i = 0; i < n; ++i) {
        const Airfoil* airfoil = m_blade.airfoil(m_blade.airfoilLabels[int(i)]);
        x(i) = positions[size_t(i)];
        rt(i, 0) = airfoil->relativeThickness;
        strictlyIncreasing = strictlyIncreasing && (i == 0 || x(i) > x(i - 1));
        if (!sides.count(airfoil->name))
            sides.emplace(airfoil->name, Section::sidesOf(*airfoil));
    }
    std::unique_ptr<Interp> thickness;
    if (n >= 3 && strictlyIncreasing)
        thickness = std::make_unique<SteffenSpline>(x, rt);
    else if (n >= 2 && strictlyIncreasing)
        thickness = std::make_unique<LinearInterp>(x, rt);

    for (double span : grid) {
        Station st;
        st.span = span;
        st.z = m_blade.referenceZ.at(span) * 1000.0;
        st.chord = m_blade.chord.at(span) * 1000.0;
        st.twist = m_blade.twist.at(span);
        st.pitchAxis = m_blade.pitchAxis.at(span);
        st.chordOffset = m_blade.chordOffset.at(span) * 1000.0;
        st.refX = m_blade.referenceX.at(span) * 1000.0;
        st.refY = m_blade.referenceY.at(span) * 1000.0;
        // The two airfoil positions either side, blended by relative thickness.
        size_t hi = 0;
        while (hi < positions.size() && positions[hi] <= span)
            ++hi;
        const size_t lo = hi == 0 ? 0 : hi - 1;
        hi = std::min(hi, positions.size() - 1);
        const Airfoil* a = m_blade.airfoil(m_blade.airfoilLabels[int(lo)]);
        const Airfoil* b = m_blade.airfoil(m_blade.airfoilLabels[int(hi)]);
        double w = 0.0;
        if (lo != hi && a != b) {
            const double here = thickness ? thickness->valueAt(span)(0) : a->relativeThickness;
            if (a->relativeThickness != b->relativeThickness)
                w = (a->relativeThickness - here) / (a->relativeThickness - b->relativeThickness);
            else
                w = (span - positions[lo]) / (positions[hi] - positions[lo]);
            w = std::clamp(w, 0.0, 1.0);
        }
        st.label = w <= 0.0 ? a->name : w >= 1.0 ? b->name : a->name + QLatin1Char('/') + b->name;
        st.section = std::make_unique<Section>(Section::blend(sides.at(a->name), sides.at(b->name), w));
        if (!(st.chord > 0.0))
            fail(QStringLiteral("components.blade.outer_shape_bem.chord: no chord at span %1").arg(span));
        m_stations.push_back(std::move(st));
    }
    for (size_t i = 1; i < m_stations.size(); ++i)
        if (m_stations[i].z <= m_stations[i - 1].z)
            fail(QStringLiteral("components.blade.outer_shape_bem.reference_axis.z does not increase at span %1")
                     .arg(m_stations[i].span));
}

double Builder::offsetArc(const Curve& offset, const Curve& rotation, bool followsTwist, bool suction, int station,
                          const QString& what, bool mayMiss)
{
    const Station& st = m_stations[size_t(station)];
    const double r = followsTwist ? -st.twist : rotation.empty() ? 0.0 : rotation.at(st.span);
    const Eigen::RowVector2d d(std::cos(r), std::sin(r));
    const double chordMetres = st.chord / 1000.0;
    const Eigen::RowVector2d axis(st.pitchAxis, -st.chordOffset / st.chord);
    const Eigen::RowVector2d q = axis + offset.at(st.span) / chordMetres * d;
    double arc = 0.0;
    if (st.section->crossing(q, d, suction, arc))
        return arc;
    // Where a layer has no thickness its place only bounds its neighbours:
    // the end of the side that the line passes beyond.
    if (mayMiss)
        return (st.section->pointAt(st.section->leadingEdgeArc()) - q).dot(d) > 0.0 ? st.section->leadingEdgeArc()
               : suction                                                           ? 0.0
                                                                                   : 1.0;
    fail(QStringLiteral("%1: the line at offset_y_pa misses the %2 side at span %3")
                 .arg(what, suction ? QStringLiteral("suction") : QStringLiteral("pressure"))
                 .arg(st.span));
}

double Builder::fixedEdge(const QString& fixed, bool isStart, int station, std::vector<int>& visiting)
{
    if (fixed == QLatin1String("TE"))
        return isStart ? 0.0 : 1.0;
    if (fixed == QLatin1String("LE"))
        return m_stations[size_t(station)].section->leadingEdgeArc();
    // A start fixed to a layer begins where that layer ends, and the other way round.
    const Extent other = layerExtent(m_blade.layerIndex(fixed), station, visiting);
    return isStart ? other.end : other.start;
}

Builder::Extent Builder::layerExtent(int index, int station, std::vector<int>& visiting)
{
    const Layer& layer = m_blade.layers[size_t(index)];
    const QString what = QStringLiteral("components.blade.internal_structure_2d_fem.layers[%1] (%2)")
                             .arg(index).arg(layer.name);
    if (std::find(visiting.begin(), visiting.end(), index) != visiting.end())
        fail(what + QStringLiteral(": its edges are fixed to each other in a circle"));
    visiting.push_back(index);
    const Station& st = m_stations[size_t(station)];
    const double widthArc = layer.width.empty()
        ? 0.0 : layer.width.at(st.span) * 1000.0 / (st.section->length() * st.chord);
    bool hasStart = true, hasEnd = true;
    Extent e;
    // Explicit arcs win over every other rule.
    if (layer.start.given())
        e.start = layer.start.arc.at(st.span);
    else if (!layer.start.fixed.isEmpty())
        e.start = fixedEdge(layer.start.fixed, true, station, visiting);
    else
        hasStart = false;
    if (layer.end.given())
        e.end = layer.end.arc.at(st.span);
    else if (!layer.end.fixed.isEmpty())
        e.end = fixedEdge(layer.end.fixed, false, station, visiting);
    else
        hasEnd = false;
    if (!hasStart || !hasEnd) {
        if (hasStart) {
            e.end = e.start + widthArc;
        } else if (hasEnd) {
            e.start = e.end - widthArc;
        } else {
            double middle = 0.0;
            if (layer.midpoint.given())
                middle = layer.midpoint.arc.at(st.span);
            else if (!layer.midpoint.fixed.isEmpty())
                middle = fixedEdge(layer.midpoint.fixed, true, station, visiting);
            else
                middle = offsetArc(layer.offset, layer.rotation, layer.rotationFollowsTwist,
                                   layer.side == QLatin1String("suction"), station, what,
                                   !hasThickness(layer, st.span));
            e.start = middle - 0.5 * widthArc;
            e.end = middle + 0.5 * widthArc;
        }
    }
    // A width that runs past the trailing edge carries on round it.
    if ((!hasStart || !hasEnd) && widthArc >= 1.0)
        e = Extent{0.0, 1.0};
    e.start = wrapped(e.start);
    e.end = wrapped(e.end);
    visiting.pop_back();
    return e;
}

void Builder::resolveExtents()
{
    const size_t count = m_blade.layers.size();
    m_extents.assign(count, std::vector<Extent>(m_stations.size()));
    m_layerActive.assign(count, std::vector<char>(m_stations.size(), 0));
    for (size_t l = 0; l < count; ++l) {
        const Layer& layer = m_blade.layers[l];
        int empty = 0;
        size_t firstEmpty = 0;
        for (size_t s = 0; s < m_stations.size(); ++s) {
            m_layerActive[l][s] = hasThickness(layer, m_stations[s].span);
            if (!layer.web.isEmpty())
                continue;
            std::vector<int> visiting;
            m_extents[l][s] = layerExtent(int(l), int(s), visiting);
            // A layer of no width is not there, whatever its thickness.
            if (m_layerActive[l][s] && m_extents[l][s].width() <= EdgeTolerance) {
                m_layerActive[l][s] = 0;
                firstEmpty = empty++ == 0 ? s : firstEmpty;
            }
        }
        if (empty > 0)
            m_report.messages << QStringLiteral("layer %1 has thickness but no width at %2 profiles (the first at span "
                                                "%3, from arc %4 to %5); it is left out there")
                                     .arg(layer.name).arg(empty).arg(m_stations[firstEmpty].span)
                                     .arg(m_extents[l][firstEmpty].start).arg(m_extents[l][firstEmpty].end);
    }
}

void Builder::findWebSpans()
{
    m_webSpan.assign(m_blade.webs.size(), {-1, -1});
    m_webExtents.assign(m_blade.webs.size(), std::vector<Extent>(m_stations.size()));
    for (size_t w = 0; w < m_blade.webs.size(); ++w) {
        const Web& web = m_blade.webs[w];
        const QString what = QStringLiteral("components.blade.internal_structure_2d_fem.webs[%1] (%2)")
                                 .arg(w).arg(web.name);
        if (!spanWeb(int(w)))
            continue;
        for (int s = m_webSpan[w].first; s <= m_webSpan[w].second; ++s) {
            const double span = m_stations[size_t(s)].span;
            Extent& e = m_webExtents[w][size_t(s)];
            e.start = web.start.given() ? web.start.arc.at(span)
                                        : offsetArc(web.offset, web.rotation, web.rotationFollowsTwist, true, s, what);
            e.end = web.end.given() ? web.end.arc.at(span)
                                    : offsetArc(web.offset, web.rotation, web.rotationFollowsTwist, false, s, what);
            const Station& st = m_stations[size_t(s)];
            if (std::abs(st.u(e.start) - st.u(e.end)) <= EdgeTolerance || atLeadingEdge(st.u(e.start))
                || atLeadingEdge(st.u(e.end)))
                fail(what + QStringLiteral(": at span %1 its ends (arcs %2 and %3) meet each other or the leading "
                                           "edge").arg(span).arg(e.start).arg(e.end));
        }
    }
}

// A web runs over the longest stretch of profiles where its layers have
// thickness; where they thin to nothing it cannot carry on.
bool Builder::spanWeb(int w)
{
    const Web& web = m_blade.webs[size_t(w)];
    const auto thick = [&](size_t s) {
        for (size_t l = 0; l < m_blade.layers.size(); ++l)
            if (m_blade.layers[l].web == web.name && m_layerActive[l][s])
                return true;
        return false;
    };
    std::vector<std::pair<int, int>> runs;
    for (size_t s = 0; s < m_stations.size(); ++s) {
        if (!thick(s))
            continue;
        if (runs.empty() || runs.back().second + 1 != int(s))
            runs.push_back({int(s), int(s)});
        else
            runs.back().second = int(s);
    }
    if (runs.empty()) {
        m_report.messages << QStringLiteral("web %1 has no layer with thickness; it is left out").arg(web.name);
        return false;
    }
    const auto longest = *std::max_element(runs.begin(), runs.end(), [](const auto& a, const auto& b) {
        return a.second - a.first < b.second - b.first;
    });
    if (longest.first == longest.second) {
        m_report.messages << QStringLiteral("web %1 has thickness at no two neighbouring profiles; it is left out")
                                 .arg(web.name);
        return false;
    }
    if (runs.size() > 1)
        m_report.messages << QStringLiteral("web %1: its layers thin to nothing between profiles where they have "
                                            "thickness; the web runs from z = %2 to %3, the longest stretch")
                                 .arg(web.name).arg(metres(m_stations[size_t(longest.first)].z))
                                 .arg(metres(m_stations[size_t(longest.second)].z));
    m_webSpan[size_t(w)] = longest;
    return true;
}

void Builder::addTrack(Track track)
{
    const auto distance = [](const Track& t, double a, double b) {
        return t.leadingEdge ? std::min(b, 1.0 - b) : std::abs(a - b);
    };
    for (Track& other : m_tracks) {
        bool together = false, apart = false;
        for (size_t s = 0; s < m_stations.size() && !apart; ++s) {
            if (!track.active[s] || !other.active[s])
                continue;
            if (distance(other, other.u[s], track.u[s]) <= EdgeTolerance)
                together = true;
            else
                apart = true;
        }
        if (!together || apart)
            continue;
        for (size_t s = 0; s < m_stations.size(); ++s) {
            if (track.active[s] && !other.active[s]) {
                other.u[s] = track.u[s];
                other.active[s] = 1;
            }
        }
        other.names << track.names;
        other.webEnds.insert(other.webEnds.end(), track.webEnds.begin(), track.webEnds.end());
        other.layerEdges.insert(other.layerEdges.end(), track.layerEdges.begin(), track.layerEdges.end());
        return;
    }
    m_tracks.push_back(std::move(track));
}

void Builder::makeTracks()
{
    const size_t n = m_stations.size();
    Track le, te;
    le.names << QStringLiteral("leading edge");
    le.leadingEdge = true;
    le.u.assign(n, 0.0);
    le.active.assign(n, 1);
    te.names << QStringLiteral("trailing edge");
    te.trailingEdge = true;
    te.active.assign(n, 1);
    for (size_t s = 0; s < n; ++s)
        te.u.push_back(m_stations[s].trailingEdgeU());
    m_tracks.push_back(le);
    m_tracks.push_back(te);

    for (size_t l = 0; l < m_blade.layers.size(); ++l) {
        const Layer& layer = m_blade.layers[l];
        if (!layer.web.isEmpty())
            continue;
        for (bool isStart : {true, false}) {
            Track t;
            t.names << layer.name + (isStart ? QStringLiteral(" start") : QStringLiteral(" end"));
            t.layerEdges.push_back({int(l), !isStart});
            t.active = m_layerActive[l];
            for (size_t s = 0; s < n; ++s)
                t.u.push_back(m_stations[s].u(isStart ? m_extents[l][s].start : m_extents[l][s].end));
            addTrack(std::move(t));
        }
    }
    for (size_t w = 0; w < m_blade.webs.size(); ++w) {
        if (m_webSpan[w].first < 0)
            continue;
        for (bool isStart : {true, false}) {
            Track t;
            t.names << m_blade.webs[w].name + (isStart ? QStringLiteral(" start") : QStringLiteral(" end"));
            t.webEnds.push_back({int(w), !isStart});
            t.active.assign(n, 0);
            t.u.assign(n, 0.0);
            for (int s = m_webSpan[w].first; s <= m_webSpan[w].second; ++s) {
                t.active[size_t(s)] = 1;
                const Extent& e = m_webExtents[w][size_t(s)];
                t.u[size_t(s)] = m_stations[size_t(s)].u(isStart ? e.start : e.end);
            }
            addTrack(std::move(t));
        }
    }
    // Where an edge is absent it still needs a place round the ring: the
    // nearest profile where it is there says roughly where.
    for (Track& t : m_tracks) {
        for (size_t s = 0; s < n; ++s) {
            if (t.active[s])
                continue;
            size_t best = n;
            for (size_t k = 0; k < n; ++k)
                if (t.active[k] && (best == n || std::abs(double(k) - double(s)) < std::abs(double(best) - double(s))))
                    best = k;
            if (best < n)
                t.u[s] = t.u[best];
        }
    }
    m_tracks.erase(std::remove_if(m_tracks.begin(), m_tracks.end(),
                                  [](const Track& t) {
                                      return t.leadingEdge
                                          || std::none_of(t.active.begin(), t.active.end(), [](char a) { return a; });
                                  }),
                   m_tracks.end());
}

// A web joins the same two key points along its span, so a layer edge that
// crosses one of its attachments cannot pass it: where the edge lies on the
// other side than over most of the web's span, it meets the attachment (the
// layer ends or begins at the web there) and its key point gives way into
// the neighbouring gap, whose regions carry the same laminate either side.
// The laminate moved is reported; the web stays where the file puts it.
void Builder::meetWebAttachments()
{
    m_fileExtents = m_extents;
    for (const Track& attachment : m_tracks)
        for (const auto& [web, isEnd] : attachment.webEnds)
            for (Track& edge : m_tracks)
                if (&edge != &attachment && !edge.trailingEdge && edge.webEnds.empty())
                    meetAttachment(attachment, web, isEnd, edge);
}

void Builder::meetAttachment(const Track& attachment, int web, bool isEnd, Track& edge)
{
    const auto [first, last] = m_webSpan[size_t(web)];
    // The side the edge keeps over most of the span where it is there.
    int before = 0, after = 0;
    for (int s = first; s <= last; ++s)
        if (edge.active[size_t(s)] && std::abs(edge.u[size_t(s)] - attachment.u[size_t(s)]) > EdgeTolerance)
            (edge.u[size_t(s)] < attachment.u[size_t(s)] ? before : after) += 1;
    if (before == 0 || after == 0)
        return;
    const double side = before >= after ? -1.0 : 1.0;
    int met = 0, firstMet = -1, lastMet = -1;
    double moved = 0.0;
    for (int s = first; s <= last; ++s) {
        const size_t k = size_t(s);
        if ((edge.u[k] - attachment.u[k]) * side > EdgeTolerance)
            continue;
        if (edge.active[k]) {
            const Station& st = m_stations[k];
            const double arc = st.arcOf(attachment.u[k]);
            double laminate = 0.0, shifted = 0.0;
            for (size_t l = 0; l < m_blade.layers.size(); ++l)
                if (m_blade.layers[l].web.isEmpty() && m_layerActive[l][k])
                    laminate += m_fileExtents[l][k].width() * m_blade.layers[l].thickness.within(st.span);
            for (const auto& [layer, isEndEdge] : edge.layerEdges) {
                Extent& e = m_extents[size_t(layer)][k];
                const double width = e.width();
                (isEndEdge ? e.end : e.start) = arc;
                shifted += std::abs(e.width() - width) * m_blade.layers[size_t(layer)].thickness.within(st.span);
            }
            moved = std::max(moved, laminate > 0.0 ? shifted / laminate : 0.0);
            ++met;
            firstMet = firstMet < 0 ? s : firstMet;
            lastMet = s;
        }
        // Not an edge here: its key point falls into the gap on its own side.
        edge.u[k] = attachment.u[k] + side * 1e-9;
        edge.active[k] = 0;
    }
    if (met > 0)
        m_report.messages << QStringLiteral("web %1: its %2 attachment and the edge of %3 change places along the "
                                            "span; the edge meets the attachment from z = %4 to %5 (%6 profiles), "
                                            "moving at most %7 % of a section's laminate")
                                 .arg(m_blade.webs[size_t(web)].name)
                                 .arg(isEnd ? QStringLiteral("end") : QStringLiteral("start"))
                                 .arg(edge.names.join(QStringLiteral(", ")))
                                 .arg(metres(m_stations[size_t(firstMet)].z), metres(m_stations[size_t(lastMet)].z))
                                 .arg(met).arg(100.0 * moved, 0, 'f', 2);
}

void Builder::placeSlots()
{
    m_slots.assign(m_stations.size(), {});
    for (size_t s = 0; s < m_stations.size(); ++s) {
        std::vector<Slot> ring;
        for (size_t t = 0; t < m_tracks.size(); ++t)
            ring.push_back({int(t), m_tracks[t].u[s], m_tracks[t].active[s] != 0});
        // The trailing edge first among equals, then the real edges.
        std::stable_sort(ring.begin(), ring.end(), [&](const Slot& a, const Slot& b) {
            if (a.u != b.u)
                return a.u < b.u;
            if (m_tracks[size_t(a.track)].trailingEdge != m_tracks[size_t(b.track)].trailingEdge)
                return m_tracks[size_t(a.track)].trailingEdge;
            return a.real && !b.real;
        });
        // An edge on the leading edge or on another real edge is not one here.
        double last = 0.0;
        for (Slot& slot : ring) {
            if (!slot.real)
                continue;
            if (atLeadingEdge(slot.u) || slot.u - last <= EdgeTolerance)
                slot.real = false;
            else
                last = slot.u;
        }
        // The others share out the gaps they fall in, evenly.
        for (size_t i = 0; i < ring.size();) {
            if (ring[i].real) {
                ++i;
                continue;
            }
            size_t j = i;
            while (j < ring.size() && !ring[j].real)
                ++j;
            const double lo = i == 0 ? 0.0 : ring[i - 1].u;
            const double hi = j == ring.size() ? 1.0 : ring[j].u;
            for (size_t k = i; k < j; ++k)
                ring[k].u = lo + (hi - lo) * double(k - i + 1) / double(j - i + 1);
            i = j;
        }
        limitRegions(int(s), ring);
        m_slots[s] = std::move(ring);
    }
}

void Builder::limitRegions(int station, std::vector<Slot>& ring)
{
    const auto removable = [&](const Slot& slot) {
        const Track& t = m_tracks[size_t(slot.track)];
        if (t.trailingEdge)
            return false;
        for (const auto& [web, end] : t.webEnds) {
            (void)end;
            if (station >= m_webSpan[size_t(web)].first && station <= m_webSpan[size_t(web)].second)
                return false;
        }
        return true;
    };
    while (int(ring.size()) > MaxRegions - 1) {
        // The narrowest pair of regions either side of an edge that may go;
        // edges that are not there at this profile go first.
        int best = -1;
        double bestWidth = 0.0;
        bool bestReal = true;
        for (size_t i = 0; i < ring.size(); ++i) {
            if (!removable(ring[i]))
                continue;
            const double lo = i == 0 ? 0.0 : ring[i - 1].u;
            const double hi = i + 1 == ring.size() ? 1.0 : ring[i + 1].u;
            const double width = hi - lo;
            if (best < 0 || (bestReal && !ring[i].real) || (bestReal == ring[i].real && width < bestWidth)) {
                best = int(i);
                bestWidth = width;
                bestReal = ring[i].real;
            }
        }
        if (best < 0)
            fail(QStringLiteral("at span %1 the blade needs more than %2 regions and no edge can be given up")
                     .arg(m_stations[size_t(station)].span).arg(MaxRegions));
        if (ring[size_t(best)].real) {
            ++m_report.mergedRegions;
            m_report.messages << QStringLiteral("profile at z = %1: the regions either side of the edge of %2 are "
                                                "merged, a profile holds at most %3 regions")
                                     .arg(metres(m_stations[size_t(station)].z))
                                     .arg(m_tracks[size_t(ring[size_t(best)].track)].names.join(QStringLiteral(", ")))
                                     .arg(MaxRegions);
        }
        ring.erase(ring.begin() + best);
    }
}

void Builder::checkWebs()
{
    m_webStartSlot.assign(m_blade.webs.size(), -1);
    m_webEndSlot.assign(m_blade.webs.size(), -1);
    for (size_t s = 0; s < m_stations.size(); ++s) {
        for (size_t k = 0; k < m_slots[s].size(); ++k) {
            for (const auto& [web, isEnd] : m_tracks[size_t(m_slots[s][k].track)].webEnds) {
                if (int(s) < m_webSpan[size_t(web)].first || int(s) > m_webSpan[size_t(web)].second)
                    continue;
                int& slot = isEnd ? m_webEndSlot[size_t(web)] : m_webStartSlot[size_t(web)];
                if (slot >= 0 && slot != int(k))
                    fail(QStringLiteral("web %1: at span %2 its %3 attachment changes places with a layer edge; a "
                                        "web must join the same two key points along its span")
                             .arg(m_blade.webs[size_t(web)].name).arg(m_stations[s].span)
                             .arg(isEnd ? QStringLiteral("end") : QStringLiteral("start")));
                slot = int(k);
            }
        }
    }
}

QJsonArray Builder::profilesJson() const
{
    QJsonArray profiles;
    for (size_t s = 0; s < m_stations.size(); ++s) {
        const Station& st = m_stations[s];
        const Section& section = *st.section;
        const std::vector<Slot>& ring = m_slots[s];
        // The section's points in windIO order with the key points put in,
        // each marked with its slot.
        struct Mark
        {
            double arc;
            Eigen::RowVector2d point;
            int slot;
        };
        std::vector<Mark> marks;
        for (Eigen::Index i = 0; i < section.points().rows(); ++i)
            marks.push_back({section.arcs()(i), section.points().row(i), -1});
        for (size_t k = 0; k < ring.size(); ++k) {
            const double arc = m_tracks[size_t(ring[k].track)].trailingEdge ? 1.0 : st.arcOf(ring[k].u);
            auto it = std::lower_bound(marks.begin(), marks.end(), arc,
                                       [](const Mark& m, double a) { return m.arc < a; });
            if (it != marks.end() && std::abs(it->arc - arc) < 1e-9 && it->slot < 0)
                it->slot = int(k);
            else
                marks.insert(it, {arc, section.pointAt(arc), int(k)});
        }
        // Round the ring from the leading edge over the pressure side; a
        // closed trailing edge has its point once.
        size_t le = 0;
        while (le < marks.size() && !(marks[le].arc == section.leadingEdgeArc() && marks[le].slot < 0))
            ++le;
        const bool closed = section.trailingEdgeGap() < 1e-9;
        std::vector<size_t> order;
        for (size_t i = le; i < marks.size(); ++i)
            order.push_back(i);
        for (size_t i = closed ? 1 : 0; i < le; ++i)
            order.push_back(i);
        QJsonArray points;
        std::vector<int> keys(ring.size(), 0);
        for (size_t i = 0; i < order.size(); ++i) {
            const Mark& m = marks[order[i]];
            if (m.slot >= 0)
                keys[size_t(m.slot)] = int(i) + 1;
            // Profiles keep the pressure side up: y is the flapwise axis
            // away from the suction side.
            points.append(QJsonObject{{QStringLiteral("X"), m.point(0)}, {QStringLiteral("Y"), -m.point(1)}});
        }
        QJsonArray keyIndex;
        for (int k = 0; k < MaxRegions - 1; ++k)
            keyIndex.append(k < int(keys.size()) ? keys[size_t(k)] : keys.empty() ? 1 : keys.back());
        QJsonArray meshNumbers;
        for (int k = 0; k < MaxRegions; ++k)
            meshNumbers.append(2);

        // The pitch axis point of the chord, moved square to the chord by the
        // chord offset, sits on the reference axis; the profile turns the
        // other way round from windIO's twist (see README).
        const double twist = -st.twist;
        const double c = st.chord;
        const double xOffset = st.refY - c * st.pitchAxis * std::cos(twist) + st.chordOffset * std::sin(twist);
        const double yOffset = -st.refX - c * st.pitchAxis * std::sin(twist) - st.chordOffset * std::cos(twist);
        QJsonObject profile;
        profile[QStringLiteral("Name")] = st.label;
        profile[QStringLiteral("Location")] = st.z;
        profile[QStringLiteral("Chord Length")] = c;
        profile[QStringLiteral("Twist Angle")] = twist * 180.0 / M_PI;
        profile[QStringLiteral("x Offset")] = xOffset;
        profile[QStringLiteral("y Offset")] = yOffset;
        profile[QStringLiteral("Key Index")] = keyIndex;
        profile[QStringLiteral("Point")] = points;
        profile[QStringLiteral("Region Mesh Number")] = meshNumbers;
        profile[QStringLiteral("Web Mesh Number")] = meshNumbers;
        profile[QStringLiteral("Radius Mesh Number")] = 2;
        profiles.append(profile);
    }
    return profiles;
}

QJsonArray Builder::materialsJson() const
{
    QJsonArray materials;
    for (const Material& m : m_blade.materials) {
        QJsonArray data;
        // SI to mm, N, MPa and t/mm^3; the price is per tonne.
        if (m.orthotropic) {
            for (double e : {m.E[0], m.E[1], m.E[2], m.G[0], m.G[1], m.G[2]})
                data.append(e / 1e6);
            for (double v : {m.nu[0], m.nu[1], m.nu[2]})
                data.append(v);
        } else {
            data.append(m.E[0] / 1e6);
            data.append(m.nu[0]);
            for (int k = 2; k < 9; ++k)
                data.append(0.0);
        }
        QJsonObject material{{QStringLiteral("Name"), m.name},
                             {QStringLiteral("Type"), m.orthotropic ? 1 : 0},
                             {QStringLiteral("Price"), m.unitCost * 1000.0},
                             {QStringLiteral("Density"), m.density * 1e-12},
                             {QStringLiteral("Data"), data}};
        // Along the fibre from the first entry, across it from the second;
        // one value holds for both. A zero is a strength not given.
        const auto entry = [](const std::vector<double>& v, size_t i) {
            return v.empty() ? 0.0 : v.size() == 1 ? v[0] : i < v.size() ? v[i] : 0.0;
        };
        const std::pair<const char*, double> strengths[] = {
            {"Xt", entry(m.Xt, 0)}, {"Xc", entry(m.Xc, 0)}, {"Yt", entry(m.Xt, 1)}, {"Yc", entry(m.Xc, 1)},
            {"S", entry(m.S, 0)}};
        QStringList missing;
        for (const auto& [key, pascal] : strengths) {
            if (pascal > 0.0)
                material[QLatin1String(key)] = pascal / 1e6;
            else
                missing << QLatin1String(key);
        }
        if (!missing.isEmpty() && missing.size() < 5)
            m_report.messages << QStringLiteral("material %1 gives no %2: its plies get no failure index")
                                     .arg(m.name, missing.join(QStringLiteral(", ")));
        materials.append(material);
    }
    return materials;
}

QJsonArray Builder::patternsJson() const
{
    QJsonArray patterns;
    for (const Layer& layer : m_blade.layers) {
        double angle = layer.orientation.empty() ? 0.0 : layer.orientation.values.front();
        if (!layer.orientation.empty()
            && std::any_of(layer.orientation.values.begin(), layer.orientation.values.end(),
                           [&](double v) { return v != angle; }))
            m_report.messages << QStringLiteral("layer %1: its fibre orientation changes along the span; the import "
                                                "keeps its value at the first grid point, %2 degrees")
                                     .arg(layer.name).arg(angle * 180.0 / M_PI);
        // windIO measures fibres from the span axis, the plies here from the
        // ring direction towards the tip.
        const QJsonObject ply{{QStringLiteral("Materials"), layer.material},
                              {QStringLiteral("Thickness"), m_settings.plyThickness},
                              {QStringLiteral("Int Point"), 3},
                              {QStringLiteral("Angle"), 90.0 - angle * 180.0 / M_PI}};
        patterns.append(QJsonObject{{QStringLiteral("Name"), layer.name},
                                    {QStringLiteral("Piles"), QJsonArray{ply}}});
    }
    return patterns;
}

void Builder::layupsJson(QJsonArray& singleLayers, QJsonArray& regions, QJsonArray& webs)
{
    const size_t n = m_stations.size();
    const size_t regionCount = m_slots.front().size() + 1;
    // The names given, case folded: a layer's later variants take "-2",
    // "-3", ..., and none may be another's ignoring case (layer "A-2" beside
    // the second variant of "A").
    QSet<QString> taken;
    std::map<std::pair<int, std::vector<int>>, QString> made;
    const auto singleLayer = [&](int layer, const std::vector<int>& counts) {
        const auto key = std::make_pair(layer, counts);
        auto found = made.find(key);
        if (found != made.end())
            return found->second;
        const QString& base = m_blade.layers[size_t(layer)].name;
        QString name = base;
        for (int k = 2; taken.contains(name.toCaseFolded()); ++k)
            name = base + QLatin1Char('-') + QString::number(k);
        taken.insert(name.toCaseFolded());
        QJsonArray points;
        for (size_t s = 0; s < n; ++s)
            points.append(QJsonObject{{QStringLiteral("Location"), m_stations[s].z},
                                      {QStringLiteral("Number"), counts[s]}});
        singleLayers.append(QJsonObject{{QStringLiteral("Name"), name},
                                        {QStringLiteral("Laminate"), base},
                                        {QStringLiteral("Thickness"), points}});
        made.emplace(key, name);
        return name;
    };

    std::vector<std::vector<int>> pliesAt(regionCount + m_blade.webs.size(), std::vector<int>(n, 0));
    m_report.regionThickness.assign(regionCount, std::vector<double>(n, 0.0));
    for (size_t r = 0; r < regionCount; ++r) {
        std::vector<std::vector<int>> counts(m_blade.layers.size(), std::vector<int>(n, 0));
        for (size_t s = 0; s < n; ++s) {
            const Station& st = m_stations[s];
            const double lo = r == 0 ? 0.0 : m_slots[s][r - 1].u;
            const double hi = r + 1 == regionCount ? 1.0 : m_slots[s][r].u;
            const double middle = st.arcOf(0.5 * (lo + hi));
            for (size_t l = 0; l < m_blade.layers.size(); ++l) {
                if (!m_blade.layers[l].web.isEmpty() || !m_layerActive[l][s])
                    continue;
                if (!m_extents[l][s].covers(middle))
                    continue;
                const double t = m_blade.layers[l].thickness.within(st.span);
                counts[l][s] = count(t);
                m_report.regionThickness[r][s] += t * 1000.0;
                ++pliesAt[r][s];
            }
            if (m_report.regionThickness[r][s] <= 0.0)
                fail(QStringLiteral("at span %1 no layer covers the surface between arcs %2 and %3")
                         .arg(st.span).arg(st.arcOf(lo)).arg(st.arcOf(hi)));
            if (m_report.regionThickness[r][s] > MaxLaminate)
                fail(QStringLiteral("at span %1 the layers between arcs %2 and %3 stack to %4 m, more than %5 m")
                         .arg(st.span).arg(st.arcOf(lo)).arg(st.arcOf(hi))
                         .arg(m_report.regionThickness[r][s] / 1000.0).arg(MaxLaminate / 1000.0));
        }
        QJsonArray stack;
        for (size_t l = 0; l < m_blade.layers.size(); ++l)
            if (std::any_of(counts[l].begin(), counts[l].end(), [](int c) { return c > 0; }))
                stack.append(singleLayer(int(l), counts[l]));
        const QString name = QStringLiteral("R%1").arg(r + 1, 2, 10, QLatin1Char('0'));
        m_report.regionNames.push_back(name);
        regions.append(QJsonObject{{QStringLiteral("Name"), name},
                                   {QStringLiteral("Offset"), 0},
                                   {QStringLiteral("Single Layers"), stack}});
    }

    for (size_t w = 0; w < m_blade.webs.size(); ++w) {
        const auto [first, last] = m_webSpan[w];
        if (first < 0)
            continue;
        std::vector<double> thickness(n, 0.0);
        QJsonArray stack;
        for (size_t l = 0; l < m_blade.layers.size(); ++l) {
            if (m_blade.layers[l].web != m_blade.webs[w].name)
                continue;
            std::vector<int> counts(n, 0);
            for (int s = first; s <= last; ++s) {
                const double t = m_blade.layers[l].thickness.within(m_stations[size_t(s)].span);
                counts[size_t(s)] = count(t);
                thickness[size_t(s)] += t * 1000.0;
                pliesAt[regionCount + w][size_t(s)] += t > 0.0;
            }
            if (std::any_of(counts.begin(), counts.end(), [](int c) { return c > 0; }))
                stack.append(singleLayer(int(l), counts));
        }
        for (int s = first; s <= last; ++s)
            if (thickness[size_t(s)] > MaxLaminate)
                fail(QStringLiteral("web %1: at span %2 its layers stack to %3 m, more than %4 m")
                         .arg(m_blade.webs[w].name).arg(m_stations[size_t(s)].span)
                         .arg(thickness[size_t(s)] / 1000.0).arg(MaxLaminate / 1000.0));
        m_report.webNames.push_back(m_blade.webs[w].name);
        m_report.webThickness.push_back(thickness);
        webs.append(QJsonObject{{QStringLiteral("Name"), m_blade.webs[w].name},
                                {QStringLiteral("Start Profile"), first + 1},
                                {QStringLiteral("End Profile"), last + 1},
                                {QStringLiteral("Start Region"), m_report.regionNames[size_t(m_webStartSlot[w])]},
                                {QStringLiteral("End Region"), m_report.regionNames[size_t(m_webEndSlot[w])]},
                                {QStringLiteral("Offset"), 1},
                                {QStringLiteral("Single Layers"), stack}});
    }
    for (const auto& row : pliesAt)
        for (int plies : row)
            m_report.largestPlyCount = std::max(m_report.largestPlyCount, plies);
    m_report.regions = int(regionCount);
    m_report.webs = webs.size();
    m_report.singleLayers = singleLayers.size();
}

void Builder::integrateLayerMass()
{
    std::map<QString, double> mass;
    const size_t n = m_stations.size();
    for (size_t l = 0; l < m_blade.layers.size(); ++l) {
        const Layer& layer = m_blade.layers[l];
        const int web = layer.web.isEmpty() ? -1 : m_blade.webIndex(layer.web);
        // Mass per metre of span at every profile, in kg/m, then trapezoids.
        std::vector<double> perMetre(n, 0.0);
        for (size_t s = 0; s < n; ++s) {
            const Station& st = m_stations[s];
            const double t = layer.thickness.within(st.span);
            double width = 0.0;
            if (web < 0) {
                width = m_fileExtents[l][s].width() * st.section->length() * st.chord / 1000.0;
            } else if (int(s) >= m_webSpan[size_t(web)].first && int(s) <= m_webSpan[size_t(web)].second) {
                const Extent& e = m_webExtents[size_t(web)][s];
                width = (st.section->pointAt(e.start) - st.section->pointAt(e.end)).norm() * st.chord / 1000.0;
            }
            perMetre[s] = t * width * m_blade.material(layer.material)->density;
        }
        double total = 0.0;
        for (size_t s = 1; s < n; ++s)
            total += 0.5 * (perMetre[s] + perMetre[s - 1]) * (m_stations[s].z - m_stations[s - 1].z) / 1000.0;
        mass[layer.material] += total / 1000.0;
    }
    for (const Material& m : m_blade.materials)
        m_report.layerMass.push_back({m.name, mass[m.name]});
}

QJsonObject Builder::build(const QString& bladeName)
{
    makeStations();
    resolveExtents();
    findWebSpans();
    makeTracks();
    meetWebAttachments();
    placeSlots();
    checkWebs();

    QJsonArray singleLayers, regions, webs;
    layupsJson(singleLayers, regions, webs);
    integrateLayerMass();

    m_report.profiles = int(m_stations.size());
    m_report.layers = int(m_blade.layers.size());
    m_report.materials = int(m_blade.materials.size());
    for (const Station& st : m_stations)
        m_report.profileLocations.push_back(st.z);

    QJsonObject document;
    document[QStringLiteral("Profile")] = profilesJson();
    document[QStringLiteral("Material")] = materialsJson();
    document[QStringLiteral("Laminate")] = patternsJson();
    document[QStringLiteral("Single Layer")] = singleLayers;
    document[QStringLiteral("Blade Setting")] = QJsonObject{{QStringLiteral("Blade Name"), bladeName},
                                                            {QStringLiteral("Mesh Size"), m_settings.meshSize},
                                                            {QStringLiteral("Regions"), regions}};
    document[QStringLiteral("Web")] = webs;
    // windIO carries no loads: one case without forces to add them to.
    const QJsonObject noForce{{QStringLiteral("Load Location"), 0.0}, {QStringLiteral("Load X"), 0.0},
                              {QStringLiteral("Load Y"), 0.0}, {QStringLiteral("Load Z"), 0.0}};
    document[QStringLiteral("Load")] = QJsonArray{QJsonObject{{QStringLiteral("Name"), QStringLiteral("Load-1")},
                                                              {QStringLiteral("Loads"), QJsonArray{noForce}}}};
    return document;
}

} // namespace

bool buildDocument(const Blade& blade, const QString& bladeName, const ImportSettings& settings,
                   QJsonObject& document, ImportReport& report, QString& error)
{
    report = ImportReport();
    try {
        Builder builder(blade, settings, report);
        document = builder.build(bladeName);
        return true;
    } catch (const ImportError& e) {
        error = e.text;
    }
    return false;
}

} // namespace Folvane::Windio
