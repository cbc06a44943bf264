#ifndef FOLVANE_DECKNAMES_H
#define FOLVANE_DECKNAMES_H

#include <QString>
#include <QStringList>
#include <functional>

namespace Folvane {

// The decks a name is written for: CalculiX's and Abaqus's keyword decks,
// and ANSYS's command deck.
enum class Deck { Keyword = 0, Ansys = 1 };

// What a solver reads as one name: ASCII letters, digits, '_' and, where
// the solver takes it, '-', beginning with a letter, at most maxLength
// characters; letter case does not count.
struct DeckNameRule
{
    int maxLength;
    bool hyphen;
};

// CalculiX 2.20 stops on a material, set or orientation name of more than
// 80 characters; Abaqus takes as many.
constexpr DeckNameRule KeywordNames{80, true};
// ANSYS components and section names.
constexpr DeckNameRule AnsysNames{32, false};

inline const DeckNameRule& deckNameRule(Deck deck)
{
    return deck == Deck::Keyword ? KeywordNames : AnsysNames;
}

// Whether a name, given in upper case, is one the deck itself uses.
using ReservedName = std::function<bool(const QString& upper)>;

// The names of one kind of a deck (its materials, its element sets) mapped
// to names the solver reads as one, each distinct from the others and from
// the reserved ones ignoring case. A name that is one already keeps it (the
// first of several that coincide), so plain names reach the deck as typed.
// Any other takes '_' for each character the rule refuses, initial before it
// when it does not begin with a letter, the rule's length, and, while it is
// taken, "_2", "_3", ... at its end.
QStringList deckNames(const QStringList& names, const DeckNameRule& rule, QChar initial,
                      const ReservedName& reserved = nullptr);

} // namespace Folvane

#endif
