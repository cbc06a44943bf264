#include "fem/boundary.h"

#include "core/messages.h"

namespace Folvane {

NodeBoundary::NodeBoundary(const QString& name, Object* owner)
    : Object(name, 0, owner)
{
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

int NodeLoadList::ReadLoadNum() const
{
    if (count() == 0) {
        debugLine(QStringLiteral("NodeLoadList - ReadLoadNum: no load defined!"));
        return 0;
    }
    return at(0)->loadCaseCount();
}

} // namespace Folvane
