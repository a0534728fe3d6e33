#include "Services/Delivery/SystemPasteboardWriter.h"

#include "Services/Delivery/ClipboardWriteError.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace quorvelle {

namespace {

QClipboard* clipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

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
    board->setText(text, QClipboard::Clipboard);
    if (!board->ownsClipboard()) throw ClipboardWriteError(ClipboardWriteError::Case::writeFailed);
}

void SystemPasteboardWriter::restore(const QList<ClipboardItemSnapshot>& items) {
    QClipboard* board = clipboard();
    if (!board) throw ClipboardWriteError(ClipboardWriteError::Case::restoreFailed);
    // Records without data are skipped: failing on them would leave the user's clipboard empty.
    // The X11 clipboard takes one item, so the records' types are merged, the first record winning.
    auto contents = std::make_unique<QMimeData>();
    for (const ClipboardItemSnapshot& item : items) {
        for (auto it = item.representations.constBegin(); it != item.representations.constEnd(); ++it) {
            if (!contents->hasFormat(it.key())) contents->setData(it.key(), it.value());
        }
    }
    if (contents->formats().isEmpty()) {
        board->clear(QClipboard::Clipboard);
        return;
    }
    board->setMimeData(contents.release(), QClipboard::Clipboard);
    if (!board->ownsClipboard()) throw ClipboardWriteError(ClipboardWriteError::Case::restoreFailed);
}

}  // namespace quorvelle
