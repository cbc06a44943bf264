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

Model::~Model()
{
    // Elements and edges point at nodes; they go first.
    m_elements.clear();
    m_edges.clear();
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
    m_edges.renumber();
    m_edges.numberMiddleNodes(quint64(m_nodes.count()));
}

void Model::writeBinary(QDataStream& out) const
{
    Object::writeBinary(out);
    m_nodes.writeBinary(out);
    m_materials.writeBinary(out);
    m_sections.writeBinary(out);
    m_elements.writeBinary(out);
    m_edges.writeBinary(out);
    m_boundaries.writeBinary(out);
    m_loads.writeBinary(out);
}

} // namespace Folvane
