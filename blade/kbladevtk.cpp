#include "blade/kblade.h"
#include "blade/kload.h"
#include "core/messages.h"
#include "fem/model.h"
#include "fem/vtuarrays.h"

namespace Folvane {

namespace {

bool write(const Model& model, const Vtu::Dataset& data, const QString& fp, QString* error)
{
    QString why;
    if (Vtu::writeVtu(model, data, fp, why))
        return true;
    outLine(QStringLiteral("Cannot export to file: ") + fp + QStringLiteral(" (") + why + QLatin1Char(')'));
    if (error)
        *error = why;
    return false;
}

} // namespace

bool KBlade::exportVtk(const QString& fp, int loadInd, QString* error) const
{
    const Model* model = builtModel("exportVtk");
    if (!model)
        return false;
    Vtu::Dataset data;
    Vtu::addModelArrays(*model, m_elementGroups, m_groupNames, data);
    if (loadInd >= 0) {
        Vtu::addResultArrays(*model, loadInd, data);
        const QStringList names = loads()->sonNames();
        if (loadInd < names.size())
            data.fieldData.push_back({QStringLiteral("LoadCase"), {}, {names[loadInd]}});
    }
    return write(*model, data, fp, error);
}

bool KBlade::exportModeVtk(const QString& fp, bool buckling, QString* error) const
{
    const Model* model = builtModel("exportModeVtk");
    if (!model)
        return false;
    Vtu::Dataset data;
    Vtu::addModelArrays(*model, m_elementGroups, m_groupNames, data);
    Vtu::addModeArrays(*model, m_eigen.shapes, m_eigen.values,
                       buckling ? QStringLiteral("LoadFactor") : QStringLiteral("Frequency"), data);
    return write(*model, data, fp, error);
}

} // namespace Folvane
