// Delivery into real Qt and GTK text fields over the accessibility bus, the clipboard and synthetic keys.
#include "DeliveryFakes.h"
#include "DesktopInput.h"
#include "FixtureApp.h"
#include "Platform/Linux/AccessibilityBus.h"
#include "Platform/Linux/AtspiElementNavigator.h"
#include "Platform/Linux/AtspiFocusTracker.h"
#include "Platform/Linux/LinuxTextDeliveryServices.h"
#include "Platform/Linux/X11FrontmostApplicationReader.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"
#include "TestEventLoop.h"

#include <QClipboard>
#include <QCoroCore>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

#include <atspi/atspi.h>

#include <csignal>

namespace quorvelle {
namespace {

using test::errorCaseOf;
using test::FixtureApp;
using Toolkit = FixtureApp::Toolkit;
using InsertionCase = TextInsertionError::Case;

const QString kSingle = u"single"_qs, kPassword = u"password"_qs, kMulti = u"multi"_qs;
const QHash<QString, QString> kTitles{
    {kSingle, u"Single line"_qs}, {kPassword, u"Password"_qs}, {kMulti, u"Multi line"_qs}};

class DesktopDelivery : public ::testing::TestWithParam<Toolkit> {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs the desktop test environment";
        m_services = std::make_unique<LinuxTextDeliveryServices>();
        m_fixture = std::make_unique<FixtureApp>(GetParam(), u"Delivery"_qs);
    }

    // Brings the process's window to the front and inspects until the bus reports the element of that
    // title there (any, for a window without a tree): AT-SPI focus follows the X focus late.
    FocusedTargetSnapshot inspectFront(qint64 pid, const QString& title = {}) {
        std::optional<FocusedTargetSnapshot> found;
        const auto arrived = [&] {
            if (!found || found->app.processIdentifier != pid) test::activateWindowOf(pid);
            errorCaseOf<FocusedTargetInspectionError>([&] { found = m_services->inspector().inspect(); });
            return found && found->app.processIdentifier == pid && (title.isEmpty() || found->element.title == title);
        };
        if (!test::waitUntil(arrived, 10000)) throw std::runtime_error("the window never showed in front");
        return *found;
    }
    FocusedTargetSnapshot focusAndInspect(const QString& field) {
        m_fixture->focus(field);
        return inspectFront(m_fixture->processId(), kTitles.value(field));
    }

    std::optional<QString> valueOf(const FocusedTargetSnapshot& target) {
        return m_services->elementAccessor().copyStringAttribute(target.elementHandle);
    }
    std::optional<TextRange> selectionOf(const FocusedTargetSnapshot& target) {
        return m_services->elementAccessor().copyRangeAttribute(target.elementHandle);
    }
    QString fieldText(const QString& field) { return m_fixture->texts().value(field).toString(); }

    // Spins the event loop until the field shows `text`: the target fetches the pasted data from us.
    bool waitForValue(const FocusedTargetSnapshot& target, const QString& text) {
        std::optional<QString> value;
        return test::waitUntil(
            [&] { return !errorCaseOf<TextInsertionError>([&] { value = valueOf(target); }) && value == text; }, 10000);
    }

