#include "blade/loadtable.h"

#include "blade/kblade.h"
#include "blade/kload.h"
#include "core/messages.h"
#include "core/parameterlist.h"
#include "geometry/kprofile.h"
#include "geometry/kprofilelist.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <cmath>

namespace Folvane {

namespace {

// Load tables are short; anything near this is not one.
constexpr qint64 MaxLoadTableBytes = 16 * 1024 * 1024;

// Profile locations carry 6 significant digits (an imported one moves by up
// to half a millimetre): a load that far beyond the root or tip is on them.
constexpr double SpanRounding = 0.5;

struct Span
{
    double root = qInf();
    double tip = -qInf();
    bool holds(double location) const { return location >= root - SpanRounding && location <= tip + SpanRounding; }
};

// From the root to the tip: the profiles' locations, whatever their order.
Span bladeSpan(const KBlade& document)
{
    document.parameters()->resetEngine();
    Span span;
    const KProfileList* profiles = document.profiles();
    for (int i = 0; i < profiles->count(); ++i) {
        const double location = profiles->profile(i)->loc()->value();
        if (std::isfinite(location)) {
            span.root = std::min(span.root, location);
            span.tip = std::max(span.tip, location);
        }
    }
    return span;
}

bool refuseOutside(const std::vector<TableLoad>& loads, const Span& span, QString& error)
{
    if (span.root > span.tip) {
        error = QStringLiteral("the blade has no profile to place loads on");
        return false;
    }
    for (const TableLoad& load : loads) {
        if (!span.holds(load.location)) {
            error = QStringLiteral("line %1: the location %2 mm lies outside the blade, which runs from %3 to %4 mm")
                        .arg(load.line)
                        .arg(formatNumber(load.location), formatNumber(span.root), formatNumber(span.tip));
            return false;
        }
    }
    return true;
}

// The forces added up, and the moments about the root (r x F with
// r = (0, 0, z - root)) they give at their locations.
QString totalsLine(const QString& name, const std::vector<TableLoad>& loads, double root)
{
    double fx = 0.0, fy = 0.0, fz = 0.0, mx = 0.0, my = 0.0;
    for (const TableLoad& load : loads) {
        fx += load.x;
        fy += load.y;
        fz += load.z;
        mx -= load.y * (load.location - root);
        my += load.x * (load.location - root);
    }
    return QStringLiteral("Load case %1: ΣFx %2 N, ΣFy %3 N, ΣFz %4 N; about the root (z %5 mm) the rows at their "
                          "locations give Mx %6 N·mm, My %7 N·mm")
        .arg(name, formatNumber(fx), formatNumber(fy), formatNumber(fz), formatNumber(root), formatNumber(mx),
             formatNumber(my));
}

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
        loads.push_back({values[0], values[1], values[2], values[3], i + 1});
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

bool importLoadCase(KBlade& document, const QString& path, QStringList& report, QString& error)
{
    std::vector<TableLoad> loads;
    const Span span = bladeSpan(document);
    if (!readLoadTable(path, loads, error) || !refuseOutside(loads, span, error))
        return false;
    const QString name = QFileInfo(path).completeBaseName();
    appendLoadCase(document, name, loads);
    report = QStringList{QStringLiteral("Load case %1 added with %2 point loads").arg(name).arg(loads.size()),
                         totalsLine(name, loads, span.root)};
    return true;
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
