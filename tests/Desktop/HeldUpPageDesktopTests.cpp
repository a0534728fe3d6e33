// A page held up right after a Tab to its password field. Firefox answers the accessibility bus from
// its main process, which names the field the Tab left until the page's own process has handled the
// Tab: the real executable, pressed right after the Tab, records for the plain field, and its paste
// keys reach the page behind the Tab. The page's process is stopped right after a real Tab and let go
// 2 s later, or once the keys went out when they go later: it handles the Tab, then the keys, and only
// then asks the app's clipboard for the words. None may reach the password field; the dictation keeps
// nothing in the history, and the user's clipboard comes back.
#include "AppUnderTest.h"
#include "HeldEntryWatch.h"
#include "RealApp.h"
#include "ShellDesktopInput.h"
#include "SignedInDictation.h"
#include "TestEventLoop.h"

#include <QClipboard>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

namespace quorvelle::test {
namespace {

constexpr int kLong = SignedInDictation::kLong;

// The form's fields, from the title of the window in front.
struct FormValues {
    QString plain, password;
};
FormValues formValues() {
    QString title;
    xdotool({u"getactivewindow"_qs, u"getwindowname"_qs}, &title);
    const QRegularExpressionMatch match =
        QRegularExpression(u"^plain:(.*)\\|pw:(.*?)( [-\u2014] [^|]*)?$"_qs).match(title);
    return FormValues{match.captured(1), match.captured(2)};
}

TEST(HeldUpPage, WordsPastedBehindATabTheStoppedPageHadNotHandledStayOutOfThePasswordField) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    ASSERT_FALSE(TestMicrophone::speech().isEmpty()) << "espeak-ng and sox made no speech";
    SignedInDictation dictation(u"-"_qs);
    AppUnderTest& app = dictation.app;
    ASSERT_TRUE(dictation.start()) << app.standardError().toStdString();
    const QTemporaryDir folder(qEnvironmentVariable("XDG_CACHE_HOME", QDir::tempPath()) + u"/apps-XXXXXX"_qs);
    const auto firefox = RealApp::firefoxOn(folder.path(), RealApp::loginFormPage());
    ASSERT_TRUE(firefox) << "Firefox never showed the form";
    // Named once the page is loaded in it.
    qint64 page = 0;
    waitUntil([&] { return (page = firefox->fileContentProcess()) > 0; }, 10000);
    ASSERT_GT(page, 0) << "no content process of Firefox's renders the page";

    constexpr int kRounds = 10;
    constexpr qint64 kHeldUpMs = 2000;
    int uploaded = 0, intoPassword = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        const QString words = u"held page %1 words"_qs.arg(round);
        const QString users = u"copied before page round %1"_qs.arg(round);
        dictation.answerWith(words);
        ASSERT_TRUE(RealApp::bringToFront(u"Mozilla Firefox$"_qs) && RealApp::pressKeys(u"Escape"_qs) &&
                    RealApp::waitForTitle(u"^ready"_qs, 20000));
        // The bus names the plain field again a moment after the page focused it.
        waitUntil([] { return false; }, 500);
        ASSERT_TRUE(copyAsTheUser(users));
        const qsizetype uploadsBefore = dictation.uploads();
        const HeldEntryWatch held(app.historyFolder(), [] {});
        ASSERT_TRUE(held.isWatching());
        {
            sendKeys({u"Tab"_qs}, true);
            sendKeys({u"Tab"_qs}, false);
            ASSERT_EQ(::kill(pid_t(page), SIGSTOP), 0);
            const auto resume = qScopeGuard([page] { ::kill(pid_t(page), SIGCONT); });
            QElapsedTimer sinceTab;
            sinceTab.start();
            dictation.dictate();
            // The keys go right after the hold; a press that sent nothing leaves nothing to wait for.
            QElapsedTimer sinceRelease;
            sinceRelease.start();
            waitUntil(
                [&] {
                    const bool nothingSent = dictation.uploads() == uploadsBefore && sinceRelease.elapsed() > 3000;
                    return sinceTab.elapsed() >= kHeldUpMs && (held.sawHold() || nothingSent);
                },
                kLong);
            if (held.sawHold()) waitUntil([] { return false; }, 100);
        }
        uploaded += dictation.uploads() > uploadsBefore;
        // The delivery ends with its held entry gone; a page still busy with the keys shows their
        // outcome a moment later.
        EXPECT_TRUE(waitUntil([&] { return !app.holdsAnEntry(); }, kLong)) << app.eventLog();
        FormValues form = formValues();
        waitUntil([&] { return !(form = formValues()).password.isEmpty(); }, 1000);
        intoPassword += form.password.contains(u"held page"_qs);
        EXPECT_FALSE(form.password.contains(u"held page"_qs))
            << "the password field took the words: \"" << form.password.toStdString() << '"';
        const QList<TranscriptHistoryEntry> history = app.historyEntries();
        EXPECT_TRUE(std::none_of(history.cbegin(), history.cend(), [&](const TranscriptHistoryEntry& entry) {
            return entry.transcript == words;
        })) << "the history kept the words";
        // Read as any application reads it (this test's own copy from its own memory).
        QString clipboard;
        EXPECT_TRUE(waitUntil(
            [&] { return (clipboard = QGuiApplication::clipboard()->text(QClipboard::Clipboard)) == users; }, 5000))
            << "the clipboard holds \"" << clipboard.toStdString() << '"';
    }
    qInfo().noquote() << "clips uploaded:" << uploaded << "of" << kRounds
                      << "; words in the password field:" << intoPassword;
}

}  // namespace
}  // namespace quorvelle::test