    std::unique_ptr<LinuxTextDeliveryServices> m_services;
    std::unique_ptr<FixtureApp> m_fixture;
};

TEST_P(DesktopDelivery, InsertsAtTheCaretWithTheLeadingSpaceRuleAndNeverIntoOrOutOfAPasswordField) {
    // field, text, caret and selected length (UTF-16: a selection is replaced), dictated text -> result
    const std::tuple<QString, QString, int, int, QString, QString> rows[] = {
        {kSingle, u"hello"_qs, 5, 0, u"world"_qs, u"hello world"_qs},
        {kSingle, u"hello there"_qs, 6, 0, u"big "_qs, u"hello big there"_qs},
        {kSingle, u"hello"_qs, 0, 0, u"Oh"_qs, u"Ohhello"_qs},
        {kSingle, u"hello wrold again"_qs, 6, 5, u"world"_qs, u"hello world again"_qs},
        {kMulti, u"line\nsmile \U0001F600"_qs, 13, 0, u"ok"_qs, u"line\nsmile \U0001F600 ok"_qs},
    };
    for (const auto& [field, initial, caret, selected, text, expected] : rows) {
        SCOPED_TRACE(expected.toStdString());
        m_fixture->setText(field, initial);
        const FocusedTargetSnapshot target = focusAndInspect(field);
        // The fixtures count offsets as their toolkits do: Qt in UTF-16 units, GTK in characters.
        const auto offset = [&](int utf16) {
            return GetParam() == Toolkit::Qt ? utf16 : static_cast<int>(initial.left(utf16).toUcs4().size());
        };
        m_fixture->select(field, offset(caret), selected);
        EXPECT_EQ(target.element.role, field == kSingle ? u"AXTextField"_qs : u"AXTextArea"_qs);
        EXPECT_TRUE(target.element.supportsValueWrite && target.element.frame && !target.element.subrole);
        EXPECT_EQ(valueOf(target), initial);
        EXPECT_EQ(selectionOf(target), (TextRange{caret, selected}));
        // The look before a paste reads both at once, in the same units.
        const std::optional<TextInsertionPoint> point = m_services->insertionVerifier().insertionPoint(target);
        EXPECT_TRUE(point && point->value == initial && point->range == (TextRange{caret, selected}));

        const TextInsertionResult result = m_services->inserter().insert(text, target, std::nullopt);
        const TextRange inserted{caret, expected.size() - initial.size() + selected};
        EXPECT_EQ(result.outcome,
                  selected ? TextInsertionOutcome::replacedSelection : TextInsertionOutcome::insertedAtCaret);
        EXPECT_EQ(result.insertedRange, inserted);
        EXPECT_EQ(fieldText(field), expected);
        const TextInsertionPoint before{initial, TextRange{caret, selected}};
        EXPECT_EQ(m_services->insertionVerifier().verifyInsertion(*result.insertedText, target, before),
                  PasteReadBack::landed);
        EXPECT_EQ(selectionOf(target), (TextRange{inserted.end(), 0})) << "the caret goes after the text";
    }
    m_fixture->setText(kPassword, u"hunter2"_qs);
    const FocusedTargetSnapshot target = focusAndInspect(kPassword);
    EXPECT_EQ(target.element.subrole, u"AXSecureTextField"_qs);
    EXPECT_EQ(target.blockReason(), SessionBlockReason::secureField);
    EXPECT_EQ(valueOf(target), std::nullopt);
    EXPECT_FALSE(m_services->insertionVerifier().insertionPoint(target));
    EXPECT_EQ(errorCaseOf<TextInsertionError>([&] { m_services->inserter().insert(u"leak"_qs, target, std::nullopt); }),
              InsertionCase::unsupportedTarget);
    EXPECT_EQ(fieldText(kPassword), u"hunter2"_qs);
}

INSTANTIATE_TEST_SUITE_P(Toolkits, DesktopDelivery, ::testing::Values(Toolkit::Qt, Toolkit::Gtk),
                         [](const auto& info) { return std::string(info.param == Toolkit::Qt ? "Qt" : "Gtk"); });

// Scenarios in which the toolkit plays no part run against the GTK fixture only (its list of rows is GTK's).
class DesktopDeliveryAnyToolkit : public DesktopDelivery {};

// Every format of the user's clipboard comes back, even past a record without data (the app's road tests
// restore another application's); the paste goes in while the hot key's modifier is still held.
TEST_P(DesktopDeliveryAnyToolkit, PastesWithTheModifierHeldAndRestoresEveryFormatOfTheClipboard) {
    const QMap<QString, QByteArray> formats{{u"text/plain"_qs, "plain words"},
                                            {u"text/html"_qs, "<b>rich</b> words"},
                                            {u"application/x-quorvelle-probe"_qs, QByteArray("\x00\x01\xff", 3)}};
    auto data = new QMimeData;
    for (auto it = formats.constBegin(); it != formats.constEnd(); ++it)
        data->setData(it.key(), it.value());
    QGuiApplication::clipboard()->setMimeData(data);
    ClipboardWriting& clipboard = m_services->clipboard();
    const QList<ClipboardItemSnapshot> saved = clipboard.snapshot();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.first().representations, formats);

