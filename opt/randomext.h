#ifndef FOLVANE_RANDOMEXT_H
#define FOLVANE_RANDOMEXT_H

#include "opt/gene.h"

#include <vector>

namespace Folvane {

class RandomExt
{
public:
    // count distinct integers drawn uniformly from [low, high]; empty, with
    // a message, when the interval holds fewer than count integers.
    static std::vector<int> RandomIntMq(RandomEngine& engine, int low, int high, int count, bool sorted);
};

} // namespace Folvane

#endif
