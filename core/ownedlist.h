#ifndef FOLVANE_OWNEDLIST_H
#define FOLVANE_OWNEDLIST_H

#include "core/messages.h"

#include <QList>
#include <QString>

#include <utility>

namespace Folvane {

// The index-checked operations every object with an owned list of parts
// (plies, control points, point loads, profile points) shares. A bad index
// writes the given message to the debug stream and changes nothing.

template <typename T, typename Make>
bool insertOwned(QList<T*>& list, int ind, Make make, const QString& message)
{
    if (ind < 0 || ind > list.size()) {
        debugLine(message);
        return false;
    }
    list.insert(ind, make());
    return true;
}

template <typename T>
bool removeOwned(QList<T*>& list, int ind, const QString& message)
{
    if (ind < 0 || ind >= list.size()) {
        debugLine(message);
        return false;
    }
    delete list.takeAt(ind);
    return true;
}

template <typename T>
T* readOwned(const QList<T*>& list, int ind, const QString& message)
{
    if (ind < 0 || ind >= list.size()) {
        debugLine(message);
        return nullptr;
    }
    return list.at(ind);
}

template <typename T>
void deleteOwned(QList<T*>& list)
{
    // First to last: each one leaves its parent's child list near the
    // front, so a long list goes in linear time rather than quadratic.
    const QList<T*> doomed = std::exchange(list, QList<T*>());
    for (T* item : doomed)
        delete item;
}

} // namespace Folvane

#endif