    m_fixture->setText(kMulti, QString());
    const FocusedTargetSnapshot multi = focusAndInspect(kMulti);
    const std::optional<TextInsertionPoint> before = m_services->insertionVerifier().insertionPoint(multi);
    ASSERT_TRUE(before && before->value.isEmpty());
    clipboard.writeString(u"dictated"_qs);
    // The wait for the fixture to fetch the words ends when it does, not on its clock.
    const auto fetchedWithin = [&](double seconds) {
        QElapsedTimer waited;
        waited.start();
        QCoro::waitFor(clipboard.fetched(seconds, {}));
        return waited.elapsed() < seconds * 1000 * 0.8;
    };
    EXPECT_FALSE(fetchedWithin(0.2));
    {
        test::setKeyDown("Alt_L", true);
        // A key left down would spoil every later test on this display.
        const std::shared_ptr<void> letGo(nullptr, [](void*) { test::setKeyDown("Alt_L", false); });
        ASSERT_TRUE(test::isKeyDown("Alt_L"));
        test::runTask(m_services->pastePerformer().performPaste(multi, {}, {}));
        EXPECT_FALSE(test::isKeyDown("Alt_L"));
    }
    EXPECT_TRUE(fetchedWithin(10));
    ASSERT_TRUE(waitForValue(multi, u"dictated"_qs));
    EXPECT_TRUE(fetchedWithin(10));
    EXPECT_EQ(m_services->insertionVerifier().verifyInsertion(u"dictated"_qs, multi, before), PasteReadBack::landed);
    clipboard.restore({ClipboardItemSnapshot{}, saved.first()});
    // Served back through X by the app's own selection thread, the text may also come under its
    // UTF-8 alias: every form the user had must come back with its own bytes.
    const QList<ClipboardItemSnapshot> restored = clipboard.snapshot();
    ASSERT_EQ(restored.size(), 1);
    for (auto it = formats.constBegin(); it != formats.constEnd(); ++it)
        EXPECT_EQ(restored.first().representations.value(it.key()), it.value()) << it.key().toStdString();
    test::runTask(m_services->pastePerformer().performPaste(multi, {}, {}));
    EXPECT_TRUE(waitForValue(multi, u"dictatedplain words"_qs));
    clipboard.restore({});
    EXPECT_TRUE(clipboard.snapshot().isEmpty());
}

// The front application is found by the input focus even where no window manager names it. One that stops
// answering must not hang the inspection; with accessibility off, its silence is a permission problem.
TEST_P(DesktopDeliveryAnyToolkit, FindsTheFrontApplicationAndGivesUpWhenItStopsAnswering) {
    const FocusedTargetSnapshot target = focusAndInspect(kSingle);
    {
        const auto noHint = test::hideActiveWindowProperty();
        const FocusedAppMetadata front =
            X11FrontmostApplicationReader::frontmostApplicationMetadata().value_or(FocusedAppMetadata{});
        EXPECT_EQ(front.processIdentifier, m_fixture->processId());
        EXPECT_EQ(front.localizedName, m_fixture->applicationName());
    }
    const auto pid = static_cast<pid_t>(m_fixture->processId());
    // Both are put back whatever happens: the rest of the tests share this desktop.
    const std::shared_ptr<void> restore(nullptr, [pid](void*) {
        ::kill(pid, SIGCONT);
        AccessibilityBus::setEnabled(true);
    });
    ::kill(pid, SIGSTOP);
    EXPECT_EQ(errorCaseOf<FocusedTargetInspectionError>([&] { m_services->inspector().inspect(); }),
              FocusedTargetInspectionError::Case::focusedElementUnavailable);
    ASSERT_TRUE(AccessibilityBus::setEnabled(false));
    EXPECT_EQ(errorCaseOf<TextInsertionError>([&] { valueOf(target); }), InsertionCase::accessibilityPermissionMissing);
}

