// The app's own windows as a screen reader reads them over the accessibility bus, and worked by the
// keyboard alone: the popover signed out, the setup screen, the ready popover and every section of
// the dashboard.
#include "AppUnderTest.h"
#include "AppWindows.h"
#include "FakeBackendServer.h"
#include "TestEventLoop.h"

#include "Platform/Linux/AtspiElementNavigator.h"
#include "Services/Storage/SettingsKeys.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>

#include <atspi/atspi.h>
#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

struct Node {
    static QString owned(gchar* text) {
        return QString::fromUtf8(std::unique_ptr<gchar, decltype(&g_free)>(text, &g_free).get());
    }
    // Takes over `a`.
    static Node read(AtspiAccessible* a) {
        if (!a) return {};
        return {{a, g_object_unref},
                owned(atspi_accessible_get_role_name(a, nullptr)),
                owned(atspi_accessible_get_name(a, nullptr)),
                owned(atspi_accessible_get_description(a, nullptr)),
                {atspi_accessible_get_state_set(a), g_object_unref}};
    }
    Node reread() const { return read(ATSPI_ACCESSIBLE(g_object_ref(object.get()))); }
    // The library keeps one state set per object and updates it in place.
    bool has(AtspiStateType state) const { return states && atspi_state_set_contains(states.get(), state); }
    QRect extents() const {
        const std::unique_ptr<AtspiRect, decltype(&g_free)> box(
            atspi_component_get_extents(ATSPI_COMPONENT(object.get()), ATSPI_COORD_TYPE_SCREEN, nullptr), &g_free);
        return box ? QRect(box->x, box->y, box->width, box->height) : QRect();
    }
    std::string text() const { return (role + " '" + name + "' (" + description + ")").toStdString(); }

    std::shared_ptr<AtspiAccessible> object;
    QString role, name, description;
    std::shared_ptr<AtspiStateSet> states;
};

// What the app's showing window `width` wide holds: hidden items have no area, while items scrolled
// out of view keep theirs (and lose only their visible state).
QList<Node> windowTree(qint64 processId, int width) {
    static AtspiElementNavigator navigator;
    QList<Node> nodes;
    std::function<void(AtspiAccessible*, bool)> walk = [&](AtspiAccessible* parent, bool isApp) {
        for (int i = 0; i < atspi_accessible_get_child_count(parent, nullptr); ++i) {
            const Node child = Node::read(atspi_accessible_get_child_at_index(parent, i, nullptr));
            if (!child.object) continue;
            const QRect box = child.extents();
            if (isApp ? !child.has(ATSPI_STATE_SHOWING) || box.width() != width
                      : !child.has(ATSPI_STATE_VISIBLE) && box.isEmpty())
                continue;
            if (!isApp) nodes << child;
            walk(child.object.get(), false);
        }
    };
    if (const auto app = navigator.application(qint32(processId))) walk(app->accessible(), true);
    return nodes;
}

// The app's windows (shown or not) and the role and name of everything each holds.
QList<std::pair<Node, QStringList>> appWindows(qint64 processId) {
    static AtspiElementNavigator navigator;
    QList<std::pair<Node, QStringList>> windows;
    std::function<void(AtspiAccessible*, QStringList&)> walk = [&](AtspiAccessible* parent, QStringList& roles) {
        for (int i = 0; i < atspi_accessible_get_child_count(parent, nullptr); ++i) {
            const Node child = Node::read(atspi_accessible_get_child_at_index(parent, i, nullptr));
            if (!child.object) continue;
            roles << child.role + " '" + child.name + "'";
            walk(child.object.get(), roles);
        }
    };
    const auto app = navigator.application(qint32(processId));
    if (!app) return windows;
    for (int i = 0; i < atspi_accessible_get_child_count(app->accessible(), nullptr); ++i) {
        Node window = Node::read(atspi_accessible_get_child_at_index(app->accessible(), i, nullptr));
        if (!window.object) continue;
        QStringList roles;
        walk(window.object.get(), roles);
        windows.append({window, roles});
    }
    return windows;
}

// The innermost node that has the focus in the showing window `width` wide.
std::optional<Node> focusedIn(qint64 processId, int width) {
    std::optional<Node> focused;
    for (const Node& node : windowTree(processId, width))
        if (node.has(ATSPI_STATE_FOCUSED)) focused = node;
    return focused;
}

