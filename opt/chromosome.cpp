#include "opt/chromosome.h"

#include "core/binaryio.h"
#include "core/messages.h"

namespace Folvane {

Chromosome::Chromosome(QDataStream& in)
{
    const quint64 genes = Binary::readUInt64(in);
    if (Binary::fits(in, genes, Gene::RecordBytes)) {
        m_genes.reserve(genes);
        for (quint64 i = 0; i < genes; ++i)
            m_genes.push_back(new Gene(in));
    }
    m_fitness = Binary::readReal(in);
    const quint64 objectives = Binary::readUInt64(in);
    if (Binary::fits(in, objectives, 8)) {
        m_objectives.reserve(objectives);
        for (quint64 i = 0; i < objectives; ++i)
            m_objectives.push_back(Binary::readReal(in));
    }
    m_evaluated = Binary::readFlag(in);
}

Chromosome::~Chromosome()
{
    for (Gene* g : m_genes)
        delete g;
}

void Chromosome::Write(QDataStream& out) const
{
    out << quint64(m_genes.size());
    for (const Gene* g : m_genes)
        g->Write(out);
    Binary::writeReal(out, m_fitness);
    out << quint64(m_objectives.size());
    for (double v : m_objectives)
        Binary::writeReal(out, v);
    Binary::writeFlag(out, m_evaluated);
}

Chromosome* Chromosome::Clone() const
{
    auto* copy = new Chromosome;
    copy->m_genes.reserve(m_genes.size());
    for (const Gene* g : m_genes)
        copy->m_genes.push_back(g->Clone());
    if (m_evaluated)
        copy->SetResult(m_fitness, m_objectives);
    return copy;
}

void Chromosome::Randomize()
{
    do {
        for (Gene* g : m_genes)
            g->Randomize();
    } while (IsRejected());
    m_evaluated = false;
}

bool Chromosome::IsRejected() const
{
    return false;
}

bool Chromosome::Equals(const Chromosome& other) const
{
    if (m_genes.size() != other.m_genes.size())
        return false;
    for (size_t i = 0; i < m_genes.size(); ++i) {
        if (!m_genes[i]->Equals(*other.m_genes[i]))
            return false;
    }
    return true;
}

Gene* Chromosome::ReadGene(int index) const
{
    if (index < 0 || index >= int(m_genes.size())) {
        outLine(QStringLiteral("Chromosome - ReadGene: index not correct!"));
        return nullptr;
    }
    return m_genes[index];
}

std::vector<int64_t> Chromosome::GeneValues() const
{
    std::vector<int64_t> values;
    values.reserve(m_genes.size());
    for (const Gene* g : m_genes)
        values.push_back(g->value());
    return values;
}

void Chromosome::SetResult(double fitness, const std::vector<double>& objectives)
{
    m_fitness = fitness;
    m_objectives = objectives;
    m_evaluated = true;
}

void Chromosome::Mutate(double p)
{
    for (Gene* g : m_genes) {
        if (g->MutateWithProbability(p))
            return;
    }
}

void Chromosome::setEngine(RandomEngine* engine)
{
    for (Gene* g : m_genes)
        g->setEngine(engine);
}

} // namespace Folvane
