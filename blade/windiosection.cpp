#include "blade/windiosection.h"

#include "blade/windioblade.h"

#include <algorithm>
#include <cmath>

namespace Folvane::Windio {

namespace {

Eigen::VectorXd cumulativeLength(const Eigen::MatrixX2d& points)
{
    Eigen::VectorXd s(points.rows());
    s(0) = 0.0;
    for (Eigen::Index i = 1; i < points.rows(); ++i)
        s(i) = s(i - 1) + (points.row(i) - points.row(i - 1)).norm();
    return s;
}

// Resamples a polyline to n points, cosine-spaced in arc length so that the
// leading and trailing edges keep their curvature.
Eigen::MatrixX2d resample(const Eigen::MatrixX2d& points, int n)
{
    const Eigen::VectorXd s = cumulativeLength(points);
    const double total = s(s.size() - 1);
    Eigen::MatrixX2d out(n, 2);
    Eigen::Index k = 0;
    for (int i = 0; i < n; ++i) {
        const double t = i == n - 1 ? total : total * 0.5 * (1.0 - std::cos(M_PI * i / (n - 1)));
        while (k + 2 < s.size() && s(k + 1) < t)
            ++k;
        const double span = s(k + 1) - s(k);
        const double w = span > 0.0 ? std::clamp((t - s(k)) / span, 0.0, 1.0) : 0.0;
        out.row(i) = (1.0 - w) * points.row(k) + w * points.row(k + 1);
    }
    return out;
}

} // namespace

Section::Sides Section::sidesOf(const Airfoil& airfoil)
{
    const Eigen::Index n = Eigen::Index(airfoil.x.size());
    Eigen::Index le = 0;
    for (Eigen::Index i = 1; i < n; ++i)
        if (airfoil.x[size_t(i)] < airfoil.x[size_t(le)])
            le = i;
    // A side needs two points; an airfoil that starts or ends at its
    // leftmost point still splits there.
    le = std::clamp<Eigen::Index>(le, 1, n - 2);
    Eigen::MatrixX2d suction(le + 1, 2), pressure(n - le, 2);
    for (Eigen::Index i = 0; i <= le; ++i)
        suction.row(i) << airfoil.x[size_t(le - i)], airfoil.y[size_t(le - i)];
    for (Eigen::Index i = le; i < n; ++i)
        pressure.row(i - le) << airfoil.x[size_t(i)], airfoil.y[size_t(i)];
    return {resample(suction, PointsPerSide), resample(pressure, PointsPerSide)};
}

Section::Sides Section::blend(const Sides& a, const Sides& b, double w)
{
    return {(1.0 - w) * a.suction + w * b.suction, (1.0 - w) * a.pressure + w * b.pressure};
}

Section::Section(const Sides& sides)
{
    const Eigen::Index n = sides.suction.rows();
    // The two sides share their leading-edge point.
    const Eigen::RowVector2d le = 0.5 * (sides.suction.row(0) + sides.pressure.row(0));
    m_points.resize(2 * n - 1, 2);
    for (Eigen::Index i = 0; i < n; ++i)
        m_points.row(i) = sides.suction.row(n - 1 - i);
    for (Eigen::Index i = 1; i < n; ++i)
        m_points.row(n - 1 + i) = sides.pressure.row(i);
    m_points.row(n - 1) = le;
    m_leadingEdge = int(n - 1);
    m_arcs = cumulativeLength(m_points);
    m_length = m_arcs(m_arcs.size() - 1);
    if (m_length > 0.0)
        m_arcs /= m_length;
}

Eigen::RowVector2d Section::pointAt(double arc) const
{
    arc = std::clamp(arc, 0.0, 1.0);
    Eigen::Index k = 0;
    while (k + 2 < m_arcs.size() && m_arcs(k + 1) < arc)
        ++k;
    const double span = m_arcs(k + 1) - m_arcs(k);
    const double w = span > 0.0 ? std::clamp((arc - m_arcs(k)) / span, 0.0, 1.0) : 0.0;
    return (1.0 - w) * m_points.row(k) + w * m_points.row(k + 1);
}

bool Section::crossing(const Eigen::RowVector2d& q, const Eigen::RowVector2d& d, bool suction, double& arc) const
{
    const Eigen::Index first = suction ? 0 : m_leadingEdge;
    const Eigen::Index last = suction ? m_leadingEdge : m_points.rows() - 1;
    for (Eigen::Index i = first; i < last; ++i) {
        const double a = (m_points.row(i) - q).dot(d);
        const double b = (m_points.row(i + 1) - q).dot(d);
        if ((a <= 0.0 && b >= 0.0) || (a >= 0.0 && b <= 0.0)) {
            const double w = a != b ? a / (a - b) : 0.0;
            arc = m_arcs(i) + w * (m_arcs(i + 1) - m_arcs(i));
            return true;
        }
    }
    return false;
}

} // namespace Folvane::Windio
