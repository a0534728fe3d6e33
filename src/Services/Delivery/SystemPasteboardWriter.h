#pragma once

#include "Services/Delivery/ClipboardWriting.h"

namespace quorvelle {

// The desktop clipboard (X11 CLIPBOARD selection) through QClipboard. Other applications fetch the
// data from this process while it owns the selection, so the event loop must keep running.
class SystemPasteboardWriter final : public ClipboardWriting {
public:
    QList<ClipboardItemSnapshot> snapshot() override;
    void writeString(const QString& text) override;
    void restore(const QList<ClipboardItemSnapshot>& items) override;
    QCoro::Task<void> fetched(double timeoutSeconds, std::stop_token stopToken) override;

    // Copies the clipboard's text into the primary selection (what xterm's Shift+Insert pastes); a
    // fetch from there counts as a fetch of the written text.
    static void copyClipboardToPrimarySelection();
};

}  // namespace quorvelle
