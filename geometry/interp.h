#ifndef FOLVANE_INTERP_H
#define FOLVANE_INTERP_H

#include <Eigen/Dense>
#include <memory>
#include <vector>

namespace Folvane {

// One-dimensional interpolation of m quantities (the columns of y) over one
// abscissa x. Outside [x0, x(n-1)] the end interval's polynomial extrapolates.
//
// An abscissa given twice in a row is a step: the table splits there into
// pieces, each interpolated on its own. A query takes the piece whose first
// abscissa is the last one not above it (the first piece below them all), so
// at the step the value after it holds; beyond the table the end pieces
// extrapolate. Tables that decrease somewhere are never split.
class Interp
{
public:
    Interp(Eigen::VectorXd x, Eigen::MatrixXd y);
    virtual ~Interp();

    virtual Eigen::VectorXd valueAt(double t) const;
    Eigen::MatrixXd valuesAt(const Eigen::VectorXd& ts) const;
    // The interval of the whole table by the nearest-point rule; a table
    // with a step evaluates through its pieces instead.
    int findInterval(double t) const;

    int pointCount() const { return m_n; }
    int columnCount() const { return m_m; }

protected:
    // False when the arrays did not match: such an interpolator holds no
    // data and every value it gives is NaN.
    bool hasData() const { return m_n > 0; }
    Eigen::VectorXd undefinedValue() const;
    Eigen::VectorXd constantValue() const { return m_y.row(0).transpose(); }

    // Splits a table with a step into pieces of the given kind; false (and
    // nothing done) for a table without one.
    template <class Piece>
    bool splitAtSteps();
    // The piece that holds t; null for a table that was not split.
    const Interp* pieceAt(double t) const;

    Eigen::VectorXd m_x;
    Eigen::VectorXd m_dx;
    Eigen::MatrixXd m_y;
    Eigen::MatrixXd m_slope;
    int m_n = 0;
    int m_m = 0;

private:
    int nearestIntervalScan(double t) const;
    int nearestIntervalSorted(double t) const;
    std::vector<int> pieceStarts() const;
    bool m_increasing = true;
    // Shared, so an interpolator stays copyable; pieces never change.
    std::vector<std::shared_ptr<const Interp>> m_pieces;
    std::vector<double> m_pieceStarts;
};

class LinearInterp : public Interp
{
public:
    LinearInterp(Eigen::VectorXd x, Eigen::MatrixXd y);
    Eigen::VectorXd valueAt(double t) const override;

private:
    Eigen::MatrixXd m_intercept;
};

// Steffen's monotone piecewise cubic: no overshoot between the nodes.
class SteffenSpline : public Interp
{
public:
    SteffenSpline(Eigen::VectorXd x, Eigen::MatrixXd y);
    Eigen::VectorXd valueAt(double t) const override;

private:
    Eigen::MatrixXd m_a, m_b, m_c, m_d, m_yp, m_p;
};

} // namespace Folvane

#endif
