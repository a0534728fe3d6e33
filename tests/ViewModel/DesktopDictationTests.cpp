// The dictation road over the desktop's own delivery services, inside the desktop test environment.
#include "DesktopDeliveryWiring.h"
#include "DictationRig.h"
#include "FixtureApp.h"
#include "Platform/Linux/LinuxTextDeliveryServices.h"
#include "Services/Delivery/DesktopInput.h"
#include "TestEventLoop.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

struct Case {
    FixtureApp::Toolkit toolkit;
    bool terminal;  // the window calls itself a terminal: the text goes in by paste
};

class DesktopDictation : public ::testing::TestWithParam<Case> {};

TEST_P(DesktopDictation, PutsTheTranscriptIntoTheFocusedField) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs the desktop test environment";
    const auto services = std::make_shared<LinuxTextDeliveryServices>();
    if (GetParam().terminal) qputenv("RESOURCE_NAME", "terminal");
    FixtureApp fixture(GetParam().toolkit, u"Dictation"_qs);
    qunsetenv("RESOURCE_NAME");
    fixture.setText(u"single"_qs, u"Dear"_qs);
    activateWindowOf(fixture.processId());
    fixture.focus(u"single"_qs);
    fixture.select(u"single"_qs, 4, 0);
    std::optional<FocusedTargetSnapshot> field;
    waitUntil(  // the accessibility bus follows the focus with a delay
        [&] {
            try {
                field = services->inspector().inspect();
            } catch (const std::exception&) {
            }
            return field && field->app.processIdentifier == fixture.processId();
        },
        10000);
    QGuiApplication::clipboard()->setText(u"user words"_qs);

    DictationRig rig(
        [&](FakeBootstrap&, AppBootstrap& s) { useDesktopDelivery(s, services); },
        [](ViewModelEnvironment& environment) { environment.clipboardPasteVerificationSleep = &sleepFor; });
    rig.dictate();
    // A pasting target fetches the text from this process: nothing here may block on it meanwhile.
    waitUntil([&] { return rig.session().runtimeState().kind() != SessionState::Kind::injecting; }, 10000);
    EXPECT_EQ(rig.state(), SessionState::success()) << rig.message().toStdString();
    const QString expected = GetParam().terminal ? u"Dearhello world"_qs : u"Dear hello world"_qs;
    EXPECT_TRUE(waitUntil(
        [&] { return services->elementAccessor().copyStringAttribute(field->elementHandle) == expected; }, 10000));
    ASSERT_EQ(rig.fakes.history->entries.size(), 1);
    EXPECT_EQ(rig.fakes.history->entries.first().completionKind,
              GetParam().terminal ? TranscriptHistoryCompletionKind::pastedViaClipboard
                                  : TranscriptHistoryCompletionKind::inserted);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"user words"_qs);
}

INSTANTIATE_TEST_SUITE_P(Targets, DesktopDictation,
                         ::testing::Values(Case{FixtureApp::Toolkit::Qt, false}, Case{FixtureApp::Toolkit::Gtk, false},
                                           Case{FixtureApp::Toolkit::Qt, true}),
                         [](const auto& info) {
                             return std::string(info.param.terminal                             ? "QtTerminal"
                                                : info.param.toolkit == FixtureApp::Toolkit::Qt ? "Qt"
                                                                                                : "Gtk");
                         });

}  // namespace
}  // namespace quorvelle::test
