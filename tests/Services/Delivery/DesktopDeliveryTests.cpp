// Text delivery into real Qt and GTK text fields through the accessibility bus, the clipboard and
// synthetic keys. Runs inside the desktop test environment (scripts/desktop-test-env).
#include "DesktopInput.h"
#include "FixtureApp.h"
#include "Platform/Linux/AccessibilityBus.h"
#include "Platform/Linux/AtspiElementNavigator.h"
#include "Platform/Linux/AtspiFocusTracker.h"
#include "Platform/Linux/LinuxTextDeliveryServices.h"
#include "Platform/Linux/X11FrontmostApplicationReader.h"
#include "Services/Delivery/ClipboardWriteError.h"
#include "Services/Delivery/FocusedTargetIdentityScore.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"
#include "Services/Delivery/SyntheticPasteError.h"
#include "Services/Delivery/TextInsertionError.h"
#include "TestEventLoop.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

#include <atspi/atspi.h>

#include <csignal>

namespace quorvelle {
namespace {

using test::FixtureApp;
using Toolkit = FixtureApp::Toolkit;

const QString kSingle = QStringLiteral("single");
const QString kPassword = QStringLiteral("password");
const QString kMulti = QStringLiteral("multi");

QString accessibleTitle(const QString& field) {
    if (field == kSingle) return QStringLiteral("Single line");
    if (field == kPassword) return QStringLiteral("Password");
    return QStringLiteral("Multi line");
}

class DesktopDelivery : public ::testing::TestWithParam<Toolkit> {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") {
            GTEST_SKIP() << "needs the desktop test environment (scripts/desktop-test-env)";
        }
        m_services = std::make_unique<LinuxTextDeliveryServices>();
    }

    std::unique_ptr<FixtureApp> launch(const QString& title = QStringLiteral("Delivery")) {
        return std::make_unique<FixtureApp>(GetParam(), title);
    }

    // Focuses a field and inspects until the accessibility bus reports it: AT-SPI focus follows the
    // X focus with a delay.
    FocusedTargetSnapshot focusAndInspect(FixtureApp& fixture, const QString& field) {
        test::activateWindowOf(fixture.processId());
        fixture.focus(field);
        std::optional<FocusedTargetSnapshot> found;
        test::waitUntil(
            [&] {
                try {
                    FocusedTargetSnapshot snapshot = m_services->inspector().inspect();
                    if (snapshot.app.processIdentifier == fixture.processId() &&
                        snapshot.element.title == accessibleTitle(field)) {
                        found = std::move(snapshot);
                    }
                } catch (const FocusedTargetInspectionError&) {
                }
                return found.has_value();
            },
            10000);
        if (!found) throw std::runtime_error("the focused field never showed on the accessibility bus");
        return *found;
    }

    std::optional<QString> valueOf(const FocusedTargetSnapshot& target) {
        return m_services->elementAccessor().copyStringAttribute(target.elementHandle);
    }

    // Spins the event loop until the field shows `text`: the target fetches pasted data from this
    // process, which must keep serving the clipboard meanwhile.
    bool waitForValue(const FocusedTargetSnapshot& target, const QString& text) {
        return test::waitUntil(
            [&] {
                try {
                    return valueOf(target) == text;
                } catch (const TextInsertionError&) {
                    return false;  // the target is busy fetching the clipboard
                }
            },
            10000);
    }

    // Offsets the fixtures take: Qt counts UTF-16 units, GTK characters.
    int fixtureOffset(const QString& text, int utf16Offset) const {
        return GetParam() == Toolkit::Qt ? utf16Offset : static_cast<int>(text.left(utf16Offset).toUcs4().size());
    }

    static QString fieldText(FixtureApp& fixture, const QString& field) {
        return fixture.texts().value(field).toString();
    }

    std::unique_ptr<LinuxTextDeliveryServices> m_services;
};

