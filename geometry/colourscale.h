#ifndef FOLVANE_COLOURSCALE_H
#define FOLVANE_COLOURSCALE_H

#include <Eigen/Dense>
#include <QVariantList>

namespace Folvane {

// The results view's colours: low to high through blue, cyan, green,
// yellow and red; NaN (no value) grey.
Eigen::Vector3f scaleColour(double fraction);
// The same stops as [{position, color}], for the legend the window draws.
QVariantList scaleStops();

// Colours of values between low and high (equal bounds: the middle colour).
std::vector<Eigen::Vector3f> scaleColours(const Eigen::VectorXd& values, double low, double high);

} // namespace Folvane

#endif
