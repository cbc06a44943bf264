#ifndef FOLVANE_PARAMETERGENES_H
#define FOLVANE_PARAMETERGENES_H

#include <cstdint>

namespace Folvane {

class Chromosome;
class Gene;
class Parameter;
class ParameterList;

// The design parameters as the optimiser sees them: each one an integer
// gene over its range on its decimal grid.

// A new gene over the parameter's range; ranges beyond 64 bits are clamped.
Gene* geneOf(const Parameter& parameter);
// The value at that grid point, held within the range.
void setFromGene(Parameter& parameter, int64_t gene);

// A new chromosome with a gene for every parameter, in list order.
Chromosome* chromosomeOf(const ParameterList& parameters);
// Every parameter from its gene; a chromosome of another length is
// refused with a message and changes nothing.
void importChromosome(ParameterList& parameters, const Chromosome& chromosome);

} // namespace Folvane

#endif