// Every control and scroll bar named, choices and sections selectable, and controls that share a name
// told apart by their descriptions. Returns how many switches and choices there are.
int expectReadable(const QList<Node>& nodes, const std::string& where) {
    static const QStringList controls{"push button", "check box", "radio button", "page tab",
                                      "text",        "combo box", "scroll bar"};
    QHash<QString, QStringList> descriptions;
    int choices = 0;
    for (const Node& node : nodes) {
        if (!controls.contains(node.role)) continue;
        EXPECT_FALSE(node.name.isEmpty()) << where << ": " << node.text();
        // A check box is on or off by its role alone.
        const bool isChoice = node.role == "radio button" || node.role == "page tab";
        EXPECT_TRUE(!isChoice || node.has(ATSPI_STATE_SELECTABLE)) << where << ": " << node.text();
        choices += node.role == "radio button" || node.role == "check box";
        descriptions[node.name] << node.description;
    }
    for (auto it = descriptions.begin(); it != descriptions.end(); ++it)
        EXPECT_EQ(QSet<QString>(it->begin(), it->end()).size(), it->size())
            << where << ": " << it.key().toStdString() << " (" << it->join("|").toStdString() << ")";
    return choices;
}

class AccessibleWindowsDesktop : public ::testing::Test {
protected:
    static void xdotool(const QStringList& arguments) { QProcess::execute(QStringLiteral("xdotool"), arguments); }
    static auto named(const QString& name, const QString& role = QStringLiteral("push button")) {
        return [=](const Node& n) { return n.name == name && (n.role == role || n.description.contains(role)); };
    }
    static bool shows(qint64 pid, int width, const std::function<bool(const Node&)>& wanted = {}) {
        const auto tree = windowTree(pid, width);
        return wanted ? std::ranges::any_of(tree, wanted) : !tree.isEmpty();
    }

    // Tabs (80 times at most) to the wanted control, the innermost node with the focus; none when the
    // focus never came to it.
    static std::optional<Node> reach(qint64 pid, int width, const std::function<bool(const Node&)>& wanted,
                                     const QString& tab = QStringLiteral("Tab")) {
        for (int i = 0; i < 80; ++i, xdotool({"key", tab})) {
            const std::optional<Node> focused = focusedIn(pid, width);
            if (focused && wanted(*focused)) return focused;
        }
        return std::nullopt;
    }
    // Tabs to the wanted control, presses `key` and waits until `done`.
    static bool operate(qint64 pid, int width, const std::function<bool(const Node&)>& wanted, const QString& key,
                        const std::function<bool(const Node&)>& done, const QString& tab = QStringLiteral("Tab")) {
        const std::optional<Node> focused = reach(pid, width, wanted, tab);
        if (!focused) return false;
        xdotool({"key", "--clearmodifiers", key});
        return waitUntil([&] { return done(focused->reread()); }, 5000);
    }
    static bool openPopover(qint64 pid) {
        return waitUntil(
            [&] {
                for (const DesktopWindow& w : windowsOfClass(QStringLiteral("Quorvelle")))
                    if (w.inTray && !shows(pid, 360))
                        xdotool({"mousemove", QString::number(w.screenGeometry.center().x()),
                                 QString::number(w.screenGeometry.center().y()), "click", "1"});
                return shows(pid, 360);
            },
            15000);
    }
};

