#ifndef FOLVANE_LOADTABLE_H
#define FOLVANE_LOADTABLE_H

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace Folvane {

class KBlade;

struct TableLoad
{
    double location = 0.0;   // mm along the span
    double x = 0.0, y = 0.0, z = 0.0;   // N
    int line = 0;   // of the table, for messages
};

// A load table: one header line, then one point load per line: span
// location, Fx, Fy and Fz, separated by commas (semicolons, tabs or blanks
// do too). Blank lines are skipped. On failure the error names the line.
bool parseLoadTable(const QByteArray& text, std::vector<TableLoad>& loads, QString& error);
bool readLoadTable(const QString& path, std::vector<TableLoad>& loads, QString& error);

// Adds the table at path to the document as a load case named after the
// file. Every location must lie on the blade: within the span of its
// profiles, half a millimetre either side for rounding. report says what
// came in and its totals; on failure error says why and the document is
// unchanged.
bool importLoadCase(KBlade& document, const QString& path, QStringList& report, QString& error);

// Appends a load case of these point loads to the document's load list.
void appendLoadCase(KBlade& document, const QString& name, const std::vector<TableLoad>& loads);

} // namespace Folvane

#endif
