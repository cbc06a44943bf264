#ifndef FOLVANE_POLYLINE_H
#define FOLVANE_POLYLINE_H

#include <Eigen/Dense>
#include <vector>

namespace Folvane {

// Polylines and point rings hold one point per row (2 or 3 columns).

// The sum of the distances between consecutive rows.
double polylineLength(const Eigen::MatrixXd& points);

// trunc(length / meshSize) + 2, the node count for a length. A count the
// mesh could not hold (a tiny or broken size) is capped at MaxNodeCount.
constexpr int MaxNodeCount = 1000000;
int nodeCountFor(double length, double meshSize);

// n points equally spaced in arc length from the first point to the last
// (n = 1 gives the last point only). The ends are kept exactly.
Eigen::MatrixXd resampleByArcLength(const Eigen::MatrixXd& points, int n);

// The area a closed ring of x-y points encloses, positive when
// it runs counter-clockwise.
double signedArea(const Eigen::MatrixXd& ring);

// The chain of ring points from start to end inclusive, wrapping through
// the last point to point 0 when start is greater than end.
Eigen::MatrixXd ringChain(const Eigen::MatrixXd& ring, int start, int end);

// The chains between consecutive boundaries [0, b1, ..., b(R-1), 0].
std::vector<Eigen::MatrixXd> splitRing(const Eigen::MatrixXd& ring, const std::vector<int>& boundaries);

// Chains joined by taking every row of each but its last; an open join also
// appends the last row of the last chain. starts holds the row at which
// each chain after the first begins.
struct JoinedChains
{
    Eigen::MatrixXd points;
    std::vector<int> starts;
};
JoinedChains joinChains(const std::vector<Eigen::MatrixXd>& chains, bool open);

} // namespace Folvane

#endif
