#ifndef FOLVANE_LOADTABLE_H
#define FOLVANE_LOADTABLE_H

#include <QByteArray>
#include <QString>
#include <vector>

namespace Folvane {

class KBlade;

struct TableLoad
{
    double location = 0.0;   // mm along the span
    double x = 0.0, y = 0.0, z = 0.0;   // N
};

// A load table: one header line, then one point load per line: span
// location, Fx, Fy and Fz, separated by commas (semicolons, tabs or blanks
// do too). Blank lines are skipped. On failure the error names the line.
bool parseLoadTable(const QByteArray& text, std::vector<TableLoad>& loads, QString& error);
bool readLoadTable(const QString& path, std::vector<TableLoad>& loads, QString& error);

// Appends a load case of these point loads to the document's load list.
void appendLoadCase(KBlade& document, const QString& name, const std::vector<TableLoad>& loads);

} // namespace Folvane

#endif
