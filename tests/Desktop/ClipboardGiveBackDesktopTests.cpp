// Another application copies while a checked paste into Firefox ends: right as the words show in the
// field, a moment later, or as the app gives the clipboard back. Its copy stays every time, whatever
// the clipboard held before; with nobody copying, what it held comes back.
#include "Platform/Linux/X11ClipboardOwnership.h"
#include "RealAppDictation.h"
#include "SelectionClient.h"
#include "Services/Delivery/ClipboardWriting.h"
#include "TestEventLoop.h"

#include <QClipboard>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QScopeGuard>

#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>
#include <thread>

namespace quorvelle {
namespace {

using Kind = TranscriptHistoryCompletionKind;
using test::RealApp;
using test::SelectionClient;

// The app's clipboard, telling the test the moment the app gives the user's clipboard back.
class GivingBackSignal final : public ClipboardWriting {
public:
    explicit GivingBackSignal(std::shared_ptr<ClipboardWriting> inner) : m_inner(std::move(inner)) {}
    std::function<void()> beforeRestore;

    QList<ClipboardItemSnapshot> snapshot() override { return m_inner->snapshot(); }
    void writeString(const QString& text) override { m_inner->writeString(text); }
    void restore(const QList<ClipboardItemSnapshot>& items) override {
        if (beforeRestore) beforeRestore();
        m_inner->restore(items);
    }
    bool keepWritten(const QString& text) override { return m_inner->keepWritten(text); }
    QCoro::Task<void> fetched(double timeoutSeconds, std::stop_token stopToken) override {
        return m_inner->fetched(timeoutSeconds, std::move(stopToken));
    }

private:
    std::shared_ptr<ClipboardWriting> m_inner;
};

// Whether the window's title came to contain `words` within the limit: the page puts the field's text
// there from its own input event, so the title's change is the words showing.
bool titleShows(quint32 window, const QByteArray& words, int limitMs) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const auto disconnect = qScopeGuard([connection] { xcb_disconnect(connection); });
    if (xcb_connection_has_error(connection)) return false;
    const char* name = "_NET_WM_NAME";
    xcb_intern_atom_reply_t* atomReply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t titleAtom = atomReply ? atomReply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(atomReply);
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
    const auto shows = [&] {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, titleAtom, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
            nullptr);
        const QByteArray title = reply ? QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                                                    xcb_get_property_value_length(reply))
                                       : QByteArray();
        std::free(reply);
        return title.contains(words);
    };
    const QDeadlineTimer deadline(limitMs);
    // Looked at once after the watch began, then at each change.
    if (shows()) return true;
    while (!deadline.hasExpired() && !xcb_connection_has_error(connection)) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const bool title = (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
                               reinterpret_cast<xcb_property_notify_event_t*>(event)->atom == titleAtom;
            std::free(event);
            if (title && shows()) return true;
        }
        pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
        poll(&descriptor, 1, int(std::max<qint64>(1, deadline.remainingTime())));
    }
    return false;
}

class ClipboardGiveBack : public ::testing::Test {
protected:
    std::unique_ptr<test::RealAppDictation> dictation;
    std::shared_ptr<GivingBackSignal> clipboard;

    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
        dictation = std::make_unique<test::RealAppDictation>([this](AppBootstrap& services) {
            clipboard = std::make_shared<GivingBackSignal>(services.pasteboardWriter);
            services.pasteboardWriter = clipboard;
        });
        ASSERT_TRUE(dictation->isReady());
    }
};

TEST_F(ClipboardGiveBack, ACopyMadeAsTheWordsShowOrAsTheClipboardComesBackStays) {
    const auto firefox = RealApp::firefox(dictation->folder.path());
    ASSERT_TRUE(firefox) << "Firefox never showed the page";
    ASSERT_FALSE(dictation->focusedTextElement().isEmpty());
    QString windowId;
    ASSERT_TRUE(test::xdotool({u"getactivewindow"_qs}, &windowId));
    const quint32 window = windowId.toUInt();
    QClipboard* board = QGuiApplication::clipboard();
    const QString users = u"the user's clipboard"_qs;

    // When the other application copies: milliseconds after the words showed, or (-1) as the
    // clipboard is given back; none: nobody copies.
    const QList<std::optional<int>> moments{0, 20, 50, 100, 150, -1, std::nullopt};
    int round = 0;
    for (const bool emptyBefore : {false, true}) {
        for (const std::optional<int>& moment : moments) {
            const QString words = u"round%1end"_qs.arg(++round);
            const std::string label = words.toStdString() + (emptyBefore ? ", empty before" : ", text before") +
                                      ", copy at " + (moment ? std::to_string(*moment) : std::string("none"));
            // The clipboard before: the user's text, or nobody's.
            if (emptyBefore) {
                {
                    SelectionClient owner;  // its copy goes with its connection
                    ASSERT_TRUE(owner.take("CLIPBOARD")) << label;
                }
                ASSERT_TRUE(test::waitUntil([&] { return board->text(QClipboard::Clipboard).isEmpty(); })) << label;
            } else {
                ASSERT_TRUE(X11ClipboardOwnership::refreshServerTime());
                board->setText(users, QClipboard::Clipboard);
                ASSERT_TRUE(X11ClipboardOwnership::ownsClipboard()) << label;
            }

            SelectionClient copier;
            std::promise<void> givingBack;
            std::future<bool> copied;
            clipboard->beforeRestore = {};
            if (moment && *moment < 0) {
                clipboard->beforeRestore = [&givingBack] { givingBack.set_value(); };
                copied = std::async(std::launch::async, [&copier, when = givingBack.get_future()] {
                    return when.wait_for(std::chrono::seconds(60)) == std::future_status::ready &&
                           copier.take("CLIPBOARD");
                });
            } else if (moment) {
                copied = std::async(std::launch::async, [&copier, window, words, after = *moment] {
                    if (!titleShows(window, words.toUtf8(), 60000)) return false;
                    std::this_thread::sleep_for(std::chrono::milliseconds(after));
                    return copier.take("CLIPBOARD");
                });
            }

            EXPECT_EQ(dictation->dictate(words), Kind::pastedViaClipboard) << label;
            EXPECT_TRUE(RealApp::waitForTitle(u"^area:.*"_qs + words + u" —"_qs, 10000)) << label;
            if (moment) {
                const bool took = copied.get();
                EXPECT_TRUE(took && copier.owns("CLIPBOARD")) << label;
            } else if (emptyBefore) {
                EXPECT_TRUE(test::waitUntil([&] { return board->text(QClipboard::Clipboard).isEmpty(); })) << label;
            } else {
                EXPECT_TRUE(test::waitUntil([&] { return board->text(QClipboard::Clipboard) == users; })) << label;
            }
            clipboard->beforeRestore = {};
        }
    }
}

}  // namespace
}  // namespace quorvelle
