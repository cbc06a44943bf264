#ifndef FOLVANE_ELEMENTVALUES_H
#define FOLVANE_ELEMENTVALUES_H

#include "fem/element.h"

#include <Eigen/Dense>

namespace Folvane {

class Model;

// One value per element, in number order, of what a view colours the mesh
// by; NaN where an element has none.
namespace ElementValues {

Eigen::VectorXd thickness(const Model& model);
Eigen::VectorXd plyCount(const Model& model);
// The mean over the corners of the displacement's length.
Eigen::VectorXd displacement(const Model& model, int loadCase);
// The largest von Mises stress of the plies, or the largest absolute value
// of another result.
Eigen::VectorXd largestOverPlies(const Model& model, Element::Result result, int loadCase);
// The ply value of largest magnitude, with its sign.
Eigen::VectorXd signedPeakOverPlies(const Model& model, Element::Result result, int loadCase);
// The largest Tsai-Wu index of the plies whose materials give strengths.
Eigen::VectorXd tsaiWu(const Model& model, int loadCase);
// The mean over the corners of the motion's length in a mode (rows 3i to
// 3i + 2 of a column of shapes for corner node i).
Eigen::VectorXd modeMotion(const Model& model, const Eigen::MatrixXd& shapes, int mode);

} // namespace ElementValues
} // namespace Folvane

#endif