TEST_F(AccessibleWindowsDesktop, EveryWindowReadsAndWorksWithoutAMouse) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    const auto signOut = qScopeGuard(clearStoredSession);
    {
        AppUnderTest signedOut;
        signedOut.start();
        ASSERT_TRUE(openPopover(signedOut.processId())) << signedOut.standardError().toStdString();
        expectReadable(windowTree(signedOut.processId(), 360), "signed out");
        EXPECT_TRUE(shows(signedOut.processId(), 360, named("Sign in required", "label"))) << "the heading is read";
    }
    seedSignedInSession();
    AppUnderTest app;
    app.defaults().setBool(QString::fromLatin1(SettingsKeys::acceptedPrivacyDisclosure), false);
    app.settings().setDictionaryEntries(
        {{QUuid::createUuid(), "web hook", "WebHook", "", {}}, {QUuid::createUuid(), "cue vee", "QV", "", {}}});
    app.start();
    const qint64 pid = app.processId();
    ASSERT_TRUE(openPopover(pid));
    expectReadable(windowTree(pid, 360), "setup");
    // Exclusive choices read as radio buttons, the chosen one checked.
    const auto choice = [&](int width, const QString& name, bool chosen) {
        return shows(pid, width, [&](const Node& n) {
            return named(name, "radio button")(n) && n.has(ATSPI_STATE_CHECKED) == chosen;
        });
    };
    EXPECT_TRUE(choice(360, "Cloud", true) && choice(360, "Local", false));
    const auto sheetShown = [&](bool shown) { return [=](const Node&) { return shows(pid, 380) == shown; }; };
    // Hidden, the sheets hold nothing a screen reader would walk into, no unnamed scroll bar least of all.
    const auto hiddenHoldNothing = [&](const std::string& when) {
        for (const auto& [window, held] : appWindows(pid)) {
            if (window.has(ATSPI_STATE_SHOWING)) continue;
            EXPECT_FALSE(held.contains("scroll bar ''"))
                << when << ": " << window.text() << " holds " << held.join(", ").toStdString();
        }
    };
    hiddenHoldNothing("before the sheet");
    ASSERT_TRUE(operate(pid, 360, named("View text", "rivacy"), "Return", sheetShown(true)));
    // The sheet's window is named after it and opens with its text in the focus.
    EXPECT_TRUE(std::ranges::any_of(appWindows(pid), [](const auto& window) {
        return window.first.has(ATSPI_STATE_SHOWING) && window.first.extents().width() == 380 &&
               window.first.name == "Privacy / data processing";
    }));
    EXPECT_TRUE(waitUntil([&] {
        const auto focused = focusedIn(pid, 380);
        return focused && focused->name.startsWith("Quorvelle, sesi yalnizca");
    }));
    // The text the user is asked to accept is read, not only its title.
    EXPECT_TRUE(shows(pid, 380, [](const Node& n) {
        return n.name.startsWith("Quorvelle, sesi yalnizca dikte istendigi anda isler.") &&
               n.name.contains("- Ses kaydi cihazda kalici arsiv olarak tutulmaz.");
    })) << "no disclosure body";
    expectReadable(windowTree(pid, 380), "privacy sheet");
    ASSERT_TRUE(operate(pid, 380, sheetShown(true), "Escape", sheetShown(false)));
    hiddenHoldNothing("after the sheet");
    const auto ready = [&](const Node&) { return shows(pid, 360, named("Open Dashboard")); };
    ASSERT_TRUE(openPopover(pid) && operate(pid, 360, named("Accept", "rivacy"), "space", ready));
    // The last Accept took the setup screen away: the ready panel's first tab has the focus, and the
    // tab list is not read as focused itself.
    EXPECT_TRUE(waitUntil([&] {
        const auto focused = focusedIn(pid, 360);
        return focused && named("Status", "page tab")(*focused);
    })) << (focusedIn(pid, 360) ? focusedIn(pid, 360)->text() : "nothing focused");
    EXPECT_FALSE(std::ranges::any_of(
        windowTree(pid, 360), [](const Node& n) { return n.role == "page tab list" && n.has(ATSPI_STATE_FOCUSED); }));
    expectReadable(windowTree(pid, 360), "ready");
    // Return opens the Settings tab, whose recording modes are radio buttons.
    const auto is = [](AtspiStateType state, bool on = true) {
        return [=](const Node& n) { return n.has(state) == on; };
    };
    EXPECT_TRUE(operate(pid, 360, named("Settings", "page tab"), "Return", is(ATSPI_STATE_SELECTED)));
    EXPECT_TRUE(waitUntil([&] { return choice(360, "Push-to-Talk", true) && choice(360, "Toggle", false); }, 5000));
    expectReadable(windowTree(pid, 360), "ready settings");
    xdotool({"key", "Escape"});
    EXPECT_TRUE(waitUntil([&] { return !shows(pid, 360); }, 5000)) << "Escape puts the popover away";
    // Opened again by a click, the popover has its first tab in the focus; a stray Shift+Tab stays
    // there, and Return after it never reaches Quit.
    ASSERT_TRUE(openPopover(pid));
    const auto statusFocused = [&] {
        const auto focused = focusedIn(pid, 360);
        return focused && named("Status", "page tab")(*focused);
    };
    EXPECT_TRUE(waitUntil(statusFocused, 5000))
        << (focusedIn(pid, 360) ? focusedIn(pid, 360)->text() : "nothing focused");
    for (const char* key : {"shift+Tab", "shift+Tab", "Return"})
        xdotool({"key", "--clearmodifiers", key});
    waitUntil([] { return false; }, 1000);
    ASSERT_TRUE(app.isRunning()) << "a Shift+Tab and Return quit the app";
    EXPECT_TRUE(statusFocused());
    xdotool({"key", "Escape"});
    EXPECT_TRUE(waitUntil([&] { return !shows(pid, 360); }, 5000));

    ASSERT_EQ(app.runCopy(), 0);
    ASSERT_TRUE(waitUntil([&] { return shows(pid, 1270); }, 10000));
    QList<Node> sections;
    std::ranges::copy_if(windowTree(pid, 1270), std::back_inserter(sections),
                         [](auto& n) { return n.role == "page tab"; });
    ASSERT_EQ(sections.size(), 10);
    // The sections with switches and choices, none of which may read as a push button.
    const QHash<QString, int> choicesIn{{"Instructions", 8}, {"Shortcuts", 2}, {"Settings", 8}, {"Appearance", 8}};
    for (const Node& section : sections) {
        atspi_component_grab_focus(ATSPI_COMPONENT(section.object.get()), nullptr);
        xdotool({"key", "Return"});
        ASSERT_TRUE(waitUntil([&] { return section.reread().has(ATSPI_STATE_SELECTED); }, 5000)) << section.text();
        EXPECT_GE(expectReadable(windowTree(pid, 1270), section.name.toStdString()), choicesIn.value(section.name))
            << section.text();
    }

    // From the keyboard alone: a section, a choice, a switch (on by default) and a text field.
    const auto fallback = named("Use clipboard fallback", "check box");
    EXPECT_TRUE(operate(pid, 1270, named("Settings", "page tab"), "Return", is(ATSPI_STATE_SELECTED)));
    // The greyed GPU choice reads as disabled and says why; the CPU one beside it works.
    const auto acceleration = [&](const QString& name, bool works) {
        return shows(pid, 1270, [&](const Node& n) {
            return named(name, "radio button")(n) && n.has(ATSPI_STATE_ENABLED) == works &&
                   n.has(ATSPI_STATE_SENSITIVE) == works && n.description == (works ? "" : "Unavailable");
        });
    };
    EXPECT_TRUE(acceleration("GPU", false)) << "the GPU choice reads as available";
    EXPECT_TRUE(acceleration("CPU", true)) << "the CPU choice reads as unavailable";
    EXPECT_TRUE(operate(pid, 1270, named("Afrikaans (af)", "radio button"), "space", is(ATSPI_STATE_SELECTED)));
    EXPECT_TRUE(shows(pid, 1270, [&](const Node& n) { return fallback(n) && n.has(ATSPI_STATE_CHECKED); }));
    EXPECT_TRUE(operate(pid, 1270, fallback, "space", is(ATSPI_STATE_CHECKED, false)));
    const auto typed = [](const Node& n) {
        return Node::owned(atspi_text_get_text(ATSPI_TEXT(n.object.get()), 0, -1, nullptr)) == "t";
    };
    EXPECT_TRUE(operate(pid, 1270, named("Search languages", "text"), "t", typed, QStringLiteral("shift+Tab")));
}

