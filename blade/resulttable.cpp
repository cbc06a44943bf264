#include "blade/resulttable.h"

#include <QFile>
#include <QStringList>
#include <cmath>
#include <vector>

namespace Folvane {

namespace {

const char* const Header = "Blade Length, Area, Volume, Price, Mass, def X, def Y, Twist, Sv, S11, S22, S33, S12, S13, S23, "
                           "E11, E22, E33, E12, E13, E23";
// Far beyond any table the program writes (a few thousand stations).
constexpr qint64 MaxBytes = 64 * 1024 * 1024;

} // namespace

bool readResultTable(const QString& path, ResultTable& table, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot open it: ") + file.errorString();
        return false;
    }
    if (file.size() > MaxBytes) {
        error = QStringLiteral("it is larger than 64 MB");
        return false;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (lines.isEmpty() || lines[0].trimmed() != QLatin1String(Header)) {
        error = QStringLiteral("line 1 is not the header of a result table");
        return false;
    }
    std::vector<double> values;
    int rows = 0;
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.isEmpty())
            continue;
        if (fields.size() != ResultTable::Columns) {
            error = QStringLiteral("line %1 has %2 values, not %3").arg(i + 1).arg(fields.size()).arg(ResultTable::Columns);
            return false;
        }
        for (const QString& f : fields) {
            bool ok = false;
            const double v = f.toDouble(&ok);
            if (!ok || !std::isfinite(v)) {
                error = QStringLiteral("line %1: '%2' is not a number").arg(i + 1).arg(f);
                return false;
            }
            values.push_back(v);
        }
        ++rows;
    }
    if (rows == 0) {
        error = QStringLiteral("it has no rows");
        return false;
    }
    table.rows = Eigen::Map<const Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>>(
        values.data(), rows, ResultTable::Columns);
    return true;
}

} // namespace Folvane
