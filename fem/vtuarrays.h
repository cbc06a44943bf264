#ifndef FOLVANE_VTUARRAYS_H
#define FOLVANE_VTUARRAYS_H

#include "fem/vtufile.h"

#include <Eigen/Dense>

namespace Folvane::Vtu {

// The model's own cell data: "SectionId" (the section's deck number, 0 for
// none), "Region" (index into the field data "RegionNames", -1 for none),
// "Thickness" (mm), "PlyCount", "ArealMass" (kg/m^2) and "Material" (the
// thickest ply's, index into "MaterialNames"; -1 without plies).
void addModelArrays(const Model& model, const std::vector<int>& elementGroups, const QStringList& groupNames,
                    Dataset& data);

// The results of one load case: point data "Displacement"; cell data
// "VonMises" (the largest over the plies), "Stress_k" and "Strain_k" of
// ply k from 1 (11, 22, 12 in the ply's material axes, engineering shear),
// and "FailureIndex_k" (maximum stress, Tsai-Wu) when a material has
// strengths. A ply an element does not have, or an index its material
// cannot give, is NaN.
void addResultArrays(const Model& model, int loadCase, Dataset& data);

// Mode shapes ("Mode_1", ... as point data, each corner node's rows 3i to
// 3i + 2 of a column of shapes) and their eigenvalues as field data named
// valueName.
void addModeArrays(const Model& model, const Eigen::MatrixXd& shapes, const std::vector<double>& values,
                   const QString& valueName, Dataset& data);

} // namespace Folvane::Vtu

#endif
