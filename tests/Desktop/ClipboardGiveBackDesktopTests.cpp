// Another application copies while a checked paste into Firefox ends: right as the words show in the
// field, a moment later, or as the app gives the clipboard back. Its copy stays every time, whatever
// the clipboard held before; with nobody copying, what it held comes back. So it does while a paste
// that a field refuses is checked, and where the field took the other application's copy instead.
#include "FixtureApp.h"
#include "Platform/Linux/X11ClipboardOwnership.h"
#include "RealAppDictation.h"
#include "SelectionClient.h"
#include "Services/Delivery/ClipboardWriting.h"
#include "Support/CancellableSleep.h"
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

// The app's clipboard, telling the test the moment the app gives the user's clipboard back, and the
// moment the paste's keys have gone (the app then waits for the target to fetch the words).
class GivingBackSignal final : public ClipboardWriting {
public:
    explicit GivingBackSignal(std::shared_ptr<ClipboardWriting> inner) : m_inner(std::move(inner)) {}
    std::function<void()> beforeRestore;
    std::function<void()> afterKeys;
    // The app made late on purpose: once the target fetched the words (or had its time to), the app
    // waits until this holds (20 s at most) before it checks the field and ends the paste.
    std::function<bool()> checkWaitsUntil;

    QList<ClipboardItemSnapshot> snapshot() override { return m_inner->snapshot(); }
    void writeString(const QString& text) override { m_inner->writeString(text); }
    void restore(const QList<ClipboardItemSnapshot>& items) override {
        if (beforeRestore) beforeRestore();
        m_inner->restore(items);
    }
    bool keepWritten(const QString& text) override { return m_inner->keepWritten(text); }
    QCoro::Task<void> fetched(double timeoutSeconds, std::stop_token stopToken) override {
        if (afterKeys) afterKeys();
        QCoro::Task<void> fetch = m_inner->fetched(timeoutSeconds, stopToken);
        co_await fetch;
        const QDeadlineTimer limit(20000);
        while (checkWaitsUntil && !checkWaitsUntil() && !limit.hasExpired()) {
            QCoro::Task<void> pause = sleepFor(0.01, stopToken);
            co_await pause;
        }
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

// A chat application's field (its words go in by paste) that refuses the paste, being full: another
// application copies 50, 300 and 600 ms after the keys went, with and without a space put before the
// words. Then a field that takes the paste, a space put before the words, and the copy right as the keys
// go: the field may take that copy instead of the words. The copy stays every time, and a dictation
// whose words it replaced on the clipboard is not told copied. The app's check waits for the copy, so
// that it comes before whatever the app does with the clipboard at the paste's end, at any load.
TEST_F(ClipboardGiveBack, ACopyMadeWhileAPasteIsCheckedStays) {
    test::FixtureApp chat(test::FixtureApp::Toolkit::Qt, u"Chat"_qs, test::FixtureApp::namedAsChatApplication());
    ASSERT_TRUE(test::xdotool({u"search"_qs, u"--name"_qs, u"^Chat$"_qs, u"windowactivate"_qs, u"--sync"_qs}));
    const QString single = u"single"_qs;
    // A line edit takes 32767 characters at most: this one is full. The caret at its end, after a
    // word, gets a space before the words; right after its space, none.
    const QString full = QString(32765, u'x') + u" x"_qs;
    struct Round {
        QString before;
        std::optional<int> caret;
        int copyAfterMs;
        bool refused;
    };
    QList<Round> rounds;
    for (const int after : {50, 300, 600}) {
        rounds.append({full, std::nullopt, after, true});
        rounds.append({full, int(full.size()) - 1, after, true});
    }
    for (int times = 0; times < 3; ++times)
        rounds.append({u"abc"_qs, std::nullopt, 0, false});

    int number = 0;
    for (const Round& round : rounds) {
        const QString words = u"copied round%1end"_qs.arg(++number);
        const std::string label = words.toStdString() + (round.refused ? ", refused" : ", taken") +
                                  (round.caret ? "" : ", a space before the words") + ", copy after " +
                                  std::to_string(round.copyAfterMs) + " ms";
        chat.setText(single, round.before);
        chat.focus(single);
        if (round.caret) chat.select(single, *round.caret, 0);
        ASSERT_TRUE(test::waitUntil([&] { return dictation->focusedTextTarget().has_value(); })) << label;

        SelectionClient copier;
        std::promise<void> keysGone;
        auto copied = std::async(std::launch::async, [&copier, gone = keysGone.get_future(), round] {
                          if (gone.wait_for(std::chrono::seconds(60)) != std::future_status::ready) return false;
                          std::this_thread::sleep_for(std::chrono::milliseconds(round.copyAfterMs));
                          return copier.take("CLIPBOARD");
                      }).share();
        bool told = false;
        clipboard->afterKeys = [&] {
            if (!std::exchange(told, true)) keysGone.set_value();
        };
        clipboard->checkWaitsUntil = [&] {
            return copied.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        };
        const auto kind = dictation->dictate(words);
        clipboard->afterKeys = {};
        clipboard->checkWaitsUntil = {};
        if (!told) keysGone.set_value();

        EXPECT_TRUE(told) << label << ": no paste went out";
        EXPECT_TRUE(copied.get()) << label;
        EXPECT_TRUE(copier.owns("CLIPBOARD")) << label;
        EXPECT_NE(kind, Kind::copiedToClipboard) << label;
        if (round.refused) {
            EXPECT_EQ(kind, Kind::pasteSentUnverified) << label;
            EXPECT_EQ(dictation->vm->inlineMessage(), u"Yapıştırma gönderildi."_qs) << label;
            EXPECT_EQ(chat.texts().value(single).toString(), round.before) << label;
        }
    }
}

}  // namespace
}  // namespace quorvelle
