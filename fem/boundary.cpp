#include "fem/boundary.h"

#include "core/messages.h"
#include "core/textbuffer.h"
#include "fem/node.h"

#include <algorithm>

namespace Folvane {

NodeBoundary::NodeBoundary(const QString& name, Object* owner)
    : Object(name, 0, owner)
{
}

// The nodes gathered under the set's name, as ANSYS selects them.
static void writeAnsysComponent(TextBuffer& out, const QString& name, const std::vector<Node*>& nodes)
{
    if (nodes.empty())
        return;
    out << "\n/PREP7\nNSEL, ALL\nNSEL, S, NODE, , " << nodes.front()->number();
    for (size_t i = 1; i < nodes.size(); ++i)
        out << "\nNSEL, A, NODE, , " << nodes[i]->number();
    out << "\nCM, " << name << ", NODE\nNSEL, ALL";
}

static void writeNodeSet(TextBuffer& out, const QString& name, const std::vector<Node*>& nodes)
{
    out << "\n*NSET, NSET=" << name << '\n';
    writeNumberList(out, nodes);
}

// The set as Abaqus names it from outside its part, in the instance.
static QString instanceSet(const Object& set)
{
    return set.modelDeckName() + QStringLiteral("-1.") + set.deckName(Deck::Keyword);
}

void NodeBoundary::WriteSet(TextBuffer& out) const
{
    writeNodeSet(out, deckName(Deck::Keyword), m_nodes);
}

void NodeBoundary::WriteCCX(TextBuffer& out) const
{
    for (int d = 0; d < 6; ++d) {
        if (m_fixed[size_t(d)])
            out << '\n' << deckName(Deck::Keyword) << ", " << d + 1;
    }
}

void NodeBoundary::WriteAbaqus(TextBuffer& out) const
{
    const QString set = instanceSet(*this);
    for (int d = 0; d < 6; ++d) {
        if (m_fixed[size_t(d)])
            out << '\n' << set << ", " << d + 1;
    }
}

void NodeBoundary::WriteAnsys(TextBuffer& out) const
{
    const QString& component = deckName(Deck::Ansys);
    writeAnsysComponent(out, component, m_nodes);
    const char* labels[] = {"UX", "UY", "UZ", "ROTX", "ROTY", "ROTZ"};
    for (int d = 0; d < 6; ++d) {
        if (m_fixed[size_t(d)])
            out << "\nD, " << component << ", " << labels[d] << ", 0";
    }
}

NodeLoad::NodeLoad(const QString& name, int station, std::vector<double> fx, std::vector<double> fy,
                   std::vector<double> fz, Object* owner)
    : Object(name, 0, owner)
    , m_station(station)
    , m_fx(std::move(fx))
    , m_fy(std::move(fy))
    , m_fz(std::move(fz))
{
}

std::array<double, 3> NodeLoad::force(int loadCase) const
{
    if (loadCase < 0 || loadCase >= loadCaseCount())
        return {0.0, 0.0, 0.0};
    const size_t i = size_t(loadCase);
    return {m_fx[i], m_fy[i], m_fz[i]};
}

bool NodeLoad::isActive() const
{
    if (m_nodes.empty())
        return false;
    return std::any_of(m_current.begin(), m_current.end(), [](double f) { return f != 0.0; });
}

void NodeLoad::writeForces(TextBuffer& out, const QString& setName, const char* const labels[3]) const
{
    const double n = double(m_nodes.size());
    for (int k = 0; k < 3; ++k) {
        if (m_current[size_t(k)] != 0.0)
            out << '\n' << setName << labels[k] << m_current[size_t(k)] / n;
    }
}

void NodeLoad::WriteSet(TextBuffer& out) const
{
    writeNodeSet(out, deckName(Deck::Keyword), m_nodes);
}

void NodeLoad::WriteCCX(TextBuffer& out) const
{
    if (!isActive())
        return;
    static const char* const labels[3] = {", 1, ", ", 2, ", ", 3, "};
    out << "\n*CLOAD";
    writeForces(out, deckName(Deck::Keyword), labels);
}

void NodeLoad::WriteAbaqus(TextBuffer& out) const
{
    if (!isActive())
        return;
    static const char* const labels[3] = {", 1, ", ", 2, ", ", 3, "};
    out << "\n*CLOAD";
    writeForces(out, instanceSet(*this), labels);
}

void NodeLoad::WriteAnsys(TextBuffer& out) const
{
    if (!isActive())
        return;
    writeAnsysComponent(out, deckName(Deck::Ansys), m_nodes);
    out << "\n/GO";
    static const char* const labels[3] = {", FX, ", ", FY, ", ", FZ, "};
    writeForces(out, QStringLiteral("F, ") + deckName(Deck::Ansys), labels);
}

void NodeLoadList::setCurrentLoadCase(int loadCase)
{
    m_current = loadCase;
    for (int i = 0; i < count(); ++i)
        at(i)->setCurrentLoadCase(loadCase);
}

int NodeLoadList::ReadLoadNum() const
{
    if (count() == 0) {
        debugLine(QStringLiteral("NodeLoadList - ReadLoadNum: no load defined!"));
        return 0;
    }
    return at(0)->loadCaseCount();
}

} // namespace Folvane
