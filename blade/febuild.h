#ifndef FOLVANE_FEBUILD_H
#define FOLVANE_FEBUILD_H

#include "fem/elementrow.h"
#include "fem/model.h"
#include "fem/noderow.h"
#include "solver/ccxanalyser.h"

#include <Eigen/Dense>
#include <QStringList>
#include <memory>
#include <vector>

namespace Folvane {

// One build of the FE model and what the document derives from it, as it
// is lent to an analysis off the main thread and given back.
struct FEBuild
{
    std::unique_ptr<Model> model;
    std::unique_ptr<NodeArray> stationNodes;
    std::unique_ptr<ElementArray> stationElements;
    Eigen::VectorXd stations;
    std::vector<int> elementGroups;
    QStringList groupNames;
    EigenModes eigen;
    // The static load case whose results the model holds; -1 for none.
    int resultLoadCase = -1;
    // The document's count of builds and forgettings when it was lent.
    quint64 generation = 0;
};

} // namespace Folvane

#endif
