// Dictation into Firefox ESR and LibreOffice Writer: the view model over the real delivery services
// and hot key, the applications started with private profiles in this test desktop.
#include "FakeBootstrap.h"
#include "Platform/Linux/LinuxTextDeliveryServices.h"
#include "Platform/Linux/XcbHotKeyRegistrar.h"
#include "Services/Delivery/ElementHandleStorage.h"
#include "Services/System/CarbonHotkeyMonitor.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"
#include "ViewModel/AppViewModel.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace quorvelle {
namespace {

using Kind = TranscriptHistoryCompletionKind;

bool xdotool(const QStringList& arguments, QString* output = nullptr) {
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(30000)) return false;
    if (output) *output = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    return process.exitCode() == 0;
}

// A window whose title matches; these applications start slowly under load.
bool waitForWindow(const QString& titlePattern, int timeoutMs = 90000) {
    return test::waitUntil([&] { return xdotool({u"search"_qs, u"--name"_qs, titlePattern}); }, timeoutMs);
}

bool activate(const QString& titlePattern) {
    return xdotool({u"search"_qs, u"--name"_qs, titlePattern, u"windowactivate"_qs, u"--sync"_qs});
}

// An application run for one test, ended with it: the process started and the one that shows the
// window (Writer's starter leaves that to another process).
struct RunningApp {
    QProcess process;
    QString windowPattern;
    RunningApp(const QString& program, const QStringList& arguments, QString titlePattern)
        : windowPattern(std::move(titlePattern)) {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, arguments);
    }
    ~RunningApp() {
        QString pid;
        if (xdotool({u"search"_qs, u"--name"_qs, windowPattern, u"getwindowpid"_qs}, &pid) && pid.toInt() > 0)
            ::kill(pid.toInt(), SIGTERM);
        process.terminate();
        if (!process.waitForFinished(10000)) process.kill(), process.waitForFinished(5000);
    }
};

// The view model with the real hot key and delivery services; the backend answers at once or after
// a second.
class RealAppDelivery : public ::testing::Test {
protected:
    test::FakeBootstrap fakes;
    std::shared_ptr<LinuxTextDeliveryServices> delivery;
    std::unique_ptr<AppViewModel> vm;
    // Profiles and documents live in the test desktop's private folders.
    QTemporaryDir folder{QDir(qEnvironmentVariable("XDG_CACHE_HOME", QDir::tempPath())).filePath(u"apps-XXXXXX"_qs)};
    const QStringList hotkey{u"Control_L"_qs, u"Alt_L"_qs, u"Return"_qs};

    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
        ASSERT_TRUE(folder.isValid());
        fakes.makeReadyForCloudDictation();
        AppBootstrap services = fakes.bootstrap();
        delivery = std::make_shared<LinuxTextDeliveryServices>();
        services.hotkeyMonitor = std::make_shared<CarbonHotkeyMonitor>(std::make_unique<XcbHotKeyRegistrar>());
        services.focusedTargetInspector = {delivery, &delivery->inspector()};
        services.textInserter = {delivery, &delivery->inserter()};
        services.pasteboardWriter = {delivery, &delivery->clipboard()};
        services.textInsertionStrategyResolver = {delivery, &delivery->strategyResolver()};
        services.syntheticPastePerformer = {delivery, &delivery->pastePerformer()};
        ViewModelEnvironment environment = fakes.environment();
        environment.clipboardPasteVerificationSleep = environment.focusSettleSleep = &sleepFor;
        vm = std::make_unique<AppViewModel>(services, environment);
        vm->preferences()->setHotkey(HotkeyShortcut::suggestions().at(1));
        ASSERT_TRUE(vm->session()->isHotkeyMonitoringActive());
    }

    // Holds the hot key, speaks, lets go and waits for the outcome.
    std::optional<Kind> dictate(const QString& words, bool slowBackend = false) {
        fakes.transcriber->answer.push(words);
        fakes.transcriber->held.setHolding(slowBackend);
        SessionViewModel& session = *vm->session();
        test::sendKeys(hotkey, true);
        const bool recording =
            test::waitUntil([&] { return session.runtimeState().kind() == SessionState::Kind::recording; }, 20000);
        AudioLevelSnapshot level = AudioLevelSnapshot::silent();
        level.peakPower = 0.3;
        fakes.audioCapture->levelPublisher().send(level);
        test::waitUntil([] { return false; }, 100);
        test::sendKeys(hotkey, false);
        if (!recording) {
            ADD_FAILURE() << "no recording: " << vm->inlineMessage().value_or(QString()).toStdString();
            return std::nullopt;
        }
        if (slowBackend) {
            test::waitUntil([] { return false; }, 1000);
            fakes.transcriber->held.releaseAll();
        }
        const auto ended = [&] {
            const auto kind = session.runtimeState().kind();
            return kind != SessionState::Kind::recording && kind != SessionState::Kind::uploading &&
                   kind != SessionState::Kind::injecting;
        };
        test::waitUntil(ended, 20000);
        if (qEnvironmentVariableIsSet("QV_DEBUG")) {
            QString title;
            xdotool({u"getactivewindow"_qs, u"getwindowname"_qs}, &title);
            qWarning() << "DEBUG" << words << vm->inlineMessage().value_or(u"-"_qs)
                       << session.lastInsertionFailureReason().value_or(u"-"_qs) << title
                       << int(session.runtimeState().kind())
                       << (session.lastDeliveryValidationOutcome() ? int(*session.lastDeliveryValidationOutcome()) : -1)
                       << (session.lastInsertionOutcome() ? int(*session.lastInsertionOutcome()) : -1);
        }
        return session.lastInsertionOutcome();
    }
};

