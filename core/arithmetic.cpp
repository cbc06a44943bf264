#include "core/arithmetic.h"

#include <QSet>

#include <algorithm>

namespace Folvane {

namespace {

const QSet<QString>& globalNames()
{
    static const QSet<QString> names{"Math", "NaN", "Infinity", "isNaN", "isFinite",
                                     "parseFloat", "parseInt", "Number", "true", "false"};
    return names;
}

const QSet<QString>& mathMembers()
{
    static const QSet<QString> members{
        "E", "LN2", "LN10", "LOG2E", "LOG10E", "PI", "SQRT1_2", "SQRT2",
        "abs", "acos", "asin", "atan", "atan2", "ceil", "cos", "exp", "floor",
        "log", "max", "min", "pow", "random", "round", "sin", "sqrt", "tan"};
    return members;
}

// Longest first, so that "===" is not read as "==" and "=".
const QStringList& operators()
{
    static const QStringList ops{">>>", "===", "!==", "<=", ">=", "==", "!=", "&&", "||",
                                 "<<", ">>", "+", "-", "*", "/", "%", "(", ")", ",", "?",
                                 ":", "<", ">", "!", "~", "&", "|", "^"};
    return ops;
}

bool identifierStart(QChar c) { return c.isLetter() || c == '_' || c == '$'; }
bool identifierPart(QChar c) { return c.isLetterOrNumber() || c == '_' || c == '$'; }

// Length of the number literal at i (decimal with fraction and exponent, or
// hexadecimal), 0 when there is none.
int numberLength(const QString& s, int i)
{
    const int n = s.size();
    int j = i;
    if (j + 1 < n && s[j] == '0' && (s[j + 1] == 'x' || s[j + 1] == 'X')) {
        j += 2;
        while (j < n && QStringLiteral("0123456789abcdefABCDEF").contains(s[j]))
            ++j;
        return j > i + 2 ? j - i : 0;
    }
    int digits = 0;
    while (j < n && s[j].isDigit()) { ++j; ++digits; }
    if (j < n && s[j] == '.') {
        ++j;
        while (j < n && s[j].isDigit()) { ++j; ++digits; }
    }
    if (digits == 0)
        return 0;
    if (j < n && (s[j] == 'e' || s[j] == 'E')) {
        int k = j + 1;
        if (k < n && (s[k] == '+' || s[k] == '-'))
            ++k;
        if (k < n && s[k].isDigit()) {
            while (k < n && s[k].isDigit())
                ++k;
            j = k;
        }
    }
    return j - i;
}

} // namespace

bool isArithmetic(const QString& s, const QStringList& names)
{
    // Engineers' expressions are short; a huge text is damage, and parsing
    // it would take seconds.
    constexpr int MaxLength = 10000;
    const int n = s.size();
    if (n > MaxLength)
        return false;
    int i = 0;
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
        } else if (const int len = numberLength(s, i)) {
            i += len;
            if (i < n && identifierPart(s[i]))
                return false;
        } else if (identifierStart(c)) {
            int j = i;
            while (j < n && identifierPart(s[j]))
                ++j;
            const QString word = s.mid(i, j - i);
            i = j;
            if (word == QLatin1String("Math")) {
                // Math is only ever used through one of its members.
                while (i < n && s[i].isSpace())
                    ++i;
                if (i >= n || s[i] != '.')
                    return false;
                ++i;
                while (i < n && s[i].isSpace())
                    ++i;
                j = i;
                while (j < n && identifierPart(s[j]))
                    ++j;
                if (!mathMembers().contains(s.mid(i, j - i)))
                    return false;
                i = j;
            } else if (!names.contains(word) && !globalNames().contains(word)) {
                return false;
            }
        } else {
            const auto op = std::find_if(operators().begin(), operators().end(),
                                         [&](const QString& o) { return s.midRef(i, o.size()) == o; });
            if (op == operators().end())
                return false;
            // Increments would change the engine's variables; a lone "=" is
            // no operator here, so assignments never pass.
            if ((*op == "+" || *op == "-") && s.midRef(i + 1, 1) == *op)
                return false;
            i += op->size();
        }
    }
    return true;
}

} // namespace Folvane
