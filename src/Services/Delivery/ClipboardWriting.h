#pragma once

#include "Services/Delivery/ClipboardItemSnapshot.h"

#include <QCoroTask>
#include <QList>
#include <QString>

#include <functional>

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

    // The last look before a paste's keys cannot see a key the application had not handled yet;
    // the application asks for the words only once it handled every key before ours. From the moment
    // the keys' order let the words go until an empty judge is given, each request for the words of
    // the last writeString waits for `judge`, called on this thread: true answers it, false refuses
    // it and every later one (a refusal counts as a fetch). Without a judge the words go at once.
    using RequestJudge = std::function<bool()>;
    virtual void judgeRequests(RequestJudge judge) { (void)judge; }
    // For the application's end, when no event loop runs any more: requests still held are judged or
    // refused, then the caller is blocked until the application the paste's keys went to fetched the
    // words or was refused them, or `timeoutSeconds` passed.
    virtual void awaitFetchBeforeTheEnd(double timeoutSeconds) { (void)timeoutSeconds; }
};

}  // namespace quorvelle
