#include "fem/decknames.h"

#include <QSet>
#include <algorithm>

namespace Folvane {

namespace {

bool isAsciiLetter(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

bool isNameCharacter(QChar c, const DeckNameRule& rule)
{
    const ushort u = c.unicode();
    return isAsciiLetter(c) || (u >= '0' && u <= '9') || u == '_' || (rule.hyphen && u == '-');
}

bool isDeckName(const QString& name, const DeckNameRule& rule)
{
    if (name.isEmpty() || name.size() > rule.maxLength || !isAsciiLetter(name.front()))
        return false;
    return std::all_of(name.begin(), name.end(), [&](QChar c) { return isNameCharacter(c, rule); });
}

QString spelled(const QString& name, const DeckNameRule& rule, QChar initial)
{
    QString spelt;
    if (name.isEmpty() || !isAsciiLetter(name.front()))
        spelt += initial;
    for (QChar c : name)
        spelt += isNameCharacter(c, rule) ? c : QLatin1Char('_');
    return spelt.left(rule.maxLength);
}

} // namespace

QStringList deckNames(const QStringList& names, const DeckNameRule& rule, QChar initial, const ReservedName& reserved)
{
    QSet<QString> taken;
    const auto isFree = [&](const QString& name) {
        const QString upper = name.toUpper();
        return !taken.contains(upper) && !(reserved && reserved(upper));
    };
    QStringList mapped;
    mapped.reserve(names.size());
    // Names the solver reads as they are claim themselves first: no plain
    // name moves for the sake of another that maps onto it.
    for (const QString& name : names) {
        const bool kept = isDeckName(name, rule) && isFree(name);
        mapped << (kept ? name : QString());
        if (kept)
            taken.insert(name.toUpper());
    }
    for (int i = 0; i < names.size(); ++i) {
        if (!mapped[i].isNull())
            continue;
        const QString base = spelled(names[i], rule, initial);
        QString name = base;
        for (int k = 2; !isFree(name); ++k) {
            const QString suffix = QLatin1Char('_') + QString::number(k);
            name = base.left(rule.maxLength - suffix.size()) + suffix;
        }
        mapped[i] = name;
        taken.insert(name.toUpper());
    }
    return mapped;
}

} // namespace Folvane
