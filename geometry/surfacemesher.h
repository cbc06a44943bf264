#ifndef FOLVANE_SURFACEMESHER_H
#define FOLVANE_SURFACEMESHER_H

#include "fem/elementrow.h"
#include "fem/noderow.h"

#include <Eigen/Dense>
#include <QStringList>
#include <memory>
#include <vector>

namespace Folvane {

class Model;

// What the mesher needs of one profile, evaluated once.
struct MeshProfile
{
    Eigen::MatrixXd placed;        // N x 2 placed points
    std::vector<int> keyPoints;    // R - 1 boundary points, in order
    std::vector<int> regionMesh;   // R region mesh numbers
    std::vector<int> webMesh;      // W web mesh numbers
    int radiusMesh = 0;
    Eigen::Vector3d reference;     // (x offset, y offset, location)
};

// A web to mesh: between the ends of two regions, over a station range.
struct MeshWeb
{
    QString name;
    int web = 0;                   // position in the web list
    int startRegion = 0;
    int endRegion = 0;
    int startStation = 0;
    int endStation = 0;
};

// The structured mesh of the blade surface: per region and per web the node
// and element arrays, and the arrays of whole stations.
struct SurfaceMesh
{
    std::vector<std::unique_ptr<NodeArray>> regionNodes;
    std::vector<std::unique_ptr<ElementArray>> regionElements;
    std::vector<MeshWeb> webs;
    std::vector<std::unique_ptr<NodeArray>> webNodes;
    std::vector<std::unique_ptr<ElementArray>> webElements;
    std::unique_ptr<NodeArray> stationNodes;
    std::unique_ptr<ElementArray> stationElements;
};

// Meshes the profiles (sorted by location) into the model: rings of nodes
// station by station, rows of elements between them, then the webs.
class SurfaceMesher
{
public:
    SurfaceMesher(std::vector<MeshProfile> profiles, QStringList regionNames, bool quadDominant);

    // The S x 3 stations along the line through the reference points.
    static Eigen::MatrixXd stations(const std::vector<MeshProfile>& profiles);
    // The station nearest to a span location; the lower one on a tie.
    static int nearestStation(const Eigen::VectorXd& z, double location);

    const Eigen::VectorXd& stationLocations() const { return m_z; }
    SurfaceMesh mesh(Model& model, const std::vector<MeshWeb>& webs) const;

private:
    Eigen::MatrixXd ringCoordinates(Eigen::MatrixXd& y, std::vector<int>& boundaries) const;
    Eigen::MatrixXi nodeCounts(bool regions) const;
    void meshRegions(Model& model, SurfaceMesh& mesh) const;
    void meshWeb(Model& model, SurfaceMesh& mesh, const MeshWeb& web, const Eigen::MatrixXi& webCounts) const;
    RowNormal webNormal(const SurfaceMesh& mesh, const NodeArray& web, const MeshWeb& span) const;
    void gatherStations(SurfaceMesh& mesh) const;

    std::vector<MeshProfile> m_profiles;
    QStringList m_regionNames;
    bool m_quadDominant;
    Eigen::VectorXd m_loc;
    Eigen::VectorXd m_z;
};

} // namespace Folvane

#endif
