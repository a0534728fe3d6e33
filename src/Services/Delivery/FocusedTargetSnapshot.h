#pragma once

#include <QObject>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <memory>
#include <optional>

#include "Models/SessionBlockReason.h"

namespace quorvelle {

struct FocusedAppMetadata {
    std::optional<QString> bundleIdentifier;
    std::optional<QString> localizedName;
    qint32 processIdentifier = 0;
    // The front window as the window system names it. Where a window names no process (Tk's),
    // the window is what tells one application from another.
    std::optional<quint32> windowIdentifier = std::nullopt;
    // That window's title and its place on the screen, as the window system tells them: what the
    // accessibility bus can be asked about too, to tell which of the application's windows it is.
    std::optional<QString> windowTitle = std::nullopt;
    std::optional<QRectF> windowFrame = std::nullopt;

    bool operator==(const FocusedAppMetadata&) const = default;

    // The same process, or, with no process known on either side, the same window.
    bool isSameApplication(const FocusedAppMetadata& other) const;
    // A window of this very process: asked over the accessibility bus from our own thread, it could
    // only answer once that thread is free again, so it is never asked, and never takes text.
    bool isOwnProcess() const;
};

struct FocusedElementMetadata {
    std::optional<QString> role;
    std::optional<QString> subrole;
    std::optional<QString> title;
    std::optional<QString> identifier;
    std::optional<QRectF> frame;  // screen points
    std::optional<QSizeF> size;   // points
    bool isEnabled = false;
    bool isEditable = false;
    bool supportsValueWrite = false;
    bool supportsSelectedTextRangeWrite = false;

    bool operator==(const FocusedElementMetadata&) const = default;

    bool isSecure() const;
    bool hasTextInputRole() const;
    // None means the element can be written to.
    std::optional<SessionBlockReason> blockReason() const;
    bool isClipboardPasteCandidate() const;
    bool supportsDirectValueWrite() const;
};

// Holds the platform's accessibility object for the element. Core code never looks inside; the
// platform layer stores its object here with a deleter that releases it, so the object lives as
// long as the last snapshot that shares this handle.
class FocusedElementHandle {
public:
    explicit FocusedElementHandle(std::shared_ptr<void> storage = {}) : m_storage(std::move(storage)) {}

    const std::shared_ptr<void>& storage() const { return m_storage; }

private:
    std::shared_ptr<void> m_storage;
};

struct FocusedTargetSnapshot {
    Q_GADGET
    Q_PROPERTY(QString targetDescription READ targetDescription)
    Q_PROPERTY(bool isWindowOnly MEMBER isWindowOnly)

public:
    FocusedAppMetadata app;
    FocusedElementMetadata element;
    std::shared_ptr<const FocusedElementHandle> elementHandle;
    // The window of an application with no accessibility tree: the app is known, nothing inside
    // the window could be read, and there is no element handle.
    bool isWindowOnly = false;
    // The element holds the keyboard focus itself (it was not only found near the focus).
    bool isFocusedElement = true;
    // A window whose application is on its way to the accessibility bus: it stands for what it holds
    // only until the application came (FocusedTargetInspecting::awaitFrontApplication).
    bool isApplicationArriving = false;

    // Text can go here now: the focused element takes text, or a window without a tree stands for it.
    // Right after the hot key lets go the focus may still rest on a container on its way back.
    bool hasSettledFocus() const {
        return isWindowOnly || (isFocusedElement && (element.hasTextInputRole() || element.isEditable));
    }
    std::optional<SessionBlockReason> blockReason() const { return element.blockReason(); }
    bool isClipboardPasteCandidate() const { return element.isClipboardPasteCandidate(); }
    bool supportsDirectValueWrite() const { return element.supportsDirectValueWrite(); }
    bool prefersClipboardPaste() const;
    std::optional<QString> terminalLikeReason() const;
    // "<app> • <element>", shown in the menu and in diagnostics.
    QString targetDescription() const;
};

}  // namespace quorvelle
