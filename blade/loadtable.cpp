#include "blade/loadtable.h"

#include "blade/kblade.h"
#include "blade/kload.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <cmath>

namespace Folvane {

namespace {

// Load tables are short; anything near this is not one.
constexpr qint64 MaxLoadTableBytes = 16 * 1024 * 1024;

} // namespace

bool parseLoadTable(const QByteArray& text, std::vector<TableLoad>& loads, QString& error)
{
    loads.clear();
    static const QRegularExpression separators(QStringLiteral("[,;\\t ]+"));
    const QList<QByteArray> lines = text.split('\n');
    bool header = true;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).trimmed();
        if (line.isEmpty())
            continue;
        if (header) {
            header = false;
            continue;
        }
        const QStringList fields = line.split(separators, Qt::SkipEmptyParts);
        if (fields.size() != 4) {
            error = QStringLiteral("line %1: %2 fields, 4 expected (location, Fx, Fy, Fz)").arg(i + 1).arg(fields.size());
            return false;
        }
        double values[4];
        for (int k = 0; k < 4; ++k) {
            bool ok = false;
            values[k] = fields[k].toDouble(&ok);
            if (!ok || !std::isfinite(values[k])) {
                error = QStringLiteral("line %1: field %2, '%3', is not a finite number").arg(i + 1).arg(k + 1)
                            .arg(fields[k].left(40));
                return false;
            }
        }
        loads.push_back({values[0], values[1], values[2], values[3]});
    }
    if (loads.empty()) {
        error = header ? QStringLiteral("it is empty") : QStringLiteral("it holds a header and no loads");
        return false;
    }
    return true;
}

bool readLoadTable(const QString& path, std::vector<TableLoad>& loads, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("it cannot be opened");
        return false;
    }
    const QByteArray bytes = file.read(MaxLoadTableBytes + 1);
    if (bytes.size() > MaxLoadTableBytes) {
        error = QStringLiteral("it holds more than the %1 bytes a load table may have").arg(MaxLoadTableBytes);
        return false;
    }
    return parseLoadTable(bytes, loads, error);
}

void appendLoadCase(KBlade& document, const QString& name, const std::vector<TableLoad>& loads)
{
    QJsonArray points;
    for (const TableLoad& load : loads)
        points.append(QJsonObject{{QStringLiteral("Load Location"), load.location},
                                  {QStringLiteral("Load X"), load.x},
                                  {QStringLiteral("Load Y"), load.y},
                                  {QStringLiteral("Load Z"), load.z}});
    KLoadList* list = document.loads();
    list->appendSonFromJson(QJsonObject{{QStringLiteral("Name"), name}, {QStringLiteral("Loads"), points}});
    list->load(list->count() - 1)->sortLoads();
    list->updateModel();
}

} // namespace Folvane
