#include "Services/Delivery/SystemPasteboardWriter.h"

#include "Platform/Linux/X11ClipboardOwnership.h"
#include "Services/Delivery/ClipboardWriteError.h"
#include "Support/CancellableSleep.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <functional>

namespace quorvelle {

namespace {

QClipboard* clipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

// Sets the clipboard and makes sure the X server took the claim. A claim made with a stale server
// time loses against a newer owner (the application the user last copied in); one retry with the
// time brought up to date settles that.
bool claim(const std::function<void()>& set) {
    set();
    if (X11ClipboardOwnership::ownsClipboard()) return true;
    if (!X11ClipboardOwnership::refreshServerTime()) return false;
    set();
    return X11ClipboardOwnership::ownsClipboard();
}

// Whether the text of the last write has been fetched, and who waits for that. Main thread only.
struct FetchWatch {
    quint64 write = 0;
    bool fetched = false;
    bool readingOurselves = false;
    WakeableSleeps waiting;
};
FetchWatch watch;

// The written text, which notes when another application takes it: Qt hands out a selection's
// data through retrieveData.
class WatchedText final : public QMimeData {
public:
    explicit WatchedText(const QString& text) : m_write(watch.write) { setText(text); }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override {
        if (m_write == watch.write && !watch.fetched && !watch.readingOurselves) {
            watch.fetched = true;
            watch.waiting.wakeAll();
        }
        return QMimeData::retrieveData(mimeType, type);
    }

private:
    quint64 m_write;
};

}  // namespace

QList<ClipboardItemSnapshot> SystemPasteboardWriter::snapshot() {
    QClipboard* board = clipboard();
    const QMimeData* contents = board ? board->mimeData(QClipboard::Clipboard) : nullptr;
    if (!contents) return {};
    ClipboardItemSnapshot item;
    for (const QString& format : contents->formats()) {
        const QByteArray data = contents->data(format);
        if (!data.isEmpty()) item.representations.insert(format, data);
    }
    // The X11 clipboard holds a single item.
    if (item.representations.isEmpty()) return {};
    return {item};
}

void SystemPasteboardWriter::writeString(const QString& text) {
    QClipboard* board = clipboard();
    if (!board) throw ClipboardWriteError(ClipboardWriteError::Case::writeFailed);
    ++watch.write;
    watch.fetched = false;
    if (!claim([&] { board->setMimeData(new WatchedText(text), QClipboard::Clipboard); })) {
        throw ClipboardWriteError(ClipboardWriteError::Case::writeFailed);
    }
}

void SystemPasteboardWriter::copyClipboardToPrimarySelection() {
    QClipboard* board = clipboard();
    if (!board || !board->supportsSelection()) return;
    watch.readingOurselves = true;
    const QString text = board->text(QClipboard::Clipboard);
    watch.readingOurselves = false;
    board->setMimeData(new WatchedText(text), QClipboard::Selection);
}

QCoro::Task<void> SystemPasteboardWriter::fetched(double timeoutSeconds, std::stop_token stopToken) {
    return watch.waiting.sleep(watch.fetched ? 0 : timeoutSeconds, std::move(stopToken));
}

void SystemPasteboardWriter::restore(const QList<ClipboardItemSnapshot>& items) {
    QClipboard* board = clipboard();
    if (!board) throw ClipboardWriteError(ClipboardWriteError::Case::restoreFailed);
    // Records without data are skipped: failing on them would leave the user's clipboard empty.
    // The X11 clipboard takes one item, so the records' types are merged, the first record winning.
    QMap<QString, QByteArray> merged;
    for (const ClipboardItemSnapshot& item : items) {
        for (auto it = item.representations.constBegin(); it != item.representations.constEnd(); ++it) {
            if (!merged.contains(it.key())) merged.insert(it.key(), it.value());
        }
    }
    if (merged.isEmpty()) {
        board->clear(QClipboard::Clipboard);
        return;
    }
    const auto set = [&] {
        auto* data = new QMimeData;
        for (auto it = merged.constBegin(); it != merged.constEnd(); ++it)
            data->setData(it.key(), it.value());
        board->setMimeData(data, QClipboard::Clipboard);
    };
    if (!claim(set)) throw ClipboardWriteError(ClipboardWriteError::Case::restoreFailed);
}

}  // namespace quorvelle
