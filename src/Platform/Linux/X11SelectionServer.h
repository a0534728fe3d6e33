#pragma once

#include "Support/CancellableSleep.h"

#include <QByteArray>
#include <QCoroTask>
#include <QMap>
#include <QObject>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>
#include <stop_token>

namespace quorvelle {

// Owns X selections and answers other applications' requests for them from a thread of its own, on
// an X connection of its own: a GUI thread held up (a synchronous accessibility call into the very
// application that is reading the clipboard) never holds up the answer. Serves text as TARGETS,
// UTF8_STRING, STRING, TEXT, text/plain;charset=utf-8 and text/plain, and further forms put in
// place of a claim by name, also through MULTIPLE; data larger than one request of the X server is
// refused rather than sent in pieces. The selection is served until another client takes it.
//
// Everything but the signals is called on the thread that made the server (the main thread); the
// signals are emitted on the server's thread, so a receiver of the main thread gets them queued.
class X11SelectionServer final : public QObject {
    Q_OBJECT

public:
    enum class Selection { clipboard, primary };

    // Connects to the display of $DISPLAY and starts the thread; without a display it serves nothing.
    explicit X11SelectionServer(QObject* parent = nullptr);
    // Ends the thread and the connection: the selections it held go with it, the clipboard's text to
    // a clipboard manager first when one runs (up to three seconds).
    ~X11SelectionServer() override;
    X11SelectionServer(const X11SelectionServer&) = delete;
    X11SelectionServer& operator=(const X11SelectionServer&) = delete;

    bool isRunning() const;

    // Claims the selection, stamped with a server time taken at the claim (a claim older than the
    // current owner's would be ignored), and serves `text` as it from then on; `claimNumber` comes back
    // in dataSent. Blocks the caller for the two round trips to the X server this takes, a second at
    // most. Returns whether the server made us the owner.
    bool claim(Selection selection, const QString& text, quint64 claimNumber);
    // leftToQt: larger than one request of the X server, or in no form the server can name.
    enum class Replacement { served, notOurs, leftToQt };
    // Serves `contents` (data by MIME type; text/plain in every text form) in place of the claim of
    // that number, only while that claim still holds the selection, and under its time: a copy
    // another client made since stays theirs, even one still on its way. The contents then count as
    // the claim of `newClaimNumber` (0: of no claim of ours).
    Replacement replace(Selection selection, quint64 claimNumber, const QMap<QString, QByteArray>& contents,
                        quint64 newClaimNumber = 0);
    // Gives up the selection while we still hold it, never taking it from a client that copied since;
    // whether it is no longer ours.
    bool release(Selection selection);
    // Whether the claim of that number still holds the selection, as far as this server heard: no
    // other client's clear came since.
    bool serves(Selection selection, quint64 claimNumber) const;
    // From now on, requests for what the claim of that number serves (in either selection) wait
    // unanswered until letText or judgeText: which field a paste's keys reached is known only once the
    // X server handled them. Never longer than the caller takes to call them; other contents served
    // in the claim's place (or the selection lost) refuse them first.
    void holdText(quint64 claimNumber);
    // Answers the held requests, and those to come, with the served contents (`give`), or refuses
    // them until other contents are served in their place. Ends a judging too.
    void letText(bool give);
    // From holding to judging: each request that would carry the contents waits for `judge`, asked
    // for by judgementDue (TARGETS and TIMESTAMP are answered at once). An application asks for the
    // words only once it handled every key before our paste keys, so where its focus is then is
    // the last word on where they go.
    void judgeText();
    // The verdict on the requests held for judgement so far: answered, or refused with every one
    // after them until other contents are served.
    void judge(bool give);
    // Blocks the caller until the clipboard's claim of that number sent its contents or refused a
    // request since its hold (true), is no longer served, or `bound` passed. For the end of the
    // process, when no event loop runs to hear dataSent.
    bool awaitAnswer(quint64 claimNumber, std::chrono::milliseconds bound);
    // The window that owns the selections we hold.
    quint32 ownerWindow() const;
    // The text served for the selection, while no other client took it since.
    std::optional<QString> servedText(Selection selection) const;

    // Resumes once the client that made `window` asked for the clipboard's targets since the last claim
    // of the clipboard (at once when it already did) with true, or with false once `limit` passed; a
    // stop ends it at once with CancellationError. Applications that learn the targets as the owner
    // changes (Qt's, GNOME Terminal) ask right after a claim; others ask only when they paste.
    QCoro::Task<bool> targetsRequested(quint32 window, std::chrono::milliseconds limit, std::stop_token stop);

Q_SIGNALS:
    // A client asked for the clipboard's targets.
    void clipboardTargetsRequested();
    // Text served for the claim of that number went to the client that made `requestor`.
    void dataSent(quint64 claimNumber, quint32 requestor);
    // A request for what the claim of that number serves was refused: after letText(false), a
    // verdict against it, or other contents served in place of held requests.
    void refused(quint64 claimNumber, quint32 requestor);
    // A request for what the claim of that number serves waits for judge(); asked once for the
    // requests held until the verdict.
    void judgementDue(quint64 claimNumber, quint32 requestor);

private:
    class Worker;

    std::unique_ptr<Worker> m_worker;
    WakeableSleeps m_targetsWaits;
};

}  // namespace quorvelle
