// The focus tracker's reading of a Qt 6 window whose focus moved as the press reads it. Qt tells the
// bus of a focus move a moment after it made it: the field the events named last then no longer claims
// the focus, yet, shown and focusable, it would pass for the focused one under the hot key's grab.
#include "DesktopInput.h"
#include "FixtureApp.h"
#include "Platform/Linux/AtspiConnection.h"
#include "Platform/Linux/AtspiElementKind.h"
#include "Platform/Linux/AtspiElementNavigator.h"
#include "Platform/Linux/AtspiFocusTracker.h"
#include "TestEventLoop.h"

#include <QDeadlineTimer>

#include <csignal>
#include <utility>

#include <atspi/atspi.h>
#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using test::FixtureApp;
namespace Tracker = AtspiFocusTracker;

const QString kSingleTitle = u"Single line"_qs, kMultiTitle = u"Multi line"_qs;

QString nameOf(const std::shared_ptr<AtspiElement>& element) {
    if (!element) return u"(none)"_qs;
    gchar* name = atspi_accessible_get_name(element->accessible(), nullptr);
    QString text = QString::fromUtf8(name ? name : "");
    g_free(name);
    return text;
}

// The text element below `element` that claims the focus, looked for in every object.
std::shared_ptr<AtspiElement> focusedTextIn(const std::shared_ptr<AtspiElement>& element) {
    const gint count = atspi_accessible_get_child_count(element->accessible(), nullptr);
    for (gint index = 0; index < count; ++index) {
        auto child = adoptAtspiElement(atspi_accessible_get_child_at_index(element->accessible(), index, nullptr),
                                       element->offsetUnit());
        if (!child) continue;
        if (AtspiElementKind::hasState(*child, ATSPI_STATE_FOCUSED) && AtspiElementKind::takesText(*child))
            return child;
        if (auto found = focusedTextIn(child)) return found;
    }
    return nullptr;
}

// The text element of that process that claims the focus, as its tree tells it.
std::shared_ptr<AtspiElement> focusedTextOf(qint32 processIdentifier) {
    const auto desktop = adoptAtspiElement(atspi_get_desktop(0), AtspiOffsetUnit::utf16CodeUnits);
    const gint count = atspi_accessible_get_child_count(desktop->accessible(), nullptr);
    for (gint index = 0; index < count; ++index) {
        auto app = adoptAtspiElement(atspi_accessible_get_child_at_index(desktop->accessible(), index, nullptr),
                                     AtspiOffsetUnit::utf16CodeUnits);
        if (app &&
            static_cast<qint32>(atspi_accessible_get_process_id(app->accessible(), nullptr)) == processIdentifier)
            return focusedTextIn(app);
    }
    return nullptr;
}

class FocusReading : public ::testing::Test {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs the desktop test environment";
        ASSERT_TRUE(AtspiConnection::ensureInitialised());
        m_fixture = std::make_unique<FixtureApp>(FixtureApp::Toolkit::Qt, u"Focus reading"_qs);
        m_pid = static_cast<qint32>(m_fixture->processId());
        ASSERT_TRUE(test::waitUntil([&] { return test::activateWindowOf(m_pid); }, 10000));
        ASSERT_TRUE(test::waitUntil([&] { return nameOf(focusedTextOfFixture()) == kSingleTitle; }, 10000))
            << "the fixture's window never held the focus";
    }

    std::shared_ptr<AtspiElement> focusedTextOfFixture() { return focusedTextOf(m_pid); }

    // The fixture's objects.
    Tracker::Membership belongs() {
        return [this](AtspiAccessible* accessible) -> std::optional<Tracker::ApplicationPart> {
            if (static_cast<qint32>(atspi_accessible_get_process_id(accessible, nullptr)) != m_pid) return std::nullopt;
            return Tracker::ApplicationPart{AtspiOffsetUnit::utf16CodeUnits, true, true};
        };
    }

    std::unique_ptr<FixtureApp> m_fixture;
    qint32 m_pid = 0;
};