// Waits for the accessibility bus to report the focus on a text element other than `previous` (it
// follows the X focus late); returns that element's identity, empty when it never came.
QString focusedTextElement(LinuxTextDeliveryServices& services, const QString& previous = {}) {
    QString key;
    test::waitUntil(
        [&] {
            try {
                const FocusedTargetSnapshot target = services.inspector().inspect();
                if (target.hasSettledFocus() && !target.isWindowOnly)
                    key = elementOf(target.elementHandle)->identityKey();
            } catch (const std::exception&) {
            }
            return !key.isEmpty() && key != previous;
        },
        30000);
    return key != previous ? key : QString();
}

bool landed(std::optional<Kind> outcome) {
    return outcome == Kind::inserted || outcome == Kind::pastedViaClipboard;
}

TEST_F(RealAppDelivery, FirefoxTextareaAndInputReceiveTwoDictationsEachAndTheSelectionsComeBack) {
    const QString profile = folder.filePath(u"firefox"_qs);
    QDir().mkpath(profile);
    QFile prefs(profile + u"/user.js"_qs);
    ASSERT_TRUE(prefs.open(QIODevice::WriteOnly));
    prefs.write(
        "user_pref(\"browser.aboutwelcome.enabled\", false);\n"
        "user_pref(\"browser.shell.checkDefaultBrowser\", false);\n"
        "user_pref(\"datareporting.policy.dataSubmissionPolicyBypassNotification\", true);\n"
        "user_pref(\"browser.startup.homepage_override.mstone\", \"ignore\");\n");
    prefs.close();
    // The page's own input events put the fields' values in its title, where the test reads them.
    QFile page(folder.filePath(u"page.html"_qs));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write(
        "<!doctype html><title>ready</title><textarea autofocus "
        "oninput=\"document.title='area:'+this.value\"></textarea>"
        "<input oninput=\"document.title='line:'+this.value\">");
    page.close();
    RunningApp firefox(u"firefox-esr"_qs,
                       {u"-profile"_qs, profile, u"-no-remote"_qs, u"--new-instance"_qs,
                        QUrl::fromLocalFile(page.fileName()).toString()},
                       u"Mozilla Firefox$"_qs);
    ASSERT_TRUE(waitForWindow(u"^ready"_qs)) << "Firefox never showed the page";
    ASSERT_TRUE(activate(u"^ready"_qs));
    const QString textarea = focusedTextElement(*delivery);
    ASSERT_FALSE(textarea.isEmpty());

    QClipboard* board = QGuiApplication::clipboard();
    board->setText(u"the user's clipboard"_qs, QClipboard::Clipboard);
    board->setText(u"the user's selection"_qs, QClipboard::Selection);
    EXPECT_TRUE(landed(dictate(u"hello world"_qs)));
    EXPECT_TRUE(waitForWindow(u"^area:hello world —"_qs, 10000));
    EXPECT_TRUE(landed(dictate(u"again"_qs, true)));
    EXPECT_TRUE(waitForWindow(u"^area:hello world again —"_qs, 10000));
    EXPECT_EQ(vm->session()->lastInsertionOutcome(), Kind::pastedViaClipboard) << "Firefox ignores direct writes";
    EXPECT_TRUE(test::waitUntil([&] { return board->text(QClipboard::Clipboard) == u"the user's clipboard"_qs; }));
    EXPECT_EQ(board->text(QClipboard::Selection), u"the user's selection"_qs);

    xdotool({u"key"_qs, u"--clearmodifiers"_qs, u"Tab"_qs});
    ASSERT_FALSE(focusedTextElement(*delivery, textarea).isEmpty());
    EXPECT_TRUE(landed(dictate(u"one"_qs)));
    EXPECT_TRUE(waitForWindow(u"^line:one —"_qs, 10000));
    EXPECT_TRUE(landed(dictate(u"two"_qs)));
    EXPECT_TRUE(waitForWindow(u"^line:one two —"_qs, 10000));
}

