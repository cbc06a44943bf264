#ifndef FOLVANE_MODEL_H
#define FOLVANE_MODEL_H

#include "fem/boundary.h"
#include "fem/edge.h"
#include "fem/element.h"
#include "fem/material.h"
#include "fem/node.h"
#include "fem/polylayer.h"

namespace Folvane {

// The FE model of one build, named after the blade (the solver job name).
// It owns every FE object through its seven lists.
class Model : public Object
{
public:
    explicit Model(const QString& name);

    NodeList& nodes() { return m_nodes; }
    EdgeList& edges() { return m_edges; }
    ElementList& elements() { return m_elements; }
    MaterialList& materials() { return m_materials; }
    PolyLayerList& sections() { return m_sections; }
    NodeBoundaryList& boundaries() { return m_boundaries; }
    NodeLoadList& loads() { return m_loads; }
    const NodeList& nodes() const { return m_nodes; }
    const EdgeList& edges() const { return m_edges; }
    const ElementList& elements() const { return m_elements; }
    const MaterialList& materials() const { return m_materials; }
    const PolyLayerList& sections() const { return m_sections; }
    const NodeBoundaryList& boundaries() const { return m_boundaries; }
    const NodeLoadList& loads() const { return m_loads; }

    QString modelName() const override { return name(); }
    QString modelDeckName() const override { return deckName(Deck::Keyword); }
    // Gives the materials, sections, boundaries, loads and the model itself
    // the names the decks write (see deckNames), once: the writers call it,
    // so a model is named for decks once, however many it writes.
    void nameForDecks();
    // Sizes every node's and element's results for the load cases of the loads.
    void initResults();
    // Nodes, elements and edges from 0 in list order, then the middle nodes
    // after the last corner node.
    void numberEntities();

private:
    NodeList m_nodes;
    EdgeList m_edges;
    ElementList m_elements;
    MaterialList m_materials;
    PolyLayerList m_sections;
    NodeBoundaryList m_boundaries;
    NodeLoadList m_loads;
    bool m_namedForDecks = false;
};

} // namespace Folvane

#endif