// The events of a focus move are handled while the press reads the focus: the fixture's focus moves
// once the reading asked the bus which application the last focused field belongs to, and its events
// are handled while the reading searches the window (which names nothing here). What the reading read
// is older than they are, and it starts over from them.
TEST_F(FocusReading, AFocusEventHandledWhileTheFocusIsReadStartsTheReadingOver) {
    ASSERT_TRUE(Tracker::start());
    // The single-line field held the focus before we listened: the focus goes there anew (again,
    // should the application have been on its way to the bus).
    const auto trackedFocusIs = [&](const QString& title) {
        return test::waitUntil(
            [&] {
                try {
                    return nameOf(Tracker::focusedObject(m_pid, AtspiOffsetUnit::utf16CodeUnits)) == title;
                } catch (const std::exception&) {
                    return false;
                }
            },
            3000);
    };
    bool tracked = false;
    for (int attempt = 0; attempt < 5 && !tracked; ++attempt) {
        m_fixture->focus(u"multi"_qs);
        trackedFocusIs(kMultiTitle);
        m_fixture->focus(u"single"_qs);
        tracked = trackedFocusIs(kSingleTitle);
    }
    ASSERT_TRUE(tracked) << "the focus events never named the single-line field";

    const auto gained = std::make_shared<bool>(false);
    Tracker::observeGains([gained] { *gained = true; });
    const auto belongsMovingTheFocus = [&, moved = false](AtspiAccessible* accessible) mutable {
        auto part = belongs()(accessible);
        if (!std::exchange(moved, true)) m_fixture->focus(u"multi"_qs);
        return part;
    };
    int searches = 0;
    const auto searchWindow = [&](const std::shared_ptr<AtspiElement>&) -> std::shared_ptr<AtspiElement> {
        if (searches++ == 0) {
            const QDeadlineTimer deadline(5000);
            while (!*gained && !deadline.hasExpired())
                Tracker::catchUp(std::chrono::milliseconds(100));
        }
        return nullptr;
    };
    const Tracker::FocusReading reading = Tracker::readFocus(belongsMovingTheFocus, {}, searchWindow);
    ASSERT_TRUE(*gained) << "the fixture never told of the move";
    EXPECT_EQ(nameOf(reading.focused).toStdString(), kMultiTitle.toStdString());
    EXPECT_FALSE(reading.onItsWay);
}

// The events named a field last that no longer claims the focus while its window is still the active
// one (a grab would have taken the window's focus too), and no event told of the move yet (Qt answers
// a question before it sends the events of a focus it moved just before): the field the window's tree
// names focused takes its place. Staged with the fixture's focus moved before we listened, and the
// field it left taken for the last to have gained the focus, as at the app's start.
TEST_F(FocusReading, AFieldThatLostTheFocusInItsActiveWindowGivesWayToTheOneItsTreeNames) {
    const std::shared_ptr<AtspiElement> left = focusedTextOfFixture();
    ASSERT_EQ(nameOf(left), kSingleTitle);
    m_fixture->focus(u"multi"_qs);
    ASSERT_TRUE(test::waitUntil([&] { return nameOf(focusedTextOfFixture()) == kMultiTitle; }, 10000));
    ASSERT_TRUE(Tracker::start());
    Tracker::learnFocus(left->accessible());

    // Where the window's tree names no focused field, the field the events named stands.
    const Tracker::FocusReading unnamed =
        Tracker::readFocus(belongs(), {}, [](const std::shared_ptr<AtspiElement>&) { return nullptr; });
    ASSERT_EQ(nameOf(unnamed.focused).toStdString(), kSingleTitle.toStdString())
        << "the learnt focus did not take: the tracker had handled events before (run the test in a process of "
           "its own, as ctest does)";
    const Tracker::FocusReading reading = Tracker::readFocus(belongs(), {}, &focusedTextIn);
    EXPECT_EQ(nameOf(reading.focused).toStdString(), kMultiTitle.toStdString());
}