TEST_F(RealAppDelivery, WriterTakesTheTextAtTheCaretAndKeepsTheBoldWord) {
    const QString document = folder.filePath(u"note.fodt"_qs);
    QFile file(document);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.text">
<office:automatic-styles><style:style style:name="B" style:family="text"><style:text-properties fo:font-weight="bold"/></style:style></office:automatic-styles>
<office:body><office:text><text:p>Plain <text:span text:style-name="B">bold</text:span> end</text:p></office:text></office:body></office:document>
)");
    file.close();
    const QString profile = QUrl::fromLocalFile(folder.filePath(u"writer"_qs)).toString();
    qputenv("SAL_USE_VCLPLUGIN", "gtk3");
    RunningApp writer(
        u"soffice"_qs,
        {u"--writer"_qs, u"--norestore"_qs, u"--nologo"_qs, u"-env:UserInstallation="_qs + profile, document},
        u"^note.fodt"_qs);
    ASSERT_TRUE(waitForWindow(u"^note.fodt"_qs)) << "Writer never showed the document";
    ASSERT_TRUE(activate(u"^note.fodt"_qs));
    xdotool({u"key"_qs, u"--clearmodifiers"_qs, u"ctrl+End"_qs});
    ASSERT_FALSE(focusedTextElement(*delivery).isEmpty());

    EXPECT_TRUE(landed(dictate(u"more words"_qs)));
    EXPECT_TRUE(landed(dictate(u"again"_qs, true)));
    EXPECT_EQ(vm->session()->lastInsertionOutcome(), Kind::inserted);

    xdotool({u"key"_qs, u"--clearmodifiers"_qs, u"ctrl+s"_qs});
    QString saved;
    const auto written = [&] {
        if (!file.open(QIODevice::ReadOnly)) return false;
        saved = QString::fromUtf8(file.readAll());
        file.close();
        return saved.contains(u"again"_qs);
    };
    ASSERT_TRUE(test::waitUntil(written, 30000)) << saved.toStdString();
    EXPECT_TRUE(saved.contains(u"> end more words again</text:p>"_qs)) << saved.toStdString();
    // The bold word is still a span of a bold style.
    const QRegularExpression span(u"text:style-name=\"(\\w+)\">bold</text:span>"_qs);
    const QString style = span.match(saved).captured(1);
    ASSERT_FALSE(style.isEmpty()) << saved.toStdString();
    EXPECT_TRUE(QRegularExpression(u"style:name=\""_qs + style +
                                   u"\"[^>]*>\\s*<style:text-properties[^>]*:font-weight=\"bold\""_qs)
                    .match(saved)
                    .hasMatch())
        << saved.toStdString();
}

}  // namespace
}  // namespace quorvelle
