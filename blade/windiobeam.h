#ifndef FOLVANE_WINDIOBEAM_H
#define FOLVANE_WINDIOBEAM_H

#include <Eigen/Core>
#include <QString>
#include <optional>
#include <vector>

namespace YAML {
class Node;
}

namespace Folvane::Windio {

using Matrix6 = Eigen::Matrix<double, 6, 6>;
using Mask6 = Eigen::Matrix<bool, 6, 6>;

// One 6x6 matrix per station along the non-dimensional span, symmetric, in
// the section frame of the reference axis: forces along x, y, z (z along
// the span), then moments about them. Terms the file does not give are
// zero and left out of the mask.
struct BeamStations
{
    std::vector<double> span;
    std::vector<Matrix6> matrices;
    Mask6 given = Mask6::Constant(false);

    bool empty() const { return span.empty(); }
    // Linear between stations, held at the end values beyond them.
    Matrix6 at(double s) const;
};

// The blade's beam model as the file gives it: stiffness (N, N·m²) and
// inertia (kg/m; kg·m²/m) along the reference axis (m).
struct BeamModel
{
    BeamStations stiffness;
    BeamStations inertia;
    // The reference axis as a polyline over the non-dimensional span.
    std::vector<double> axisSpan;
    std::vector<Eigen::Vector3d> axis;

    bool hasMass() const { return !inertia.empty() && inertia.given(0, 0); }
    Eigen::Vector3d axisAt(double s) const;
    // Mass (kg) and length (m) along the reference axis between two heights
    // z (m), mass per length linear between its stations.
    double mass(double zFrom, double zTo) const;
    double length(double zFrom, double zTo) const;

private:
    template <typename Measure>
    double integrate(double zFrom, double zTo, Measure measure) const;
};

// Reads the beam model of a blade component, if it has one: windIO 1.x
// (version 1) elastic_properties_mb.six_x_six, 2.0 (version 2)
// structure.elastic_properties; a blade without one leaves beam empty.
// False, with the key, its position and the fault, when it cannot be read.
bool readBeamModel(const YAML::Node& blade, int version, std::optional<BeamModel>& beam, QString& error);

} // namespace Folvane::Windio

#endif