// Whether an application answers is asked of it each time, within the bound of the moment: libatspi
// keeps answers it was given, which a stopped application (one waiting on the thread that serves its
// accessibility) would seem to give still.
TEST(FocusReadingAcrossApplications, WhetherAnApplicationAnswersIsAskedOfItEachTime) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs the desktop test environment";
    ASSERT_TRUE(AtspiConnection::ensureInitialised());
    FixtureApp fixture(FixtureApp::Toolkit::Gtk, u"Asked"_qs);
    const auto pid = static_cast<qint32>(fixture.processId());
    ASSERT_TRUE(test::waitUntil([&] { return test::activateWindowOf(pid); }, 10000));
    std::shared_ptr<AtspiElement> field;
    ASSERT_TRUE(test::waitUntil([&] { return (field = focusedTextOf(pid)) != nullptr; }, 10000));
    AtspiElementNavigator navigator;
    const AtspiConnection::CallTimeoutScope bounded(40);
    EXPECT_TRUE(navigator.answers(*field));
    // Everything a look reads of the field, kept now.
    navigator.readMetadata(*field);
    ::kill(pid, SIGSTOP);
    const std::shared_ptr<void> resume(nullptr, [pid](void*) { ::kill(pid, SIGCONT); });
    EXPECT_FALSE(navigator.answers(*field));
    ::kill(pid, SIGCONT);
    EXPECT_TRUE(test::waitUntil([&] { return navigator.answers(*field); }, 5000));
}

// A GTK 3 window opens with its text view focused, taking the focus from a window whose field held it
// since before we listened (as a GTK 4 entry always does: it never announces a focus it has). That
// window's application is busy (here: stopped until the new window's gain was handled) and tells of its
// loss only after the gain. Under the hot key's grab, which takes GTK's focused state, the press reads
// the text view all the same.
TEST(FocusReadingAcrossApplications, ALateLossInTheWindowLeftBehindDoesNotHideTheNewWindowsField) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs the desktop test environment";
    ASSERT_TRUE(AtspiConnection::ensureInitialised());
    FixtureApp left(FixtureApp::Toolkit::Gtk, u"Left behind"_qs);
    const auto leftPid = static_cast<qint32>(left.processId());
    ASSERT_TRUE(test::waitUntil([&] { return test::activateWindowOf(leftPid); }, 10000));
    ASSERT_TRUE(test::waitUntil([&] { return nameOf(focusedTextOf(leftPid)) == kSingleTitle; }, 10000));
    // Its window settles in front before we listen.
    test::waitUntil([] { return false; }, 500);
    AtspiElementNavigator navigator;
    ::kill(leftPid, SIGSTOP);
    const std::shared_ptr<void> resume(nullptr, [leftPid](void*) { ::kill(leftPid, SIGCONT); });

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QUORVELLE_FIXTURE_FOCUS"_qs, u"multi"_qs);
    FixtureApp opened(FixtureApp::Toolkit::Gtk, u"Just opened"_qs, environment);
    const auto openedPid = static_cast<qint32>(opened.processId());
    const auto trackedInOpened = [&] {
        try {
            return nameOf(Tracker::focusedObject(openedPid, AtspiOffsetUnit::codePoints));
        } catch (const std::exception&) {
            return QString();
        }
    };
    ASSERT_TRUE(test::waitUntil([&] { return trackedInOpened() == kMultiTitle; }, 10000))
        << "the focus events never named the new window's text view";
    ::kill(leftPid, SIGCONT);
    ASSERT_TRUE(test::waitUntil([&] { return !focusedTextOf(leftPid); }, 10000))
        << "the window left behind kept its focused field";
    // Its loss reaches us a moment after it dropped the state.
    test::waitUntil([] { return false; }, 500);

    const std::shared_ptr<void> grab = test::grabKeyboard();
    ASSERT_TRUE(grab) << "the keyboard could not be grabbed";
    ASSERT_TRUE(test::waitUntil([&] { return !focusedTextOf(openedPid); }, 10000))
        << "GTK kept the text view's focused state under the grab";
    AccessibilityElementRef focused;
    try {
        focused = navigator.focusedElement(openedPid);
    } catch (const std::exception& error) {
        ADD_FAILURE() << "no focused element: " << error.what();
    }
    EXPECT_EQ(focused ? navigator.readMetadata(*focused).title.value_or(QString()).toStdString() : "(none)",
              kMultiTitle.toStdString());
}

}  // namespace
}  // namespace quorvelle
