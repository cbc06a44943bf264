#ifndef FOLVANE_TEST_VTKREAD_H
#define FOLVANE_TEST_VTKREAD_H

#include <QJsonObject>
#include <QString>
#include <vector>

// What VTK's own reader (Debian's python3-vtk9) finds in a .vtu: "points"
// (x, y, z of each), "cells" ([type, point ids...] each), "pointData",
// "cellData" and "fieldData" (by name: "type", "components",
// "componentNames", "values", NaN as null); in a .pvd: "datasets", each
// with "timestep", "file" and "dataset". Empty, with VTK's complaint in
// *error, when it cannot read the file.
QJsonObject readWithVtk(const QString& path, QString* error = nullptr);

// The values of a named array of a dataset, NaN for null.
std::vector<double> vtkValues(const QJsonObject& dataset, const char* group, const QString& name);

#endif
