#include "geometry/surfacemesher.h"

#include "core/binaryio.h"
#include "fem/model.h"
#include "geometry/interp.h"
#include "geometry/polyline.h"

#include <cmath>

namespace Folvane {

SurfaceMesher::SurfaceMesher(std::vector<MeshProfile> profiles, QStringList regionNames, bool quadDominant)
    : m_profiles(std::move(profiles))
    , m_regionNames(std::move(regionNames))
    , m_quadDominant(quadDominant)
{
    m_loc.resize(Eigen::Index(m_profiles.size()));
    for (size_t p = 0; p < m_profiles.size(); ++p)
        m_loc[Eigen::Index(p)] = m_profiles[p].reference.z();
    m_z = stations(m_profiles).col(2);
}

Eigen::MatrixXd SurfaceMesher::stations(const std::vector<MeshProfile>& profiles)
{
    std::vector<Eigen::MatrixXd> segments;
    for (size_t i = 0; i + 1 < profiles.size(); ++i) {
        Eigen::MatrixXd ends(2, 3);
        ends.row(0) = profiles[i].reference.transpose();
        ends.row(1) = profiles[i + 1].reference.transpose();
        segments.push_back(resampleByArcLength(ends, profiles[i].radiusMesh));
    }
    return joinChains(segments, true).points;
}

int SurfaceMesher::nearestStation(const Eigen::VectorXd& z, double location)
{
    int best = 0;
    for (int s = 1; s < z.size(); ++s) {
        if (std::abs(z[s] - location) < std::abs(z[best] - location))
            best = s;
    }
    return best;
}

// Every profile's regions resampled to the largest count any profile gives
// them, joined into rings of one length: the x coordinates (returned) and
// the y coordinates, P x M, and the ring boundaries of the regions.
Eigen::MatrixXd SurfaceMesher::ringCoordinates(Eigen::MatrixXd& y, std::vector<int>& boundaries) const
{
    const int regions = m_regionNames.size();
    std::vector<int> counts(size_t(regions), 0);
    for (const MeshProfile& p : m_profiles) {
        for (int r = 0; r < regions; ++r)
            counts[size_t(r)] = std::max(counts[size_t(r)], p.regionMesh[size_t(r)]);
    }
    boundaries.assign(1, 0);
    for (int r = 0; r < regions; ++r)
        boundaries.push_back(boundaries.back() + counts[size_t(r)] - 1);
    const int m = boundaries.back();
    Eigen::MatrixXd x(Eigen::Index(m_profiles.size()), m);
    y.resize(x.rows(), m);
    for (size_t p = 0; p < m_profiles.size(); ++p) {
        std::vector<int> keys{0};
        keys.insert(keys.end(), m_profiles[p].keyPoints.begin(), m_profiles[p].keyPoints.end());
        keys.push_back(0);
        std::vector<Eigen::MatrixXd> chains = splitRing(m_profiles[p].placed, keys);
        for (int r = 0; r < regions; ++r)
            chains[size_t(r)] = resampleByArcLength(chains[size_t(r)], counts[size_t(r)]);
        const Eigen::MatrixXd ring = joinChains(chains, false).points;
        x.row(Eigen::Index(p)) = ring.col(0).transpose();
        y.row(Eigen::Index(p)) = ring.col(1).transpose();
    }
    boundaries.back() = 0;
    return x;
}

// Node counts per station, interpolated linearly between the profiles and
// cut toward zero: of the regions (S x R) or of the webs (S x W).
Eigen::MatrixXi SurfaceMesher::nodeCounts(bool regions) const
{
    const size_t columns = regions ? m_profiles.front().regionMesh.size() : m_profiles.front().webMesh.size();
    Eigen::MatrixXd table(Eigen::Index(m_profiles.size()), Eigen::Index(columns));
    for (size_t p = 0; p < m_profiles.size(); ++p) {
        const std::vector<int>& numbers = regions ? m_profiles[p].regionMesh : m_profiles[p].webMesh;
        for (size_t c = 0; c < columns; ++c)
            table(Eigen::Index(p), Eigen::Index(c)) = numbers[c];
    }
    if (columns == 0)
        return Eigen::MatrixXi(m_z.size(), 0);
    // Every profile gives a region 2 nodes and a web 1 at least; so does
    // every station, whatever the interpolation meets.
    const int least = regions ? 2 : 1;
    return LinearInterp(m_loc, table).valuesAt(m_z).unaryExpr(
        [least](double v) { return std::max(least, Binary::truncatedInt(v)); });
}

SurfaceMesh SurfaceMesher::mesh(Model& model, const std::vector<MeshWeb>& webs) const
{
    SurfaceMesh result;
    meshRegions(model, result);
    const Eigen::MatrixXi webCounts = nodeCounts(false);
    for (const MeshWeb& web : webs) {
        const bool degenerate = web.startRegion == web.endRegion && web.startStation == web.endStation;
        if (!degenerate)
            meshWeb(model, result, web, webCounts);
    }
    gatherStations(result);
    return result;
}

void SurfaceMesher::meshRegions(Model& model, SurfaceMesh& mesh) const
{
    const int regions = m_regionNames.size();
    Eigen::MatrixXd y;
    std::vector<int> boundaries;
    const Eigen::MatrixXd x = ringCoordinates(y, boundaries);
    const Eigen::MatrixXd xs = SteffenSpline(m_loc, x).valuesAt(m_z);
    const Eigen::MatrixXd ys = SteffenSpline(m_loc, y).valuesAt(m_z);
    const Eigen::MatrixXi counts = nodeCounts(true);

    for (int r = 0; r < regions; ++r)
        mesh.regionNodes.push_back(std::make_unique<NodeArray>(m_regionNames[r], &model));
    double turning = 0.0;
    Eigen::MatrixXd ring(xs.cols(), 2);
    std::vector<Eigen::MatrixXd> chains;
    std::vector<Node*> ringNodes;
    for (Eigen::Index s = 0; s < m_z.size(); ++s) {
        ring.col(0) = xs.row(s).transpose();
        ring.col(1) = ys.row(s).transpose();
        turning += signedArea(ring);
        chains = splitRing(ring, boundaries);
        for (int r = 0; r < regions; ++r)
            chains[size_t(r)] = resampleByArcLength(chains[size_t(r)], counts(s, r));
        const JoinedChains joined = joinChains(chains, false);
        const int n = int(joined.points.rows());
        ringNodes.resize(size_t(n));
        for (int i = 0; i < n; ++i)
            ringNodes[size_t(i)] = model.nodes().add(joined.points(i, 0), joined.points(i, 1), m_z[s]);
        std::vector<int> starts{0};
        starts.insert(starts.end(), joined.starts.begin(), joined.starts.end());
        starts.push_back(n);
        const QString station = QString::number(s + 1);
        for (int r = 0; r < regions; ++r) {
            std::vector<Node*> row;
            row.reserve(size_t(starts[size_t(r) + 1] - starts[size_t(r)] + 1));
            for (int i = starts[size_t(r)]; i <= starts[size_t(r) + 1]; ++i)
                row.push_back(ringNodes[size_t(i % n)]);
            mesh.regionNodes[size_t(r)]->addRow(
                std::make_unique<NodeRow>(m_regionNames[r] + station, std::move(row), &model));
        }
    }
    // Skin normals point out of the blade: span x ring direction where the
    // ring runs clockwise seen from the tip, as airfoils from the leading
    // edge over the upper side do.
    const RowNormal outward = turning > 0.0 ? RowNormal::RowCrossSpan : RowNormal::SpanCrossRow;
    for (const auto& nodes : mesh.regionNodes)
        mesh.regionElements.push_back(
            nodes->genElements(false, m_quadDominant, outward, model.elements(), model.edges()));
}

void SurfaceMesher::meshWeb(Model& model, SurfaceMesh& mesh, const MeshWeb& web, const Eigen::MatrixXi& webCounts) const
{
    const NodeArray& startRegion = *mesh.regionNodes[size_t(web.startRegion)];
    const NodeArray& endRegion = *mesh.regionNodes[size_t(web.endRegion)];
    auto nodes = std::make_unique<NodeArray>(web.name, &model);
    for (int s = web.startStation; s <= web.endStation; ++s) {
        const int i = s - web.startStation;
        nodes->addRow(std::make_unique<NodeRow>(web.name + QString::number(i + 1), startRegion.row(s)->lastNode(),
                                                endRegion.row(s)->lastNode(), webCounts(s, web.web), model.nodes(),
                                                &model));
    }
    mesh.webElements.push_back(
        nodes->genElements(true, m_quadDominant, webNormal(mesh, *nodes, web), model.elements(), model.edges()));
    mesh.webNodes.push_back(std::move(nodes));
    mesh.webs.push_back(web);
}

// Web normals point towards the trailing edge (away from ring point 0, the
// leading edge, along the chord to the ring point farthest from it).
RowNormal SurfaceMesher::webNormal(const SurfaceMesh& mesh, const NodeArray& web, const MeshWeb& span) const
{
    double side = 0.0;
    for (int i = 0; i < web.count(); ++i) {
        const NodeRow& row = *web.row(i);
        const NodeRow& ring = *mesh.regionNodes.front()->row(span.startStation + i);
        const Eigen::Vector2d lead = ring.at(0)->position().head<2>();
        Eigen::Vector2d trail = lead;
        for (const auto& region : mesh.regionNodes) {
            for (const Node* n : region->row(span.startStation + i)->nodes()) {
                if ((n->position().head<2>() - lead).norm() > (trail - lead).norm())
                    trail = n->position().head<2>();
            }
        }
        const Eigen::Vector2d across = (row.lastNode()->position() - row.at(0)->position()).head<2>();
        // span x across, with span = +z.
        side += Eigen::Vector2d(-across.y(), across.x()).dot(trail - lead);
    }
    return side >= 0.0 ? RowNormal::SpanCrossRow : RowNormal::RowCrossSpan;
}

void SurfaceMesher::gatherStations(SurfaceMesh& mesh) const
{
    Object* owner = mesh.regionNodes.empty() ? nullptr : mesh.regionNodes.front()->owner();
    mesh.stationNodes = std::make_unique<NodeArray>(QStringLiteral("Profile Nodes"), owner);
    mesh.stationElements = std::make_unique<ElementArray>(QStringLiteral("Profile elements"), owner);
    const int stationCount = int(m_z.size());
    for (int s = 0; s < stationCount; ++s) {
        std::vector<Node*> nodes;
        for (const auto& region : mesh.regionNodes)
            region->GetNodesByRow(s, nodes, 0, 1);
        for (size_t w = 0; w < mesh.webs.size(); ++w) {
            const MeshWeb& web = mesh.webs[w];
            if (s >= web.startStation && s <= web.endStation)
                mesh.webNodes[w]->GetNodesByRow(s - web.startStation, nodes, 1, 1);
        }
        mesh.stationNodes->addRow(
            std::make_unique<NodeRow>(QStringLiteral("Profile Nodes") + QString::number(s + 1), std::move(nodes), owner));
    }
    for (int s = 0; s + 1 < stationCount; ++s) {
        auto row = std::make_unique<ElementRow>(QStringLiteral("Profile elements") + QString::number(s + 1), owner);
        std::vector<Element*> elements;
        for (const auto& region : mesh.regionElements)
            region->GetElesByRow(s, elements, 0, 0);
        for (size_t w = 0; w < mesh.webs.size(); ++w) {
            const MeshWeb& web = mesh.webs[w];
            if (s >= web.startStation && s < web.endStation)
                mesh.webElements[w]->GetElesByRow(s - web.startStation, elements, 0, 0);
        }
        row->reserve(elements.size());
        for (Element* e : elements)
            row->add(e);
        mesh.stationElements->addRow(std::move(row));
    }
}

} // namespace Folvane
