// The user keeps typing into the field while the pasted words arrive: letters pressed as the app puts
// the words on the clipboard go in before them, letters pressed once the paste keys are out go in
// before or after them. The words are in the field they were sent to all the same, and the dictation
// is told as pasted: the history keeps it as pasted and the user's clipboard comes back.
#include "FixtureApp.h"
#include "RealAppDictation.h"
#include "Services/Delivery/ClipboardWriting.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <functional>

namespace quorvelle {
namespace {

using Kind = TranscriptHistoryCompletionKind;
using test::RealApp;
using test::xdotool;

constexpr int kRounds = 4;
// What the field holds before each dictation: the words get a space before them.
const QString kStart = u"Note"_qs;
// Typed as the words go on the clipboard, and once the paste keys went out.
const QString kAtClaim = u"ab"_qs, kAtKeys = u"cd"_qs;

// A page whose title tells its text area's value; Escape empties it.
const QByteArray kAreaPage =
    "<!doctype html><title>ready</title><textarea id=t autofocus></textarea><script>"
    "t.oninput=()=>{document.title='area:'+t.value};"
    "document.onkeydown=e=>{if(e.key=='Escape'){t.value='';document.title='ready'}};"
    "</script>";

void typeLetters(const QString& letters) {
    for (const QChar letter : letters) {
        test::sendKeys({QString(letter)}, true);
        test::sendKeys({QString(letter)}, false);
    }
}

// The app's clipboard; when armed, the user types as the words go onto it and once the keys are out
// (the check then waits for the application to fetch the words).
class TypingUser final : public ClipboardWriting {
public:
    explicit TypingUser(std::shared_ptr<ClipboardWriting> clipboard) : m_clipboard(std::move(clipboard)) {}
    bool armed = false;

    QList<ClipboardItemSnapshot> snapshot() override { return m_clipboard->snapshot(); }
    void writeString(const QString& text) override {
        m_clipboard->writeString(text);
        if (armed) typeLetters(kAtClaim);
    }
    void restore(const QList<ClipboardItemSnapshot>& items) override { m_clipboard->restore(items); }
    bool keepWritten(const QString& text) override { return m_clipboard->keepWritten(text); }
    QCoro::Task<void> fetched(double timeoutSeconds, std::stop_token stopToken) override {
        if (std::exchange(armed, false)) typeLetters(kAtKeys);
        return m_clipboard->fetched(timeoutSeconds, std::move(stopToken));
    }

private:
    std::shared_ptr<ClipboardWriting> m_clipboard;
};

class TypingThroughPasteDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
        dictation = std::make_unique<test::RealAppDictation>([this](AppBootstrap& services) {
            services.pasteboardWriter = user = std::make_shared<TypingUser>(services.pasteboardWriter);
        });
        ASSERT_TRUE(dictation->isReady());
    }

