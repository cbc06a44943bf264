#ifndef FOLVANE_ARITHMETIC_H
#define FOLVANE_ARITHMETIC_H

#include <QStringList>
#include <QString>

namespace Folvane {

// Whether an expression is plain arithmetic: numbers, the given names, the
// members of Math and a few numeric built-ins, operators and parentheses.
// Nothing else reaches the script engine, so no expression can loop, build
// strings, define functions or change the engine's variables.
bool isArithmetic(const QString& expression, const QStringList& names);

} // namespace Folvane

#endif