// What a screen reader is told of the focus in one process: each focus state change of its objects,
// gained or lost, as "role 'name' +" or "-".
class FocusEvents {
public:
    explicit FocusEvents(qint64 processId) : m_processId(processId) {
        atspi_init();
        m_listener = atspi_event_listener_new(&FocusEvents::onFocus, this, nullptr);
        atspi_event_listener_register(m_listener, "object:state-changed:focused", nullptr);
    }
    ~FocusEvents() {
        atspi_event_listener_deregister(m_listener, "object:state-changed:focused", nullptr);
        g_object_unref(m_listener);
    }
    FocusEvents(const FocusEvents&) = delete;
    FocusEvents& operator=(const FocusEvents&) = delete;

    QStringList heard() const { return m_heard; }

private:
    static void onFocus(AtspiEvent* event, void* self) {
        auto* events = static_cast<FocusEvents*>(self);
        if (event->source && atspi_accessible_get_process_id(event->source, nullptr) == guint(events->m_processId)) {
            const Node node = Node::read(ATSPI_ACCESSIBLE(g_object_ref(event->source)));
            events->m_heard << QString::fromStdString(node.text()) + (event->detail1 ? " +" : " -");
        }
        g_boxed_free(ATSPI_TYPE_EVENT, event);
    }

    qint64 m_processId;
    AtspiEventListener* m_listener = nullptr;
    QStringList m_heard;
};

