#pragma once

#include "Services/Delivery/ClipboardItemSnapshot.h"

#include <QList>
#include <QString>

namespace quorvelle {

class ClipboardWriting {
public:
    virtual ~ClipboardWriting() = default;

    // What the clipboard holds now; never fails (an unreadable clipboard is an empty snapshot).
    virtual QList<ClipboardItemSnapshot> snapshot() = 0;
    // Replaces the clipboard with plain text. Throws ClipboardWriteError.
    virtual void writeString(const QString& text) = 0;
    // Puts a snapshot back. Throws ClipboardWriteError.
    virtual void restore(const QList<ClipboardItemSnapshot>& items) = 0;
};

}  // namespace quorvelle
