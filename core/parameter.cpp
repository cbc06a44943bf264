#include "core/parameter.h"

#include "core/binaryio.h"
#include "core/messages.h"

#include <cmath>
#include <limits>

namespace Folvane {

Parameter::Parameter(QObject* parent)
    : KObject(parent)
{
    setName(QStringLiteral("P"));
}

Parameter::Parameter(QDataStream& in, QObject* parent)
    : KObject(in, parent)
{
    m_value = Binary::readReal(in);
    m_low = Binary::readReal(in);
    m_high = Binary::readReal(in);
    m_digitNum = Binary::readInt(in);
    m_disType = Distribution(Binary::readInt(in));
    m_isSampled = Binary::readFlag(in);
    m_isOpt = Binary::readFlag(in);
    m_par1 = Binary::readReal(in);
    m_par2 = Binary::readReal(in);
}

void Parameter::writeBinary(QDataStream& out) const
{
    KObject::writeBinary(out);
    Binary::writeReal(out, m_value);
    Binary::writeReal(out, m_low);
    Binary::writeReal(out, m_high);
    Binary::writeInt(out, Binary::truncatedInt(m_digitNum));
    Binary::writeInt(out, m_disType);
    Binary::writeFlag(out, m_isSampled);
    Binary::writeFlag(out, m_isOpt);
    Binary::writeReal(out, m_par1);
    Binary::writeReal(out, m_par2);
}

static bool positive(double v)
{
    return v > 0.0 && std::isfinite(v);
}

static bool spread(double v)
{
    return v >= 0.0 && std::isfinite(v);
}

void Parameter::sample(std::mt19937_64& engine)
{
    if (!m_isSampled)
        return;
    // Parameters outside a distribution's domain would make the standard
    // distributions loop without end or return garbage: keep the value.
    bool valid = true;
    switch (m_disType) {
    case StdNorm:
    case LogNorm: valid = std::isfinite(m_par1) && spread(m_par2); break;
    case Uniform: valid = std::isfinite(m_par1) && std::isfinite(m_par2); break;
    case Weibull:
    case Gamma: valid = positive(m_par1) && positive(m_par2); break;
    case Exponential: valid = positive(m_par1); break;
    case Poisson: valid = positive(m_par1) && m_par1 < 1e15; break;
    default: return;
    }
    if (!valid) {
        debugLine(QStringLiteral("Parameter - sample: distribution parameters of %1 not valid").arg(name()));
        return;
    }
    auto unit = [&engine] { return std::uniform_real_distribution<double>(0.0, 1.0)(engine); };
    switch (m_disType) {
    case StdNorm: m_value = std::normal_distribution<double>(m_par1, m_par2)(engine); break;
    case LogNorm: m_value = std::exp(std::normal_distribution<double>(m_par1, m_par2)(engine)); break;
    case Uniform: m_value = m_par1 + unit() * (m_par2 - m_par1); break;
    case Weibull: m_value = m_par2 * std::pow(-std::log(1.0 - unit()), 1.0 / m_par1); break;
    case Gamma: m_value = std::gamma_distribution<double>(m_par1, m_par2)(engine); break;
    case Exponential: m_value = -std::log(1.0 - unit()) / m_par1; break;
    case Poisson: m_value = double(std::poisson_distribution<long long>(m_par1)(engine)); break;
    }
}

double Parameter::gridScale() const
{
    return std::pow(10.0, m_digitNum);
}

} // namespace Folvane
