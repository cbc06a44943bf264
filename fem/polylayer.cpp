#include "fem/polylayer.h"

#include "core/messages.h"
#include "core/textbuffer.h"
#include "fem/element.h"
#include "fem/material.h"

#include <algorithm>
#include <numeric>

namespace Folvane {

PolyLayer::PolyLayer(const QString& name, PlyStack plies, int offset, Object* owner)
    : Object(name, 0, owner)
    , m_plies(std::move(plies))
    , m_offset(offset)
{
    for (size_t i = 0; i < m_plies.materials.size(); ++i) {
        const Material* m = m_plies.materials[i];
        m_arealMass += m->density() * m_plies.thicknesses[i];
        m_arealCost += m->price() * m->density() * m_plies.thicknesses[i];
    }
}

double PolyLayer::totalThickness() const
{
    return std::accumulate(m_plies.thicknesses.begin(), m_plies.thicknesses.end(), 0.0);
}

void PolyLayer::WriteSet(TextBuffer& out) const
{
    if (m_elements.empty())
        return;
    out << "\n*ELSET, ELSET=" << name() << '\n';
    writeNumberList(out, m_elements);
}

void PolyLayer::WriteCCX(TextBuffer& out) const
{
    if (!hasShell())
        return;
    // Offsets go out as the single-precision values 0.5, 0 and -0.5.
    const float offset = m_offset == Top ? 0.5f : (m_offset == Bottom ? -0.5f : 0.0f);
    out << "\n*SHELL SECTION,composite,ORIENTATION=OR,ELSET=" << name() << ",OFFSET=" << double(offset);
    for (int i = 0; i < plyCount(); ++i)
        out << '\n' << m_plies.thicknesses[size_t(i)] << ", , " << m_plies.materials[size_t(i)]->name();
}

void PolyLayer::WriteAbaqus(TextBuffer& out) const
{
    if (!hasShell())
        return;
    out << "\n*SHELL SECTION,ELSET=" << name() << ",composite"
        << (m_offset == Top ? ",OFFSET=SPOS" : (m_offset == Bottom ? ",OFFSET=SNEG" : ""));
    for (int i = plyCount() - 1; i >= 0; --i) {
        const size_t k = size_t(i);
        out << '\n' << m_plies.thicknesses[k] << ',' << m_plies.intPoints[k] << ',' << m_plies.materials[k]->name()
            << ',' << m_plies.angles[k];
    }
}

void PolyLayer::WriteAnsys(TextBuffer& out) const
{
    if (!hasShell())
        return;
    out << "\nsect," << number() << ",shell,," << name();
    for (int i = 0; i < plyCount(); ++i) {
        const size_t k = size_t(i);
        out << "\nsecdata, " << m_plies.thicknesses[k] << ", " << m_plies.materials[k]->number() << ", "
            << m_plies.angles[k] << ", " << m_plies.intPoints[k];
    }
    out << "\nsecoffset," << (m_offset == Top ? "TOP" : (m_offset == Bottom ? "BOT" : "MID")) << "\nSECNUM, "
        << number() << "\nCSYS, 0\nTSHAP,LINE";
    for (const Element* e : m_elements)
        e->WriteAnsys(out);
}

int PolyLayerList::maxPlyCount() const
{
    int most = 0;
    for (int i = 0; i < count(); ++i)
        most = std::max(most, at(i)->plyCount());
    return most;
}

RegionLayup::RegionLayup(const QString& name, std::vector<double> stations, Object* owner)
    : Object(name, 0, owner)
    , m_stations(std::move(stations))
{
}

PolyLayer* RegionLayup::ReadPloyLayer(int i) const
{
    if (i < 0 || i >= count()) {
        debugLine(QStringLiteral("RegionLayup - ReadPloyLayer: index not correct!"));
        return nullptr;
    }
    return m_sections[size_t(i)];
}

} // namespace Folvane
