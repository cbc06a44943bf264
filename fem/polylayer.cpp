#include "fem/polylayer.h"

#include "core/messages.h"
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
