#include "opt/gene.h"

#include "core/binaryio.h"

#include <algorithm>

namespace Folvane {

double uniformUnit(RandomEngine& engine)
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(engine);
}

Gene::Gene(int64_t low, int64_t high, RandomEngine* engine)
    : m_low(low)
    , m_high(high)
    , m_value(low)
    , m_engine(engine)
{
}

Gene::Gene(QDataStream& in, RandomEngine* engine)
    : m_low(Binary::readInt64(in))
    , m_high(Binary::readInt64(in))
    , m_value(Binary::readInt64(in))
    , m_engine(engine)
{
}

Gene::~Gene() = default;

void Gene::Write(QDataStream& out) const
{
    Binary::writeInt64(out, m_low);
    Binary::writeInt64(out, m_high);
    Binary::writeInt64(out, m_value);
}

int64_t Gene::Randomize()
{
    // Bounds read from a damaged record may come swapped.
    if (m_engine) {
        std::uniform_int_distribution<int64_t> draw(std::min(m_low, m_high), std::max(m_low, m_high));
        m_value = draw(*m_engine);
    }
    return m_value;
}

Gene* Gene::Clone() const
{
    auto* copy = new Gene(m_low, m_high, m_engine);
    copy->m_value = m_value;
    return copy;
}

bool Gene::Equals(const Gene& other) const
{
    return m_value == other.m_value;
}

bool Gene::MutateWithProbability(double p)
{
    if (!m_engine || !(p > uniformUnit(*m_engine)))
        return false;
    Randomize();
    return true;
}

} // namespace Folvane
