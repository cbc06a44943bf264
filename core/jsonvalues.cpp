#include "core/jsonvalues.h"

#include "core/binaryio.h"

namespace Folvane {

int jsonToInt(const QJsonValue& value)
{
    return Binary::truncatedInt(value.toDouble(0.0));
}

int jsonInt(const QJsonObject& json, const char* key)
{
    return jsonToInt(json.value(QLatin1String(key)));
}

} // namespace Folvane
