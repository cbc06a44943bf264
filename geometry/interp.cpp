#include "geometry/interp.h"

#include "core/messages.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Folvane {

Interp::Interp(Eigen::VectorXd x, Eigen::MatrixXd y)
{
    m_m = int(y.cols());
    if (x.size() != y.rows()) {
        outLine(QStringLiteral("The size of input arrays are not equal!"));
        return;
    }
    m_x = std::move(x);
    m_y = std::move(y);
    m_n = int(m_x.size());
    if (m_n < 2)
        return;
    m_dx = m_x.tail(m_n - 1) - m_x.head(m_n - 1);
    m_slope = (m_y.bottomRows(m_n - 1) - m_y.topRows(m_n - 1)).array().colwise() / m_dx.array();
    m_increasing = (m_dx.array() > 0.0).all();
}

Interp::~Interp() = default;

Eigen::VectorXd Interp::valueAt(double) const
{
    return Eigen::VectorXd();
}

Eigen::VectorXd Interp::undefinedValue() const
{
    return Eigen::VectorXd::Constant(m_m, std::numeric_limits<double>::quiet_NaN());
}

Eigen::MatrixXd Interp::valuesAt(const Eigen::VectorXd& ts) const
{
    Eigen::MatrixXd values(ts.size(), m_m);
    for (Eigen::Index i = 0; i < ts.size(); ++i)
        values.row(i) = valueAt(ts[i]).transpose();
    return values;
}

int Interp::findInterval(double t) const
{
    if (t > m_x[m_n - 2])
        return m_n - 2;
    if (t < m_x[1])
        return 0;
    return m_increasing && !std::isnan(t) ? nearestIntervalSorted(t) : nearestIntervalScan(t);
}

// The rule: take the abscissa nearest to t (the lowest index on a tie) and
// the interval that starts there, or the one before when it lies above t.
int Interp::nearestIntervalScan(double t) const
{
    int k = 0;
    double best = std::abs(m_x[0] - t);
    for (int i = 1; i < m_n; ++i) {
        const double d = std::abs(m_x[i] - t);
        if (d < best) {
            best = d;
            k = i;
        }
    }
    return m_x[k] > t ? k - 1 : k;
}

// The same rule for increasing abscissae, found by bisection: the nearest
// abscissa is one of the two around t, and the lowest index of equal
// distance lies just below them.
int Interp::nearestIntervalSorted(double t) const
{
    const double* begin = m_x.data();
    const int j = int(std::upper_bound(begin, begin + m_n, t) - begin) - 1;
    const double below = std::abs(m_x[j] - t);
    if (std::abs(m_x[j + 1] - t) < below)
        return m_x[j + 1] > t ? j : j + 1;
    int k = j;
    while (k > 0 && std::abs(m_x[k - 1] - t) == below)
        --k;
    return m_x[k] > t ? k - 1 : k;
}

// The first index of every piece; empty unless the abscissae never decrease
// and repeat somewhere.
std::vector<int> Interp::pieceStarts() const
{
    if (m_n < 2 || !(m_dx.array() >= 0.0).all() || (m_dx.array() > 0.0).all())
        return {};
    std::vector<int> starts{0};
    for (int i = 0; i + 1 < m_n; ++i) {
        if (m_dx[i] == 0.0)
            starts.push_back(i + 1);
    }
    return starts;
}

template <class Piece>
bool Interp::splitAtSteps()
{
    const std::vector<int> starts = pieceStarts();
    for (size_t k = 0; k < starts.size(); ++k) {
        const int begin = starts[k];
        const int size = (k + 1 < starts.size() ? starts[k + 1] : m_n) - begin;
        m_pieces.push_back(std::make_shared<const Piece>(m_x.segment(begin, size), m_y.middleRows(begin, size)));
        m_pieceStarts.push_back(m_x[begin]);
    }
    return !m_pieces.empty();
}