    // Dictates kRounds times into a field that `reset` sets to kStart with the caret at its end, the
    // user typing through each; `value` reads the field.
    void typeThrough(const char* application, const std::function<bool()>& reset,
                     const std::function<QString()>& value) {
        for (int round = 0; round < kRounds; ++round) {
            SCOPED_TRACE(round);
            ASSERT_TRUE(reset());
            ASSERT_TRUE(dictation->focusedFieldHoldsStill());
            const QString kept = u"the user's clipboard %1"_qs.arg(round);
            dictation->delivery->clipboard().writeString(kept);
            const QString words = u"typed through %1"_qs.arg(round);
            user->armed = true;
            const std::optional<Kind> outcome = dictation->dictate(words, true);
            user->armed = false;

            // The words whole after a space, the letters in the order typed, beside them.
            QString now = value();
            const auto landed = [&] {
                return (now = value()).contains(u" "_qs + words) &&
                       QString(now).remove(u" "_qs + words) == kStart + kAtClaim + kAtKeys;
            };
            EXPECT_TRUE(test::waitUntil(landed, 5000))
                << application << ": the field holds \"" << now.toStdString() << "\"";
            EXPECT_EQ(outcome, Kind::pastedViaClipboard)
                << application << ": told \"" << dictation->vm->inlineMessage().value_or(u"-"_qs).toStdString()
                << "\" with the field holding \"" << now.toStdString() << "\"";
            EXPECT_EQ(dictation->vm->inlineMessage().value_or(u"-"_qs).toStdString(), "Metin yapıştırıldı.")
                << application;
            const auto& entries = dictation->fakes.history->entries;
            ASSERT_FALSE(entries.isEmpty()) << application;
            EXPECT_EQ(entries.first().transcript, words) << application;
            EXPECT_EQ(entries.first().completionKind, Kind::pastedViaClipboard) << application;
            // Nothing of the words is left to paste again: the user's own clipboard is back.
            QByteArray clipboard;
            for (const ClipboardItemSnapshot& item : dictation->delivery->clipboard().snapshot())
                for (const QByteArray& data : item.representations)
                    clipboard += data;
            EXPECT_TRUE(clipboard.contains(kept.toUtf8()) && !clipboard.contains(words.toUtf8()))
                << application << ": the clipboard holds \"" << clipboard.toStdString() << "\"";
        }
    }

    // A browser's text area, emptied by Escape and given kStart by keys; its value from the title of
    // the window in front.
    void typeThroughBrowser(const char* application, const QString& windowPattern) {
        const auto reset = [windowPattern] {
            return RealApp::bringToFront(windowPattern) && RealApp::pressKeys(u"Escape"_qs) &&
                   RealApp::waitForTitle(u"^ready"_qs, 20000) &&
                   xdotool({u"type"_qs, u"--clearmodifiers"_qs, kStart}) &&
                   RealApp::waitForTitle(u"^area:"_qs + kStart + u" "_qs, 20000);
        };
        typeThrough(application, reset, [] {
            QString title;
            xdotool({u"getactivewindow"_qs, u"getwindowname"_qs}, &title);
            return QRegularExpression(u"^area:(.*?)( [-\u2014] [^-\u2014]*)?$"_qs).match(title).captured(1);
        });
    }

    std::unique_ptr<test::RealAppDictation> dictation;
    std::shared_ptr<TypingUser> user;
};

// A chat application's Qt 6 field, which takes the words by the checked paste.
TEST_F(TypingThroughPasteDesktop, AQt6FieldTypedIntoWhileTheWordsArriveIsToldPasted) {
    QProcessEnvironment named = QProcessEnvironment::systemEnvironment();
    named.insert(u"RESOURCE_NAME"_qs, u"slack"_qs);
    test::FixtureApp chat(test::FixtureApp::Toolkit::Qt, u"Chat"_qs, named);
    const auto reset = [&] {
        chat.setText(u"single"_qs, kStart);
        chat.focus(u"single"_qs);
        return xdotool({u"search"_qs, u"--name"_qs, u"^Chat$"_qs, u"windowactivate"_qs, u"--sync"_qs});
    };
    typeThrough("Qt 6", reset, [&] { return chat.texts().value(u"single"_qs).toString(); });
}

TEST_F(TypingThroughPasteDesktop, AFirefoxTextAreaTypedIntoWhileTheWordsArriveIsToldPasted) {
    const auto firefox = RealApp::firefoxOn(dictation->folder.path(), kAreaPage);
    ASSERT_TRUE(firefox);
    typeThroughBrowser("Firefox", u"Mozilla Firefox$"_qs);
}

TEST_F(TypingThroughPasteDesktop, AChromiumTextAreaTypedIntoWhileTheWordsArriveIsToldPasted) {
    const auto chromium = RealApp::chromiumOn(dictation->folder.path(), kAreaPage);
    if (!chromium) GTEST_SKIP() << "Chromium is not installed (scripts/install-deps installs it)";
    typeThroughBrowser("Chromium", u"Chromium$"_qs);
}

}  // namespace
}  // namespace quorvelle
