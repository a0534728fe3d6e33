#pragma once

#include <QList>

namespace quorvelle {

// Makes `list` its own (no longer shared) with room for at least `room` more elements in front of
// the first. QList keeps spare room on the side it last grew toward, and a list read or copied has
// none in front: the first element put there would copy the whole list.
template <typename T>
void reserveInFront(QList<T>& list, qsizetype room) {
    // Put in and taken out again: what goes in front grows the storage toward the front.
    list.insert(0, room, T{});
    list.remove(0, room);
}

// The room a list of the history keeps in front: enough for a long while of new dictations, at an
// eighth of what the list holds.
template <typename T>
qsizetype roomForNewEntries(const QList<T>& list) {
    return list.size() / 8 + 64;
}

}  // namespace quorvelle
