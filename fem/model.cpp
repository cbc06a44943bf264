#include "fem/model.h"

#include <algorithm>

namespace Folvane {

namespace {

// The element sets every keyword deck holds besides the sections': all
// elements, the elements by shape and one set per element.
bool isElementSetOfDeck(const QString& upper)
{
    if (upper == QLatin1String("EALL") || upper == QLatin1String("ES8R") || upper == QLatin1String("ES6"))
        return true;
    return upper.size() > 1 && upper.front() == QLatin1Char('E')
        && std::all_of(upper.begin() + 1, upper.end(), [](QChar c) { return c.isDigit(); });
}

bool isNodeSetOfDeck(const QString& upper)
{
    return upper == QLatin1String("NALL");
}

// One kind of name, named in both decks.
void nameForDecks(const std::vector<Object*>& objects, QChar initial, const ReservedName& reserved)
{
    QStringList names;
    for (const Object* o : objects)
        names << o->name();
    for (Deck deck : {Deck::Keyword, Deck::Ansys}) {
        const QStringList mapped = deckNames(names, deckNameRule(deck), initial, reserved);
        for (size_t i = 0; i < objects.size(); ++i)
            objects[i]->setDeckName(deck, mapped[int(i)]);
    }
}

template <typename List>
std::vector<Object*> membersOf(const List& list)
{
    std::vector<Object*> members;
    for (int i = 0; i < list.count(); ++i)
        members.push_back(list.at(i));
    return members;
}

} // namespace

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

void Model::nameForDecks()
{
    if (m_namedForDecks)
        return;
    m_namedForDecks = true;
    Folvane::nameForDecks(membersOf(m_materials), QLatin1Char('M'), nullptr);
    Folvane::nameForDecks(membersOf(m_sections), QLatin1Char('S'), isElementSetOfDeck);
    // Boundaries and loads are both node sets.
    std::vector<Object*> nodeSets = membersOf(m_boundaries);
    const std::vector<Object*> loads = membersOf(m_loads);
    nodeSets.insert(nodeSets.end(), loads.begin(), loads.end());
    Folvane::nameForDecks(nodeSets, QLatin1Char('N'), isNodeSetOfDeck);
    // Abaqus names the instance "<part>-1" and sets in it "<part>-1.<set>".
    const DeckNameRule part{KeywordNames.maxLength - 2, true};
    setDeckName(Deck::Keyword, deckNames({name()}, part, QLatin1Char('B')).front());
}

void Model::numberEntities()
{
    m_nodes.renumber();
    m_elements.renumber();
    m_edges.numberMiddleNodes(quint64(m_nodes.count()));
}

} // namespace Folvane
