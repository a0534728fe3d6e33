#pragma once

#include "Services/Delivery/ClipboardWriting.h"
#include "Support/CancellableSleep.h"

#include <chrono>
#include <memory>

namespace quorvelle {

class X11SelectionServer;

// The desktop clipboard (X11 CLIPBOARD selection). The words written are served by a selection server
// of their own, on its own thread, so an application reading them never waits for our event loop;
// so is the user's clipboard when it is given back over them. Reading the user's clipboard goes
// through QClipboard, and so does giving back contents too large for the server (Qt's answers then
// need the event loop running). Main thread only.
class SystemPasteboardWriter final : public ClipboardWriting {
public:
    SystemPasteboardWriter();
    ~SystemPasteboardWriter() override;
    SystemPasteboardWriter(const SystemPasteboardWriter&) = delete;
    SystemPasteboardWriter& operator=(const SystemPasteboardWriter&) = delete;

    QList<ClipboardItemSnapshot> snapshot() override;
    void writeString(const QString& text) override;
    void restore(const QList<ClipboardItemSnapshot>& items) override;
    bool keepWritten(const QString& text) override;
    QCoro::Task<void> fetched(double timeoutSeconds, std::stop_token stopToken) override;
    void judgeRequests(RequestJudge judge) override;
    void awaitFetchBeforeTheEnd(double timeoutSeconds) override;

    // Copies the clipboard's text into the primary selection (what xterm's Shift+Insert pastes); a
    // fetch from there counts as a fetch of the written text.
    void copyClipboardToPrimarySelection();

    // While the paste keys go out: another application's requests for the written words wait from
    // holdText until letText, which gives the words (to the judge first, while one is given) or
    // refuses them until they are replaced. A fetch counts from holdText on, a refused one too: the
    // keys' application asked.
    void holdText();
    void letText(bool give);

    // Resumes once the application that made `window` asked what the clipboard holds since the last
    // write (at once when it already did) with true, or once `limit` passed with false; a stop ends
    // it at once with CancellationError. Qt applications and GNOME Terminal ask as the clipboard's
    // owner changes, the others only when they paste.
    QCoro::Task<bool> targetsRequested(quint32 window, std::chrono::milliseconds limit, std::stop_token stop);

private:
    void noteSent(quint64 write, quint32 requestor);
    void giveVerdict(quint64 write);

    std::unique_ptr<X11SelectionServer> m_server;
    // The last write, whether another application fetched it, and who waits for that.
    quint64 m_write = 0;
    bool m_fetched = false;
    WakeableSleeps m_fetchWaits;
    RequestJudge m_judge;
    // Between holdText and letText: the order of the keys is not read yet.
    bool m_holding = false;
    // Paste keys went out for the last write.
    bool m_keysSince = false;
    bool m_judging = false;
};

}  // namespace quorvelle