TEST_P(DesktopDelivery, InspectsTheFocusedFieldWithItsValueAndSelection) {
    auto fixture = launch();
    fixture->setText(kSingle, QStringLiteral("abcdef"));
    fixture->setText(kMulti, QStringLiteral("one\ntwo"));

    FocusedTargetSnapshot single = focusAndInspect(*fixture, kSingle);
    fixture->select(kSingle, 1, 3);
    EXPECT_EQ(single.element.role, QStringLiteral("AXTextField"));
    EXPECT_EQ(single.element.subrole, std::nullopt);
    EXPECT_TRUE(single.element.supportsValueWrite);
    EXPECT_TRUE(single.element.frame.has_value());
    EXPECT_EQ(single.app.localizedName, fixture->applicationName());
    EXPECT_EQ(valueOf(single), QStringLiteral("abcdef"));
    EXPECT_EQ(m_services->elementAccessor().copyRangeAttribute(single.elementHandle), (TextRange{1, 3}));

    FocusedTargetSnapshot multi = focusAndInspect(*fixture, kMulti);
    EXPECT_EQ(multi.element.role, QStringLiteral("AXTextArea"));
    EXPECT_EQ(valueOf(multi), QStringLiteral("one\ntwo"));
}

TEST_P(DesktopDelivery, BlocksAPasswordFieldAndNeverReportsItsText) {
    auto fixture = launch();
    fixture->setText(kPassword, QStringLiteral("hunter2"));
    const FocusedTargetSnapshot target = focusAndInspect(*fixture, kPassword);

    EXPECT_EQ(target.element.subrole, QStringLiteral("AXSecureTextField"));
    EXPECT_EQ(target.blockReason(), SessionBlockReason::secureField);
    EXPECT_EQ(valueOf(target), std::nullopt);
    try {
        m_services->inserter().insert(QStringLiteral("leak"), target, std::nullopt);
        ADD_FAILURE() << "a password field took text";
    } catch (const TextInsertionError& error) {
        EXPECT_EQ(error.errorCase(), TextInsertionError::Case::unsupportedTarget);
    }
    EXPECT_EQ(fieldText(*fixture, kPassword), QStringLiteral("hunter2"));
}

TEST_P(DesktopDelivery, InsertsAtTheCaretWithTheLeadingSpaceRule) {
    struct CaretCase {
        QString initial;
        int caret;  // UTF-16
        QString text;
        QString expected;
        int selected = 0;  // a selection of that length from the caret is replaced
    };
    const CaretCase cases[] = {
        {QStringLiteral("hello"), 5, QStringLiteral("world"), QStringLiteral("hello world")},
        {QStringLiteral("hello there"), 6, QStringLiteral("big "), QStringLiteral("hello big there")},
        {QStringLiteral("hello"), 0, QStringLiteral("Oh"), QStringLiteral("Ohhello")},
        {QStringLiteral("hello wrold again"), 6, QStringLiteral("world"), QStringLiteral("hello world again"), 5},
    };
    auto fixture = launch();
    for (const CaretCase& c : cases) {
        fixture->setText(kSingle, c.initial);
        FocusedTargetSnapshot target = focusAndInspect(*fixture, kSingle);
        fixture->select(kSingle, fixtureOffset(c.initial, c.caret), c.selected);
        const TextInsertionResult result = m_services->inserter().insert(c.text, target, std::nullopt);
        EXPECT_EQ(result.outcome,
                  c.selected ? TextInsertionOutcome::replacedSelection : TextInsertionOutcome::insertedAtCaret)
            << c.expected.toStdString();
        EXPECT_EQ(fieldText(*fixture, kSingle), c.expected);
        EXPECT_EQ(m_services->insertionVerifier().verifyInsertion(c.text, target), true);
        EXPECT_EQ(m_services->elementAccessor().copyRangeAttribute(target.elementHandle),
                  (TextRange{c.caret + c.selected + c.expected.size() - c.initial.size(), 0}))
            << "caret after the text in " << c.expected.toStdString();
    }
}

TEST_P(DesktopDelivery, InsertsAfterAnEmojiInAMultiLineField) {
    auto fixture = launch();
    const QString initial = QStringLiteral("line\nsmile \U0001F600");
    fixture->setText(kMulti, initial);
    const FocusedTargetSnapshot target = focusAndInspect(*fixture, kMulti);
    fixture->select(kMulti, fixtureOffset(initial, static_cast<int>(initial.size())), 0);
    EXPECT_EQ(m_services->elementAccessor().copyRangeAttribute(target.elementHandle), (TextRange{initial.size(), 0}));

    const TextInsertionResult result = m_services->inserter().insert(QStringLiteral("ok"), target, std::nullopt);
    EXPECT_EQ(result.insertedRange, (TextRange{initial.size(), 3}));
    EXPECT_EQ(fieldText(*fixture, kMulti), initial + QStringLiteral(" ok"));
    EXPECT_EQ(m_services->elementAccessor().copyRangeAttribute(target.elementHandle),
              (TextRange{initial.size() + 3, 0}));
}

