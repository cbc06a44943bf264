#include "fem/model.h"

namespace Folvane {

Model::Model(const QString& name)
    : Object(name, 0)
    , m_nodes(this)
    , m_edges(this)
    , m_elements(this)
    , m_materials(this)
    , m_sections(this)
    , m_boundaries(this)
    , m_loads(this)
{
}

void Model::initResults()
{
    const int loadCases = m_loads.ReadLoadNum();
    m_nodes.initResults(loadCases);
    m_elements.initResults(loadCases);
}

void Model::numberEntities()
{
    m_nodes.renumber();
    m_elements.renumber();
    m_edges.numberMiddleNodes(quint64(m_nodes.count()));
}

} // namespace Folvane
