#ifndef FOLVANE_FAILURE_H
#define FOLVANE_FAILURE_H

#include "fem/material.h"

namespace Folvane {

// Failure indices of a ply from its in-plane stresses in its material axes
// (s1 along the fibre, s2 across it, s12 shear), both linear in the load:
// 1 means the ply fails, 0.5 that it would at twice the load. NaN for a
// material without all five strengths.
struct PlyFailure
{
    double maxStress;
    double tsaiWu;
};

// Maximum stress: the largest of s1/Xt (or -s1/Xc), s2/Yt (or -s2/Yc) and
// |s12|/S.
double maxStressIndex(const Material::Strengths& strengths, double s1, double s2, double s12);

// Tsai-Wu with F12 = -sqrt(F11 F22)/2, given as the inverse of the factor R
// on the stresses that brings the criterion to 1:
// (F11 s1^2 + F22 s2^2 + F66 s12^2 + 2 F12 s1 s2) R^2 + (F1 s1 + F2 s2) R = 1.
double tsaiWuIndex(const Material::Strengths& strengths, double s1, double s2, double s12);

PlyFailure plyFailure(const Material& material, double s1, double s2, double s12);

} // namespace Folvane

#endif