// Scenarios in which the toolkit plays no part run against one fixture only.
class DesktopDeliveryAnyToolkit : public DesktopDelivery {};

TEST_P(DesktopDeliveryAnyToolkit, FindsTheFrontApplicationByInputFocusWithoutTheWindowManagersHint) {
    auto fixture = launch();
    focusAndInspect(*fixture, kSingle);
    const test::ActiveWindowPropertyHidden noHint;
    const std::optional<FocusedAppMetadata> front = X11FrontmostApplicationReader::frontmostApplicationMetadata();
    ASSERT_TRUE(front.has_value());
    EXPECT_EQ(front->processIdentifier, fixture->processId());
    EXPECT_EQ(front->localizedName, fixture->applicationName());
}

TEST_P(DesktopDeliveryAnyToolkit, RestoresAnotherApplicationsClipboardAfterPasting) {
    auto fixture = launch();
    fixture->setText(kSingle, QStringLiteral("copied words"));
    focusAndInspect(*fixture, kSingle);
    fixture->select(kSingle, 0, 12);
    test::pressCopyKeys();
    QClipboard* board = QGuiApplication::clipboard();
    ASSERT_TRUE(test::waitUntil(
        [&] { return !board->ownsClipboard() && board->text() == QLatin1String("copied words"); }, 10000));

    ClipboardWriting& clipboard = m_services->clipboard();
    const QList<ClipboardItemSnapshot> saved = clipboard.snapshot();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.first().representations.value(QStringLiteral("text/plain")), QByteArray("copied words"));

    fixture->setText(kMulti, QString());
    const FocusedTargetSnapshot multi = focusAndInspect(*fixture, kMulti);
    clipboard.writeString(QStringLiteral("dictated"));
    {
        // Pasting works even while the hot key's modifier is still held.
        test::holdAltKey();
        // A key left down would spoil every later test on this display.
        const std::shared_ptr<void> letGo(nullptr, [](void*) { test::releaseAltKey(); });
        ASSERT_TRUE(test::isAltKeyDown());
        m_services->pastePerformer().performPaste(multi);
        EXPECT_FALSE(test::isAltKeyDown());
    }
    ASSERT_TRUE(waitForValue(multi, QStringLiteral("dictated")));
    EXPECT_EQ(m_services->insertionVerifier().verifyInsertion(QStringLiteral("dictated"), multi), true);

    clipboard.restore(saved);
    EXPECT_EQ(clipboard.snapshot(), saved);
    // The restored clipboard serves other applications too.
    m_services->pastePerformer().performPaste(multi);
    EXPECT_TRUE(waitForValue(multi, QStringLiteral("dictatedcopied words")));
}

INSTANTIATE_TEST_SUITE_P(Toolkits, DesktopDelivery, ::testing::Values(Toolkit::Qt, Toolkit::Gtk),
                         [](const auto& info) { return std::string(info.param == Toolkit::Qt ? "Qt" : "Gtk"); });

TEST_P(DesktopDeliveryAnyToolkit, GivesUpOnAnApplicationThatStopsAnswering) {
    auto fixture = launch();
    focusAndInspect(*fixture, kSingle);
    ::kill(static_cast<pid_t>(fixture->processId()), SIGSTOP);
    std::optional<FocusedTargetInspectionError::Case> failure;
    try {
        m_services->inspector().inspect();
    } catch (const FocusedTargetInspectionError& error) {
        failure = error.errorCase();
    }
    ::kill(static_cast<pid_t>(fixture->processId()), SIGCONT);
    EXPECT_EQ(failure, FocusedTargetInspectionError::Case::focusedElementUnavailable);
}

TEST_P(DesktopDeliveryAnyToolkit, AnUnansweredCallWithAccessibilitySwitchedOffIsAPermissionProblem) {
    auto fixture = launch();
    const FocusedTargetSnapshot target = focusAndInspect(*fixture, kSingle);
    const auto pid = static_cast<pid_t>(fixture->processId());
    // Both are put back whatever happens: the rest of the tests share this desktop.
    const std::shared_ptr<void> restore(nullptr, [pid](void*) {
        ::kill(pid, SIGCONT);
        AccessibilityBus::setEnabled(true);
    });
    ::kill(pid, SIGSTOP);
    ASSERT_TRUE(AccessibilityBus::setEnabled(false));
    try {
        m_services->elementAccessor().copyStringAttribute(target.elementHandle);
        ADD_FAILURE() << "a stopped application answered";
    } catch (const TextInsertionError& error) {
        EXPECT_EQ(error.errorCase(), TextInsertionError::Case::accessibilityPermissionMissing);
    }
}

