#include "Services/Delivery/SystemPasteboardWriter.h"

#include "Platform/Linux/AtspiConnection.h"
#include "Platform/Linux/X11ClipboardOwnership.h"
#include "Platform/Linux/X11SelectionServer.h"
#include "Services/Delivery/ClipboardWriteError.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <optional>

namespace quorvelle {

namespace {

// Each call of the look at an application's request for the words.
constexpr int kJudgeCallTimeoutMs = 40;

QClipboard* clipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

}  // namespace

SystemPasteboardWriter::SystemPasteboardWriter() : m_server(std::make_unique<X11SelectionServer>()) {
    QObject::connect(m_server.get(), &X11SelectionServer::dataSent, m_server.get(),
                     [this](quint64 write, quint32 requestor) { noteSent(write, requestor); });
    QObject::connect(m_server.get(), &X11SelectionServer::refused, m_server.get(),
                     [this](quint64 write, quint32 requestor) { noteSent(write, requestor); });
    QObject::connect(m_server.get(), &X11SelectionServer::judgementDue, m_server.get(),
                     [this](quint64 write, quint32) { giveVerdict(write); });
}

SystemPasteboardWriter::~SystemPasteboardWriter() = default;

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
    ++m_write;
    m_fetched = m_keysSince = false;
    if (!m_server->claim(X11SelectionServer::Selection::clipboard, text, m_write))
        throw ClipboardWriteError(ClipboardWriteError::Case::writeFailed);
}

bool SystemPasteboardWriter::keepWritten(const QString& text) {
    // As the earlier contents come back: only while the words' claim holds the clipboard, the X server
    // held from the look at the owner to the new claim, which carries the words' claim time.
    const QMap<QString, QByteArray> contents{{QStringLiteral("text/plain"), text.toUtf8()}};
    return m_server->replace(X11SelectionServer::Selection::clipboard, m_write, contents, m_write) ==
           X11SelectionServer::Replacement::served;
}

void SystemPasteboardWriter::copyClipboardToPrimarySelection() {
    std::optional<QString> text = m_server->servedText(X11SelectionServer::Selection::clipboard);
    if (!text) {
        // Another application took the clipboard since the write.
        QClipboard* board = clipboard();
        if (!board) return;
        text = board->text(QClipboard::Clipboard);
    }
    m_server->claim(X11SelectionServer::Selection::primary, *text, m_write);
}

void SystemPasteboardWriter::holdText() {
    // What was fetched before (a clipboard manager, as the words came) is not the paste's fetch.
    m_fetched = false;
    m_keysSince = m_holding = true;
    m_judging = false;
    m_server->holdText(m_write);
}

void SystemPasteboardWriter::letText(bool give) {
    m_holding = false;
    m_judging = give && m_judge;
    if (m_judging) {
        m_server->judgeText();
    } else {
        m_server->letText(give);
    }
}

void SystemPasteboardWriter::judgeRequests(RequestJudge judge) {
    m_judge = std::move(judge);
    // Requests still waiting for a verdict get the words once nobody judges them.
    if (!m_judge && std::exchange(m_judging, false)) m_server->letText(true);
}

void SystemPasteboardWriter::giveVerdict(quint64 write) {
    // Words written before the last write had their held requests refused as it was served; once
    // judging ended, the requests held for it were let go.
    if (write != m_write || !m_judging || !m_judge) return;
    bool give = true;
    {
        // The application waits for our answer and may not answer a look meanwhile (Firefox gives up
        // on its words after a second): each question waits a short while.
        const AtspiConnection::CallTimeoutScope bounded(kJudgeCallTimeoutMs);
        give = m_judge();
    }
    // The judge talks to other applications: a later write or the judging's end may have come meanwhile.
    if (write == m_write && m_judging) m_server->judge(give);
}

void SystemPasteboardWriter::awaitFetchBeforeTheEnd(double timeoutSeconds) {
    // No key went out for these words, or their application has them already.
    if (!m_keysSince || m_fetched) return;
    // The keys' order was never read: nothing tells where they went.
    if (m_holding) letText(false);
    // Nobody will be here to judge a later request: the look now decides for every one.
    if (m_judging && m_judge) {
        m_judging = false;
        m_server->letText(m_judge());
    }
    m_server->awaitAnswer(m_write, std::chrono::milliseconds(qint64(timeoutSeconds * 1000)));
}

QCoro::Task<void> SystemPasteboardWriter::fetched(double timeoutSeconds, std::stop_token stopToken) {
    return m_fetchWaits.sleep(m_fetched ? 0 : timeoutSeconds, std::move(stopToken));
}

QCoro::Task<bool> SystemPasteboardWriter::targetsRequested(quint32 window, std::chrono::milliseconds limit,
                                                           std::stop_token stop) {
    return m_server->targetsRequested(window, limit, std::move(stop));
}

void SystemPasteboardWriter::noteSent(quint64 write, quint32 requestor) {
    // Our own reads of the clipboard (a snapshot) are not the target's fetch.
    if (write != m_write || m_fetched || X11ClipboardOwnership::isMadeHere(requestor)) return;
    m_fetched = true;
    m_fetchWaits.wakeAll();
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
        // Only a claim of ours goes (Qt's, from an earlier restore, or the words'): a claim of nothing
        // made regardless would also take the clipboard from an application the user copied in
        // meanwhile.
        if (X11ClipboardOwnership::ownsClipboard()) board->clear(QClipboard::Clipboard);
        if (!m_server->release(X11SelectionServer::Selection::clipboard))
            throw ClipboardWriteError(ClipboardWriteError::Case::restoreFailed);
        return;
    }
    // The earlier contents come back only over our words: a copy another application made since
    // stays, whatever the clipboard held before. Our server serves them under our words' claim time.
    if (!m_server->serves(X11SelectionServer::Selection::clipboard, m_write)) return;
    if (m_server->replace(X11SelectionServer::Selection::clipboard, m_write, merged) !=
        X11SelectionServer::Replacement::leftToQt)
        return;
    // Too large for our server, which sends nothing in pieces, or in forms it cannot name: Qt serves
    // them. Its claim carries a newer time than ours; the X server is held from the look at the owner
    // to that claim.
    bool taken = false;
    const auto replaceWords = [&] {
        return X11ClipboardOwnership::replaceWhileOwnedBy(m_server->ownerWindow(), [&] {
            auto* data = new QMimeData;
            for (auto it = merged.constBegin(); it != merged.constEnd(); ++it)
                data->setData(it.key(), it.value());
            board->setMimeData(data, QClipboard::Clipboard);
            taken = X11ClipboardOwnership::ownsClipboard();
        });
    };
    if (!replaceWords()) return;
    // Qt's claim carried a time older than our words' claim: once more with the time brought up to
    // date, again only over our words.
    if (!taken && (!X11ClipboardOwnership::refreshServerTime() || (replaceWords() && !taken)))
        throw ClipboardWriteError(ClipboardWriteError::Case::restoreFailed);
}

}  // namespace quorvelle
