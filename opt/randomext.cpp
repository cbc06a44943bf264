#include "opt/randomext.h"

#include "core/messages.h"

#include <algorithm>

namespace Folvane {

std::vector<int> RandomExt::RandomIntMq(RandomEngine& engine, int low, int high, int count, bool sorted)
{
    std::vector<int> values;
    if (int64_t(high) - low + 1 < count) {
        outLine(QStringLiteral("RandomExt - RandomIntMq - requested num is larger than interval"));
        return values;
    }
    std::uniform_int_distribution<int> draw(low, high);
    while (int(values.size()) < count) {
        int v = draw(engine);
        while (std::find(values.begin(), values.end(), v) != values.end())
            v = draw(engine);
        values.push_back(v);
    }
    if (sorted)
        std::sort(values.begin(), values.end());
    return values;
}

} // namespace Folvane
