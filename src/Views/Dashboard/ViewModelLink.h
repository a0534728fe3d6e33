#pragma once

#include "ViewModel/AppViewModel.h"

#include <QPointer>

namespace quorvelle {

// Points a view helper's `held` view model at `next` (an AppViewModel, or anything else for
// none): the receiver lets go of every signal of the old one and its parts, then `listen`
// connects it to the new one. False when `next` is the one already held.
template <typename Listen>
bool relinkViewModel(QPointer<AppViewModel>& held, QObject* next, QObject* receiver, Listen listen) {
    auto* typed = qobject_cast<AppViewModel*>(next);
    if (typed == held) return false;
    if (held) {
        QObject::disconnect(held, nullptr, receiver, nullptr);
        QObject::disconnect(held->history(), nullptr, receiver, nullptr);
        QObject::disconnect(held->dictionary(), nullptr, receiver, nullptr);
    }
    held = typed;
    if (typed) listen(*typed);
    return true;
}

}  // namespace quorvelle
