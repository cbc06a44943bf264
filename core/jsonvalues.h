#ifndef FOLVANE_JSONVALUES_H
#define FOLVANE_JSONVALUES_H

#include <QJsonArray>
#include <QJsonObject>

namespace Folvane {

// JSON values as the exchange file reads them: a missing key or a value of
// another type reads as 0, an empty text or an empty array.
inline double jsonNumber(const QJsonObject& json, const char* key)
{
    return json.value(QLatin1String(key)).toDouble(0.0);
}

int jsonInt(const QJsonObject& json, const char* key);

inline QString jsonText(const QJsonObject& json, const char* key)
{
    return json.value(QLatin1String(key)).toString();
}

inline QJsonArray jsonArray(const QJsonObject& json, const char* key)
{
    return json.value(QLatin1String(key)).toArray();
}

// An integer from a JSON number: cut toward zero, clamped to 32 bits.
int jsonToInt(const QJsonValue& value);

} // namespace Folvane

#endif
