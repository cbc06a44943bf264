#ifndef FOLVANE_AIRFOILS_H
#define FOLVANE_AIRFOILS_H

#include <Eigen/Dense>
#include <QStringList>

// Built-in section point sets, normalised to unit chord. Each loop starts at
// the leading edge (0, 0), runs over the upper side to the trailing edge
// (1, 0) at point 29 and back over the lower side, without closing point.
namespace Folvane::Airfoils {

// Names of the built-in point sets: "Circle", "NACA63214", "NACA63220", "NACA63240".
QStringList names();
// The 58 x 2 normalised points (x, y) of a built-in set; a 0 x 2 matrix for an unknown name.
Eigen::Matrix<double, Eigen::Dynamic, 2> points(const QString& name);

} // namespace Folvane::Airfoils

#endif