// The account page from the keyboard, through a sign-in and a sign-out: each step hides the control
// that moved it on, and the first control of the next step takes the focus; while the sign-in waits,
// its polls every two seconds leave the focus where it is, without a focus event.
TEST_F(AccessibleWindowsDesktop, TheAccountPageHandsTheFocusOnAndHoldsItStillWhileTheSignInWaits) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    clearStoredSession();
    const auto signOut = qScopeGuard(clearStoredSession);
    const QString poll = QStringLiteral("/v1/auth/device-login/poll");
    FakeBackendServer server;
    const auto answer = [&](const QByteArray& pollAnswer) {
        server.clearScript();
        server.respond(
            "POST", QStringLiteral("/v1/auth/device-login/start"),
            FakeResponse::json(200, R"({"device_login_id":"login-1","device_poll_secret":"secret-1",)"
                                    R"("user_code":"ABCD-EFGH","verification_url":"https://web.example.test/d"})"));
        server.respond("POST", poll, FakeResponse::json(200, pollAnswer));
        server.respond("POST", QStringLiteral("/v1/devices/register"),
                       FakeResponse::json(200, R"({"status":"registered","device":{"id":"DEVICE-9"}})"));
        server.respond("POST", QStringLiteral("/v1/auth/logout"), FakeResponse::json(200, "{}"));
        server.respond("POST", QStringLiteral("/v1/internal/log-events"), FakeResponse::json(202, "{}"));
    };
    answer(R"({"status":"authorization_pending"})");
    AppUnderTest app(server.baseUrl());
    // The verification page opens in a handler that does nothing, not in a browser that would come to
    // the front.
    const QString config = app.environment().value(QStringLiteral("XDG_CONFIG_HOME"));
    const QString applications = app.environment().value(QStringLiteral("XDG_DATA_HOME")) + u"/applications"_qs;
    ASSERT_TRUE(QDir().mkpath(applications));
    QFile handler(applications + u"/quorvelle-test-browser.desktop"_qs);
    QFile defaults(config + u"/mimeapps.list"_qs);
    ASSERT_TRUE(handler.open(QIODevice::WriteOnly) && defaults.open(QIODevice::WriteOnly));
    handler.write("[Desktop Entry]\nType=Application\nName=Browser\nExec=true %u\n");
    defaults.write(
        "[Default Applications]\nx-scheme-handler/http=quorvelle-test-browser.desktop\n"
        "x-scheme-handler/https=quorvelle-test-browser.desktop\n");
    handler.close();
    defaults.close();
    app.start();
    // Started once its tray icon shows; a second launch then opens the dashboard.
    ASSERT_TRUE(waitUntil(
        [] { return std::ranges::any_of(windowsOfClass(u"Quorvelle"_qs), [](const auto& w) { return w.inTray; }); },
        30000))
        << app.standardError().toStdString();
    const qint64 pid = app.processId();
    ASSERT_EQ(app.runCopy(), 0);
    ASSERT_TRUE(waitUntil([&] { return shows(pid, 1270); }, 10000));
    const auto focusOn = [&](const QString& name) {
        return [=](const Node&) {
            const auto focused = focusedIn(pid, 1270);
            return focused && named(name)(*focused);
        };
    };
    const auto focusedText = [&] { return focusedIn(pid, 1270) ? focusedIn(pid, 1270)->text() : "nothing focused"; };
    ASSERT_TRUE(operate(pid, 1270, named("Account"), "Return",
                        [&](const Node&) { return shows(pid, 1270, named("Connect This Computer")); }));
    // Connect hides as the code comes: the focus goes straight to Open in Browser, and a screen reader
    // hears of no control gaining it that is gone.
    ASSERT_TRUE(reach(pid, 1270, named("Connect This Computer")));
    {
        const FocusEvents events(pid);
        xdotool({"key", "--clearmodifiers", "Return"});
        EXPECT_TRUE(waitUntil([&] { return focusOn("Open in Browser")({}); }, 5000)) << focusedText();
        // Any late event is in.
        waitUntil([] { return false; }, 500);
        EXPECT_TRUE(events.heard().filter(QRegularExpression("'Connect This Computer'.* \\+$")).isEmpty())
            << events.heard().join(", ").toStdString();
    }

    // Two polls go by while the keyboard rests on Check.
    ASSERT_TRUE(reach(pid, 1270, named("Check")));
    {
        const FocusEvents events(pid);
        const qsizetype polled = server.requestsTo(poll).size();
        EXPECT_TRUE(waitUntil([&] { return server.requestsTo(poll).size() >= polled + 2; }, 15000));
        // The second poll's answer is in.
        waitUntil([] { return false; }, 500);
        EXPECT_TRUE(events.heard().isEmpty()) << events.heard().join(", ").toStdString();
        EXPECT_TRUE(focusOn("Check")({})) << focusedText();
    }

    // The approval comes with a poll: Check goes, Sign Out takes the focus; signed out, Connect does.
    answer(R"({"status":"approved","access_token":"access-1","refresh_token":"refresh-1"})");
    EXPECT_TRUE(waitUntil([&] { return focusOn("Sign Out")({}); }, 15000)) << focusedText();
    EXPECT_TRUE(operate(pid, 1270, named("Sign Out"), "Return", focusOn("Connect This Computer"))) << focusedText();
}

}  // namespace
}  // namespace quorvelle::test
