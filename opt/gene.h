#ifndef FOLVANE_GENE_H
#define FOLVANE_GENE_H

#include <QDataStream>
#include <cstdint>
#include <random>

namespace Folvane {

using RandomEngine = std::mt19937;

// One integer design variable drawn from the closed range [low, high].
class Gene
{
public:
    Gene(int64_t low, int64_t high, RandomEngine* engine = nullptr);
    explicit Gene(QDataStream& in, RandomEngine* engine = nullptr);

    virtual void Write(QDataStream& out) const;
    virtual ~Gene();
    virtual int64_t Randomize();
    virtual Gene* Clone() const;
    virtual bool Equals(const Gene& other) const;

    bool MutateWithProbability(double p);

    int64_t low() const { return m_low; }
    int64_t high() const { return m_high; }
    int64_t value() const { return m_value; }
    void setValue(int64_t value) { m_value = value; }
    void setEngine(RandomEngine* engine) { m_engine = engine; }
    RandomEngine* engine() const { return m_engine; }

    // Bytes of one gene in a chromosome record.
    static constexpr qint64 RecordBytes = 24;

private:
    int64_t m_low = 0;
    int64_t m_high = 0;
    int64_t m_value = 0;
    RandomEngine* m_engine = nullptr;
};

// A uniform real in [0, 1) from the engine.
double uniformUnit(RandomEngine& engine);

} // namespace Folvane

#endif
