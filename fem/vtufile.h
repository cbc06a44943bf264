#ifndef FOLVANE_VTUFILE_H
#define FOLVANE_VTUFILE_H

#include <QStringList>
#include <vector>

namespace Folvane {

class Model;

namespace Vtu {

// One point or cell array: tuples of components, 32-bit floats or integers
// (exactly one of the two filled).
struct DataArray
{
    QString name;
    int components = 1;
    QStringList componentNames;
    std::vector<float> floats;
    std::vector<qint32> ints;
};

// Values that belong to the whole dataset: numbers or names.
struct FieldArray
{
    QString name;
    std::vector<double> numbers;
    QStringList strings;
};

struct Dataset
{
    std::vector<DataArray> pointData;
    std::vector<DataArray> cellData;
    std::vector<FieldArray> fieldData;
};

// The model as a VTK XML unstructured grid: the corner nodes, then the
// middle nodes in their numbering, as points; every element a quadratic
// quadrilateral or triangle (corners, then the middle of each side from
// corner k to k + 1, which is VTK's order); the arrays raw in the appended
// block. Written beside the target and renamed into place; false, with the
// reason in error, when the file cannot be written or an array does not fit
// the model.
bool writeVtu(const Model& model, const Dataset& data, const QString& path, QString& error);

// A ParaView collection of datasets (file names relative to the
// collection's folder), one per time step.
struct CollectionEntry
{
    double timestep;
    QString file;
};
bool writePvd(const std::vector<CollectionEntry>& entries, const QString& path, QString& error);

} // namespace Vtu
} // namespace Folvane

#endif
