#pragma once

#include "Services/Delivery/ClipboardItemSnapshot.h"

#include <QCoroTask>
#include <QList>
#include <QString>

#include <stop_token>

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
    // Leaves `text` on the clipboard in place of what the last writeString put there, only while that
    // still holds it: a copy another application made since stays. Whether the clipboard holds `text`
    // from us now. Never throws.
    virtual bool keepWritten(const QString& text) = 0;
    // Resumes once another application has fetched the text of the last writeString, at once when it
    // has already, or after `timeoutSeconds`; a stop ends it at once with CancellationError. While an
    // application waits for the words, questions we send it may not be answered: Firefox answers no
    // accessibility call until its paste has the data, which only our event loop can hand it.
    virtual QCoro::Task<void> fetched(double timeoutSeconds, std::stop_token stopToken) = 0;
};

}  // namespace quorvelle
