// The dictation road over the real text-delivery services: a transcript from the fake engine lands
// in real Qt and GTK fields. Runs inside the desktop test environment (scripts/desktop-test-env).
#include "DictationRig.h"
#include "FixtureApp.h"
#include "Platform/Linux/LinuxTextDeliveryServices.h"
#include "Services/Delivery/DesktopInput.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"
#include "TestEventLoop.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

using Toolkit = FixtureApp::Toolkit;

class DesktopDictation : public ::testing::TestWithParam<Toolkit> {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs the desktop test environment";
        m_delivery = std::make_shared<LinuxTextDeliveryServices>();
    }

    // A view model whose delivery services are the desktop's own.
    std::unique_ptr<DictationRig> rig() {
        const auto delivery = m_delivery;
        auto made = std::make_unique<DictationRig>(
            [delivery](FakeBootstrap&, AppBootstrap& services) {
                services.focusedTargetInspector =
                    std::shared_ptr<FocusedTargetInspecting>(delivery, &delivery->inspector());
                services.textInsertionStrategyResolver =
                    std::shared_ptr<TextInsertionStrategyResolving>(delivery, &delivery->strategyResolver());
                services.textInserter = std::shared_ptr<TextInserting>(delivery, &delivery->inserter());
                services.pasteboardWriter = std::shared_ptr<ClipboardWriting>(delivery, &delivery->clipboard());
                services.syntheticPastePerformer =
                    std::shared_ptr<SyntheticPastePerforming>(delivery, &delivery->pastePerformer());
            },
            // The paste is checked after a real wait.
            [](ViewModelEnvironment& environment) { environment.clipboardPasteVerificationSleep = &sleepFor; });
        return made;
    }

    // Focuses the single-line field and waits until the accessibility bus reports it there.
    void focusSingleLine(FixtureApp& fixture) {
        activateWindowOf(fixture.processId());
        fixture.focus(QStringLiteral("single"));
        const bool focused = waitUntil(
            [&] {
                try {
                    const FocusedTargetSnapshot target = m_delivery->inspector().inspect();
                    return target.app.processIdentifier == fixture.processId() &&
                           target.element.title == QStringLiteral("Single line");
                } catch (const FocusedTargetInspectionError&) {
                    return false;
                }
            },
            10000);
        ASSERT_TRUE(focused) << "the field never showed on the accessibility bus";
    }

    // Lets the session finish first (a pasting target fetches the text from this process, which must
    // not block on the target meanwhile), then reads the field over the accessibility bus.
    bool waitForText(const DictationRig& dictation, const QString& text) {
        const auto delivering = [&] {
            return dictation.session().runtimeState().kind() == SessionState::Kind::injecting;
        };
        waitUntil([&] { return !delivering(); }, 10000);
        const std::optional<FocusedTargetSnapshot> target = dictation.session().focusedTarget();
        return target &&
               waitUntil(
                   [&] {
                       try {
                           return m_delivery->elementAccessor().copyStringAttribute(target->elementHandle) == text;
                       } catch (const std::exception&) {
                           return false;
                       }
                   },
                   10000);
    }

    std::shared_ptr<LinuxTextDeliveryServices> m_delivery;
};

TEST_P(DesktopDictation, WritesTheTranscriptIntoTheFocusedField) {
    FixtureApp fixture(GetParam(), QStringLiteral("Dictation"));
    fixture.setText(QStringLiteral("single"), QStringLiteral("Dear"));
    focusSingleLine(fixture);
    fixture.select(QStringLiteral("single"), 4, 0);
    auto dictation = rig();
    dictation->dictate();
    EXPECT_TRUE(waitForText(*dictation, QStringLiteral("Dear hello world")));
    EXPECT_EQ(dictation->state(), SessionState::success());
    EXPECT_EQ(dictation->session().lastInsertionStrategy(), TextInsertionStrategy::accessibilityValueWrite);
    ASSERT_EQ(dictation->fakes.history->entries.size(), 1);
    EXPECT_EQ(dictation->fakes.history->entries.first().completionKind, TranscriptHistoryCompletionKind::inserted);
}

INSTANTIATE_TEST_SUITE_P(Toolkits, DesktopDictation, ::testing::Values(Toolkit::Qt, Toolkit::Gtk),
                         [](const auto& info) { return std::string(info.param == Toolkit::Qt ? "Qt" : "Gtk"); });

class DesktopDictationTerminal : public DesktopDictation {};

// An application whose window calls itself a terminal gets the text by paste, never by a direct
// write, and the user's clipboard comes back afterwards.
TEST_P(DesktopDictationTerminal, PastesIntoATerminalAndGivesTheClipboardBack) {
    qputenv("RESOURCE_NAME", "terminal");
    FixtureApp fixture(GetParam(), QStringLiteral("Shell"));
    qunsetenv("RESOURCE_NAME");
    focusSingleLine(fixture);
    QGuiApplication::clipboard()->setText(QStringLiteral("user words"));
    auto dictation = rig();
    dictation->dictate();
    EXPECT_TRUE(waitForText(*dictation, QStringLiteral("hello world"))) << dictation->message().toStdString();
    EXPECT_EQ(dictation->state(), SessionState::success()) << dictation->message().toStdString();
    EXPECT_EQ(dictation->session().lastInsertionStrategy(), TextInsertionStrategy::clipboardPaste);
    ASSERT_EQ(dictation->fakes.history->entries.size(), 1);
    EXPECT_EQ(dictation->fakes.history->entries.first().completionKind,
              TranscriptHistoryCompletionKind::pastedViaClipboard);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("user words"));
}

INSTANTIATE_TEST_SUITE_P(Qt, DesktopDictationTerminal, ::testing::Values(Toolkit::Qt),
                         [](const auto&) { return std::string("Qt"); });

}  // namespace
}  // namespace quorvelle::test
