#include "opt/parametergenes.h"

#include "core/messages.h"
#include "core/parameter.h"
#include "core/parameterlist.h"
#include "opt/chromosome.h"
#include "opt/gene.h"

#include <algorithm>
#include <cmath>

namespace Folvane {

static int64_t truncatedInt64(double v)
{
    if (!(v == v))
        return 0;
    constexpr double limit = 9.2e18;
    return int64_t(std::trunc(std::max(-limit, std::min(limit, v))));
}

Gene* geneOf(const Parameter& parameter)
{
    const double scale = parameter.gridScale();
    return new Gene(truncatedInt64(scale * parameter.low()), truncatedInt64(scale * parameter.high()));
}

void setFromGene(Parameter& parameter, int64_t gene)
{
    const double value = double(gene) / parameter.gridScale();
    if (value < parameter.low())
        parameter.setValue(parameter.low());
    else if (value > parameter.high())
        parameter.setValue(parameter.high());
    else
        parameter.setValue(value);
}

Chromosome* chromosomeOf(const ParameterList& parameters)
{
    auto* chromosome = new Chromosome;
    for (int i = 0; i < parameters.count(); ++i)
        chromosome->addGene(geneOf(*parameters.parameter(i)));
    return chromosome;
}

void importChromosome(ParameterList& parameters, const Chromosome& chromosome)
{
    const std::vector<int64_t> genes = chromosome.GeneValues();
    if (int(genes.size()) != parameters.count()) {
        debugLine(QStringLiteral("ParameterList - ImportChromosome: size not correct!"));
        return;
    }
    for (int i = 0; i < parameters.count(); ++i)
        setFromGene(*parameters.parameter(i), genes[i]);
}

} // namespace Folvane