const Interp* Interp::pieceAt(double t) const
{
    if (m_pieces.empty())
        return nullptr;
    // Equal first abscissae: the later piece wins, so after a run of one
    // location its last value holds. A query that is no number takes the first.
    for (size_t k = m_pieces.size() - 1; k > 0; --k) {
        if (m_pieceStarts[k] <= t)
            return m_pieces[k].get();
    }
    return m_pieces.front().get();
}

LinearInterp::LinearInterp(Eigen::VectorXd x, Eigen::MatrixXd y)
    : Interp(std::move(x), std::move(y))
{
    if (m_n < 2 || splitAtSteps<LinearInterp>())
        return;
    m_intercept = m_y.topRows(m_n - 1) - (m_slope.array().colwise() * m_x.head(m_n - 1).array()).matrix();
}

Eigen::VectorXd LinearInterp::valueAt(double t) const
{
    if (const Interp* piece = pieceAt(t))
        return piece->valueAt(t);
    if (m_n < 2)
        return hasData() ? constantValue() : undefinedValue();
    const int k = findInterval(t);
    return (t * m_slope.row(k) + m_intercept.row(k)).transpose();
}

static double sign(double v)
{
    return v > 0.0 ? 1.0 : (v < 0.0 ? -1.0 : 0.0);
}

SteffenSpline::SteffenSpline(Eigen::VectorXd x, Eigen::MatrixXd y)
    : Interp(std::move(x), std::move(y))
{
    const int n = m_n;
    if (n < 2 || splitAtSteps<SteffenSpline>())
        return;
    m_p.resize(n, m_m);
    if (n == 2) {
        // Too few nodes for the parabolas: the secant is the derivative.
        m_p.row(0) = m_slope.row(0);
        m_p.row(1) = m_slope.row(0);
    } else {
        for (int i = 1; i <= n - 2; ++i)
            m_p.row(i) = (m_slope.row(i - 1) * m_dx[i] + m_slope.row(i) * m_dx[i - 1]) / (m_dx[i - 1] + m_dx[i]);
        const double wL = m_dx[0] / (m_dx[0] + m_dx[1]);
        m_p.row(0) = m_slope.row(0) * (1.0 + wL) - m_slope.row(1) * wL;
        const double wR = m_dx[n - 2] / (m_dx[n - 2] + m_dx[n - 3]);
        m_p.row(n - 1) = m_slope.row(n - 2) * (1.0 + wR) - m_slope.row(n - 3) * wR;
    }

    m_yp.resize(n, m_m);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < m_m; ++j) {
            const double prev = m_slope(std::max(i - 1, 0), j);
            const double next = m_slope(std::min(i, n - 2), j);
            const double limit = std::min({std::abs(prev), std::abs(next), 0.5 * std::abs(m_p(i, j))});
            m_yp(i, j) = (sign(prev) + sign(next)) * limit;
        }
    }

    m_a.resize(n - 1, m_m);
    m_b.resize(n - 1, m_m);
    m_c = m_yp.topRows(n - 1);
    m_d = m_y.topRows(n - 1);
    for (int i = 0; i < n - 1; ++i) {
        const double h = m_dx[i];
        m_a.row(i) = (m_yp.row(i) + m_yp.row(i + 1) - 2.0 * m_slope.row(i)) / (h * h);
        m_b.row(i) = (3.0 * m_slope.row(i) - 2.0 * m_yp.row(i) - m_yp.row(i + 1)) / h;
    }
}

Eigen::VectorXd SteffenSpline::valueAt(double t) const
{
    if (const Interp* piece = pieceAt(t))
        return piece->valueAt(t);
    if (m_n < 2)
        return hasData() ? constantValue() : undefinedValue();
    const int k = findInterval(t);
    const double u = t - m_x[k];
    return (m_a.row(k) * std::pow(u, 3) + m_b.row(k) * std::pow(u, 2) + m_c.row(k) * u + m_d.row(k)).transpose();
}

} // namespace Folvane
