#ifndef FOLVANE_CHROMOSOME_H
#define FOLVANE_CHROMOSOME_H

#include "opt/gene.h"

#include <QDataStream>
#include <vector>

namespace Folvane {

// An ordered list of owned genes with the fitness and objective values
// that the last evaluation gave it.
class Chromosome
{
public:
    Chromosome() = default;
    explicit Chromosome(QDataStream& in);
    Chromosome(const Chromosome&) = delete;
    Chromosome& operator=(const Chromosome&) = delete;

    virtual ~Chromosome();
    virtual void Write(QDataStream& out) const;
    virtual Chromosome* Clone() const;
    virtual void Randomize();
    virtual bool IsRejected() const;
    virtual bool Equals(const Chromosome& other) const;

    void addGene(Gene* gene) { m_genes.push_back(gene); }
    int geneCount() const { return int(m_genes.size()); }
    Gene* ReadGene(int index) const;
    std::vector<int64_t> GeneValues() const;

    void SetResult(double fitness, const std::vector<double>& objectives);
    double fitness() const { return m_fitness; }
    const std::vector<double>& objectives() const { return m_objectives; }
    bool isEvaluated() const { return m_evaluated; }

    void Mutate(double p);
    void setEngine(RandomEngine* engine);

private:
    std::vector<Gene*> m_genes;
    double m_fitness = 0.0;
    std::vector<double> m_objectives;
    bool m_evaluated = false;
};

} // namespace Folvane

#endif
