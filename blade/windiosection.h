#ifndef FOLVANE_WINDIOSECTION_H
#define FOLVANE_WINDIOSECTION_H

#include <Eigen/Dense>
#include <vector>

namespace Folvane::Windio {

struct Airfoil;

// A normalised section as windIO describes it: points from the trailing
// edge over the suction side (y > 0) to the leading edge and back over the
// pressure side, each point with its non-dimensional arc position (0 at the
// first point, 1 at the last; an open trailing edge is not part of the arc).
class Section
{
public:
    // The two sides from the leading edge to the trailing edge, both with
    // the same number of points, cosine-spaced in arc length.
    struct Sides
    {
        Eigen::MatrixX2d suction;
        Eigen::MatrixX2d pressure;
    };

    static constexpr int PointsPerSide = 61;

    // Both sides of an airfoil, split at its leftmost point.
    static Sides sidesOf(const Airfoil& airfoil);
    // Point by point between two airfoils; w = 0 gives a, w = 1 gives b.
    static Sides blend(const Sides& a, const Sides& b, double w);

    explicit Section(const Sides& sides);

    const Eigen::MatrixX2d& points() const { return m_points; }
    const Eigen::VectorXd& arcs() const { return m_arcs; }
    double leadingEdgeArc() const { return m_arcs(m_leadingEdge); }
    int leadingEdge() const { return m_leadingEdge; }
    // Length of the arc in chords.
    double length() const { return m_length; }
    double trailingEdgeGap() const { return (m_points.row(0) - m_points.row(m_points.rows() - 1)).norm(); }

    Eigen::RowVector2d pointAt(double arc) const;
    // Where the line through q square to direction d meets the suction side
    // (arc below the leading edge's) or the pressure side; false if it misses.
    bool crossing(const Eigen::RowVector2d& q, const Eigen::RowVector2d& d, bool suction, double& arc) const;

private:
    Eigen::MatrixX2d m_points;
    Eigen::VectorXd m_arcs;
    int m_leadingEdge = 0;
    double m_length = 0.0;
};

} // namespace Folvane::Windio

#endif
