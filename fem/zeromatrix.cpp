#include "fem/zeromatrix.h"

#include <new>

namespace Folvane {

void ZeroMatrix::reset(Eigen::Index rows, Eigen::Index cols)
{
    clear();
    const size_t count = size_t(rows) * size_t(cols);
    if (count == 0)
        return;
    auto* data = static_cast<double*>(std::calloc(count, sizeof(double)));
    if (!data)
        throw std::bad_alloc();
    m_data.reset(data);
    m_rows = rows;
    m_cols = cols;
}

void ZeroMatrix::clear()
{
    m_data.reset();
    m_rows = 0;
    m_cols = 0;
}

} // namespace Folvane
