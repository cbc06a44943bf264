#include "geometry/polyline.h"

#include "geometry/interp.h"

#include <cmath>

namespace Folvane {

double polylineLength(const Eigen::MatrixXd& points)
{
    double length = 0.0;
    for (Eigen::Index i = 1; i < points.rows(); ++i)
        length += (points.row(i) - points.row(i - 1)).norm();
    return length;
}

int nodeCountFor(double length, double meshSize)
{
    const double steps = std::trunc(length / meshSize);
    if (!(steps >= 0.0))
        return steps < 0.0 ? 2 : MaxNodeCount;
    return steps >= MaxNodeCount - 2 ? MaxNodeCount : int(steps) + 2;
}

Eigen::MatrixXd resampleByArcLength(const Eigen::MatrixXd& points, int n)
{
    const Eigen::Index rows = points.rows();
    if (rows == 0 || n < 1)
        return Eigen::MatrixXd(0, points.cols());
    // Repeated points add no length; they are left out so that no interval
    // of zero width enters the interpolation.
    std::vector<Eigen::Index> kept{0};
    std::vector<double> arc{0.0};
    for (Eigen::Index i = 1; i < rows; ++i) {
        const double step = (points.row(i) - points.row(kept.back())).norm();
        if (step > 0.0) {
            kept.push_back(i);
            arc.push_back(arc.back() + step);
        }
    }
    if (kept.size() == 1)
        return points.row(0).replicate(n, 1);
    Eigen::MatrixXd distinct(kept.size(), points.cols());
    for (size_t i = 0; i < kept.size(); ++i)
        distinct.row(i) = points.row(kept[i]);
    const Eigen::VectorXd s = Eigen::Map<const Eigen::VectorXd>(arc.data(), Eigen::Index(arc.size()));
    const double last = s[s.size() - 1];
    Eigen::VectorXd at(n);
    for (int i = 0; i < n; ++i)
        at[i] = n == 1 ? last : last * i / (n - 1);
    at[n - 1] = last;
    Eigen::MatrixXd resampled = LinearInterp(s, distinct).valuesAt(at);
    resampled.row(n - 1) = points.row(kept.back());
    if (n > 1)
        resampled.row(0) = points.row(0);
    return resampled;
}

Eigen::MatrixXd ringChain(const Eigen::MatrixXd& ring, int start, int end)
{
    const int n = int(ring.rows());
    const int count = start <= end ? end - start + 1 : n - start + end + 1;
    Eigen::MatrixXd chain(count, ring.cols());
    for (int i = 0; i < count; ++i)
        chain.row(i) = ring.row((start + i) % n);
    return chain;
}

std::vector<Eigen::MatrixXd> splitRing(const Eigen::MatrixXd& ring, const std::vector<int>& boundaries)
{
    std::vector<Eigen::MatrixXd> chains;
    for (size_t r = 0; r + 1 < boundaries.size(); ++r)
        chains.push_back(ringChain(ring, boundaries[r], boundaries[r + 1]));
    return chains;
}

JoinedChains joinChains(const std::vector<Eigen::MatrixXd>& chains, bool open)
{
    Eigen::Index rows = 0;
    for (const Eigen::MatrixXd& c : chains)
        rows += std::max<Eigen::Index>(c.rows() - 1, 0);
    const Eigen::Index cols = chains.empty() ? 0 : chains.front().cols();
    const bool closeOpen = open && !chains.empty() && chains.back().rows() > 0;
    JoinedChains joined{Eigen::MatrixXd(rows + (closeOpen ? 1 : 0), cols), {}};
    Eigen::Index at = 0;
    for (size_t i = 0; i < chains.size(); ++i) {
        if (i > 0)
            joined.starts.push_back(int(at));
        const Eigen::Index take = std::max<Eigen::Index>(chains[i].rows() - 1, 0);
        joined.points.middleRows(at, take) = chains[i].topRows(take);
        at += take;
    }
    if (closeOpen)
        joined.points.row(at) = chains.back().bottomRows(1);
    return joined;
}

double signedArea(const Eigen::MatrixXd& ring)
{
    double twice = 0.0;
    const Eigen::Index n = ring.rows();
    for (Eigen::Index i = 0; i < n; ++i) {
        const Eigen::Index j = (i + 1) % n;
        twice += ring(i, 0) * ring(j, 1) - ring(j, 0) * ring(i, 1);
    }
    return 0.5 * twice;
}

} // namespace Folvane
