#include "fem/failure.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Folvane {

namespace {

constexpr double NotGiven = std::numeric_limits<double>::quiet_NaN();

} // namespace

double maxStressIndex(const Material::Strengths& f, double s1, double s2, double s12)
{
    const double fibre = s1 >= 0.0 ? s1 / f[0] : -s1 / f[1];
    const double across = s2 >= 0.0 ? s2 / f[2] : -s2 / f[3];
    return std::max({fibre, across, std::abs(s12) / f[4]});
}

double tsaiWuIndex(const Material::Strengths& f, double s1, double s2, double s12)
{
    const double f1 = 1.0 / f[0] - 1.0 / f[1];
    const double f2 = 1.0 / f[2] - 1.0 / f[3];
    const double f11 = 1.0 / (f[0] * f[1]);
    const double f22 = 1.0 / (f[2] * f[3]);
    const double f66 = 1.0 / (f[4] * f[4]);
    const double f12 = -0.5 * std::sqrt(f11 * f22);
    const double a = f11 * s1 * s1 + f22 * s2 * s2 + f66 * s12 * s12 + 2.0 * f12 * s1 * s2;
    const double b = f1 * s1 + f2 * s2;
    // a is positive definite with this F12, so the stress state scaled by R
    // meets the surface once: 1/R solves (1/R)^2 - b (1/R) - a = 0.
    return 0.5 * (b + std::sqrt(b * b + 4.0 * a));
}

PlyFailure plyFailure(const Material& material, double s1, double s2, double s12)
{
    if (!material.hasStrengths())
        return {NotGiven, NotGiven};
    const Material::Strengths& f = material.strengths();
    return {maxStressIndex(f, s1, s2, s12), tsaiWuIndex(f, s1, s2, s12)};
}

} // namespace Folvane
