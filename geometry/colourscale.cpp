#include "geometry/colourscale.h"

#include <QColor>
#include <QVariantMap>
#include <cmath>

namespace Folvane {

namespace {

const float Stops[5][3] = {{0.19f, 0.21f, 0.85f}, {0.10f, 0.75f, 0.90f}, {0.30f, 0.80f, 0.25f}, {0.98f, 0.85f, 0.15f},
                           {0.85f, 0.12f, 0.10f}};

} // namespace

Eigen::Vector3f scaleColour(double fraction)
{
    if (std::isnan(fraction))
        return Eigen::Vector3f(0.75f, 0.75f, 0.75f);
    const double t = std::clamp(fraction, 0.0, 1.0) * 4.0;
    const int i = std::min(int(t), 3);
    const float f = float(t - i);
    return (1 - f) * Eigen::Vector3f(Stops[i][0], Stops[i][1], Stops[i][2])
        + f * Eigen::Vector3f(Stops[i + 1][0], Stops[i + 1][1], Stops[i + 1][2]);
}

QVariantList scaleStops()
{
    QVariantList stops;
    for (int i = 0; i < 5; ++i)
        stops.append(QVariantMap{{QStringLiteral("position"), i / 4.0},
                                 {QStringLiteral("color"), QColor::fromRgbF(Stops[i][0], Stops[i][1], Stops[i][2])}});
    return stops;
}

std::vector<Eigen::Vector3f> scaleColours(const Eigen::VectorXd& values, double low, double high)
{
    std::vector<Eigen::Vector3f> colours(size_t(values.size()));
    const double span = high - low;
    for (Eigen::Index i = 0; i < values.size(); ++i)
        colours[size_t(i)] = scaleColour(std::isnan(values[i]) ? values[i] : span > 0 ? (values[i] - low) / span : 0.5);
    return colours;
}

} // namespace Folvane