// Every focus event holds a reference to the object that gained or lost the focus; one kept by
// mistake per event would keep every field the user ever visited alive.
TEST_P(DesktopDeliveryAnyToolkit, FocusEventsLeaveNoReferenceBehind) {
    const auto pid = static_cast<qint32>(m_fixture->processId());
    const auto trackedReferences = [&](const QString& field) {
        const QString key = elementOf(focusAndInspect(field).elementHandle)->identityKey();
        int count = 0;
        test::waitUntil(
            [&] {
                const auto tracked = AtspiFocusTracker::focusedObject(pid, AtspiOffsetUnit::utf16CodeUnits);
                count = tracked ? static_cast<int>(G_OBJECT(tracked->accessible())->ref_count) - 1 : 0;  // less ours
                return tracked && tracked->identityKey() == key;
            },
            10000);
        return count;
    };
    trackedReferences(kMulti);  // the fixture starts on the single-line field: move away first
    const int before = trackedReferences(kSingle);
    ASSERT_GT(before, 0) << "the focus tracker never saw the field";
    constexpr int kRounds = 6;
    int after = 0;
    for (int round = 0; round < kRounds; ++round) {
        trackedReferences(kMulti);
        after = trackedReferences(kSingle);
    }
    EXPECT_LT(after - before, kRounds) << "references grew from " << before << " to " << after;
}

// A list reports one child per cell; asking for each would stall on a long one.
TEST_P(DesktopDeliveryAnyToolkit, AListThatManagesItsRowsIsNotEnumerated) {
    m_fixture->showRows(2000);
    test::activateWindowOf(m_fixture->processId());
    m_fixture->focus(u"rows"_qs);
    AtspiElementNavigator navigator;
    AccessibilityElementRef list;
    const auto focused = [&] {
        list = nullptr;
        errorCaseOf<FocusedTargetInspectionError>([&] { list = navigator.focusedElement(m_fixture->processId()); });
        return list && navigator.readMetadata(*list).title == u"Rows"_qs;
    };
    ASSERT_TRUE(test::waitUntil(focused, 10000)) << "the list never took the focus";
    EXPECT_EQ(navigator.children(*list).size(), 0);
}

// Where the walk through the window finds no focused object, the object the focus events named last
// stands in only while it still holds the focus: the field that had it, hidden since (its window then
// keeps no focus at all), is not it.
TEST_P(DesktopDeliveryAnyToolkit, TheWalksFallbackGivesOnlyAnObjectThatHoldsTheFocus) {
    const auto pid = static_cast<qint32>(m_fixture->processId());
    AtspiElementNavigator navigator;
    const auto focusedTitle = [&](qint32 processIdentifier) -> std::optional<QString> {
        AccessibilityElementRef element;
        errorCaseOf<FocusedTargetInspectionError>([&] { element = navigator.focusedElement(processIdentifier); });
        if (!element) return std::nullopt;
        return navigator.readMetadata(*element).title.value_or(u"?"_qs);
    };
    const QString key = elementOf(focusAndInspect(kSingle).elementHandle)->identityKey();
    ASSERT_TRUE(test::waitUntil(
        [&] {
            const auto tracked = AtspiFocusTracker::focusedObject(pid, AtspiOffsetUnit::codePoints);
            return tracked && tracked->identityKey() == key;
        },
        10000))
        << "the focus events never named the field";
    EXPECT_EQ(focusedTitle(pid), kTitles.value(kSingle));

    m_fixture->hide(kSingle);
    std::optional<QString> title;
    // The loss of the focus reaches the bus a moment after the field went.
    test::waitUntil([&] { return !(title = focusedTitle(pid)); }, 5000);
    EXPECT_EQ(title, std::nullopt) << "a hidden field taken for the focus";
}

INSTANTIATE_TEST_SUITE_P(Gtk, DesktopDeliveryAnyToolkit, ::testing::Values(Toolkit::Gtk),
                         [](const auto&) { return std::string("Gtk"); });

}  // namespace
}  // namespace quorvelle
