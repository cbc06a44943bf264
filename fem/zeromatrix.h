#ifndef FOLVANE_ZEROMATRIX_H
#define FOLVANE_ZEROMATRIX_H

#include <Eigen/Dense>
#include <cstdlib>
#include <memory>

namespace Folvane {

// A column-major matrix of doubles that starts as zeros. The storage comes
// zeroed from the system, so the pages of a large one are only committed as
// results are written into them.
class ZeroMatrix
{
public:
    // Throws std::bad_alloc when the system has no room.
    void reset(Eigen::Index rows, Eigen::Index cols);
    void clear();

    Eigen::Index rows() const { return m_rows; }
    Eigen::Index cols() const { return m_cols; }
    double* data() { return m_data.get(); }
    const double* data() const { return m_data.get(); }

private:
    struct Free
    {
        void operator()(double* p) const { std::free(p); }
    };
    std::unique_ptr<double, Free> m_data;
    Eigen::Index m_rows = 0;
    Eigen::Index m_cols = 0;
};

} // namespace Folvane

#endif