// Every focus event holds a reference to the object that gained or lost the focus; one kept by
// mistake per event would keep every field the user ever visited alive.
TEST_P(DesktopDeliveryAnyToolkit, FocusEventsLeaveNoReferenceBehind) {
    auto fixture = launch();
    const auto pid = static_cast<qint32>(fixture->processId());
    // The reference count of the tracked object once `field` holds the focus.
    const auto trackedReferences = [&](const QString& field) {
        focusAndInspect(*fixture, field);
        int count = 0;
        test::waitUntil(
            [&] {
                const auto tracked = AtspiFocusTracker::focusedObject(pid, AtspiOffsetUnit::utf16CodeUnits);
                if (!tracked) return false;
                gchar* name = atspi_accessible_get_name(tracked->accessible(), nullptr);
                const bool isField = QString::fromUtf8(name ? name : "") == accessibleTitle(field);
                g_free(name);
                count = static_cast<int>(G_OBJECT(tracked->accessible())->ref_count) - 1;  // less ours
                return isField;
            },
            10000);
        return count;
    };
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
TEST(DesktopDeliveryRows, AListThatManagesItsRowsIsNotEnumerated) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs the desktop test environment";
    FixtureApp fixture(Toolkit::Gtk, QStringLiteral("Rows"));
    fixture.showRows(2000);
    test::activateWindowOf(fixture.processId());
    fixture.focus(QStringLiteral("rows"));
    AtspiElementNavigator navigator;
    const auto pid = static_cast<qint32>(fixture.processId());
    AccessibilityElementRef list;
    test::waitUntil(
        [&] {
            try {
                list = navigator.focusedElement(pid);
            } catch (const FocusedTargetInspectionError&) {
                list = nullptr;
            }
            return list && navigator.readMetadata(*list).title == QStringLiteral("Rows");
        },
        10000);
    ASSERT_TRUE(list) << "the list never took the focus";
    ASSERT_EQ(navigator.readMetadata(*list).title, QStringLiteral("Rows"));
    EXPECT_EQ(navigator.children(*list).size(), 0);
}

INSTANTIATE_TEST_SUITE_P(Qt, DesktopDeliveryAnyToolkit, ::testing::Values(Toolkit::Qt),
                         [](const auto&) { return std::string("Qt"); });

class DesktopClipboard : public ::testing::Test {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") {
            GTEST_SKIP() << "needs the desktop test environment (scripts/desktop-test-env)";
        }
    }
    SystemPasteboardWriter writer;
};

QMap<QString, QByteArray> clipboardContents() {
    QMap<QString, QByteArray> contents;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data) return contents;
    for (const QString& format : data->formats())
        contents.insert(format, data->data(format));
    return contents;
}

TEST_F(DesktopClipboard, RestoresEveryFormatAndSkipsRecordsWithoutData) {
    const QMap<QString, QByteArray> formats{
        {QStringLiteral("text/plain"), QByteArray("plain words")},
        {QStringLiteral("text/html"), QByteArray("<b>rich</b> words")},
        {QStringLiteral("application/x-quorvelle-probe"), QByteArray("\x00\x01\xff", 3)},
    };
    auto data = new QMimeData;
    for (auto it = formats.constBegin(); it != formats.constEnd(); ++it)
        data->setData(it.key(), it.value());
    QGuiApplication::clipboard()->setMimeData(data);

    const QList<ClipboardItemSnapshot> saved = writer.snapshot();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.first().representations, formats);

    writer.writeString(QStringLiteral("transcript"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("transcript"));

    // A record without data among the others must not cost the user the rest of the clipboard.
    writer.restore({ClipboardItemSnapshot{}, saved.first()});
    EXPECT_EQ(clipboardContents(), formats);

    writer.restore({});
    EXPECT_TRUE(clipboardContents().isEmpty());
    EXPECT_TRUE(writer.snapshot().isEmpty());
}

}  // namespace
}  // namespace quorvelle
