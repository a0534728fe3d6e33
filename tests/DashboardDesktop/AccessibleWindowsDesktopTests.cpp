// The app's own windows as a screen reader reads them over the accessibility bus, and worked by the
// keyboard alone: the popover signed out, the setup screen, the ready popover and every section of
// the dashboard.
#include "AppUnderTest.h"
#include "AppWindows.h"
#include "TestEventLoop.h"

#include "Platform/Linux/AtspiElementNavigator.h"
#include "Services/Storage/SettingsKeys.h"

#include <QProcess>
#include <QScopeGuard>

#include <atspi/atspi.h>
#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

QString owned(gchar* text) {
    const QString result = QString::fromUtf8(text ? text : "");
    g_free(text);
    return result;
}

QRect extents(AtspiAccessible* object) {
    AtspiRect* box = atspi_component_get_extents(ATSPI_COMPONENT(object), ATSPI_COORD_TYPE_SCREEN, nullptr);
    const QRect rect = box ? QRect(box->x, box->y, box->width, box->height) : QRect();
    g_free(box);
    return rect;
}

struct Node {
    std::shared_ptr<AtspiAccessible> object;
    QString role, name, description;
    std::shared_ptr<AtspiStateSet> states;
    bool has(AtspiStateType state) const { return states && atspi_state_set_contains(states.get(), state); }
    std::string text() const { return (role + " '" + name + "' (" + description + ")").toStdString(); }
};

Node read(AtspiAccessible* adopted) {
    if (!adopted) return {};
    return {{adopted, g_object_unref},
            owned(atspi_accessible_get_role_name(adopted, nullptr)),
            owned(atspi_accessible_get_name(adopted, nullptr)),
            owned(atspi_accessible_get_description(adopted, nullptr)),
            {atspi_accessible_get_state_set(adopted), g_object_unref}};
}

Node reread(const Node& node) {
    return read(ATSPI_ACCESSIBLE(g_object_ref(node.object.get())));
}

// What the app's showing window `width` wide holds: hidden items have no area, while items scrolled
// out of view keep theirs (and lose only their visible state).
QList<Node> windowTree(qint64 processId, int width) {
    static AtspiElementNavigator navigator;
    QList<Node> nodes;
    std::function<void(AtspiAccessible*, bool)> walk = [&](AtspiAccessible* parent, bool isApp) {
        for (int i = 0; i < atspi_accessible_get_child_count(parent, nullptr); ++i) {
            const Node child = read(atspi_accessible_get_child_at_index(parent, i, nullptr));
            const QRect box = child.object ? extents(child.object.get()) : QRect();
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

// Every control named; choices and sections selectable; controls that share a name told apart by
// their descriptions. Returns how many switches and choices there are.
int expectReadable(const QList<Node>& nodes, const std::string& where) {
    const QStringList controls{"push button", "check box", "radio button", "page tab", "text", "combo box"};
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

void xdotool(const QStringList& arguments) {
    QProcess::execute(QStringLiteral("xdotool"), arguments);
}
void key(const QString& name) {
    xdotool({"key", "--clearmodifiers", name});
}

auto named(const QString& name, const QString& role = QStringLiteral("push button")) {
    return [=](const Node& n) { return n.name == name && n.role == role; };
}

// Tabs (80 times at most) until the focused control, the innermost node with the focus, is wanted.
std::optional<Node> tabTo(qint64 pid, int width, const std::function<bool(const Node&)>& wanted,
                          const QString& tab = QStringLiteral("Tab")) {
    for (int i = 0; i < 80; ++i, key(tab)) {
        std::optional<Node> focused;
        for (const Node& node : windowTree(pid, width))
            if (node.has(ATSPI_STATE_FOCUSED)) focused = node;
        if (focused && wanted(*focused)) return focused;
    }
    return std::nullopt;
}

// Tabs to the control, presses `press` and waits for its `state` to turn.
bool operate(qint64 pid, int width, const std::function<bool(const Node&)>& wanted, const QString& press,
             AtspiStateType state, const QString& tab = QStringLiteral("Tab")) {
    const auto node = tabTo(pid, width, wanted, tab);
    // The library keeps one state set per object and updates it in place.
    const bool before = node && node->has(state);
    if (node) key(press);
    return node && waitUntil([&] { return reread(*node).has(state) != before; }, 5000);
}

bool openPopover(AppUnderTest& app) {
    return waitUntil(
        [&] {
            for (const DesktopWindow& w : windowsOfClass(QStringLiteral("Quorvelle")))
                if (w.inTray && windowTree(app.processId(), 360).isEmpty())
                    xdotool({"mousemove", QString::number(w.screenGeometry.center().x()),
                             QString::number(w.screenGeometry.center().y()), "click", "1"});
            return !windowTree(app.processId(), 360).isEmpty();
        },
        15000);
}

TEST(AccessibleWindowsDesktop, EveryWindowReadsAndWorksWithoutAMouse) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    const auto signOut = qScopeGuard(clearStoredSession);
    {
        AppUnderTest signedOut;
        signedOut.start();
        ASSERT_TRUE(openPopover(signedOut)) << signedOut.standardError().toStdString();
        const auto tree = windowTree(signedOut.processId(), 360);
        expectReadable(tree, "signed out");
        EXPECT_EQ(std::ranges::count_if(tree, named("Sign in required", "label")), 1) << "the heading is read";
        key(QStringLiteral("Escape"));
        EXPECT_TRUE(waitUntil([&] { return windowTree(signedOut.processId(), 360).isEmpty(); }, 5000));
    }
    seedSignedInSession();
    AppUnderTest app;
    app.defaults().setBool(QString::fromLatin1(SettingsKeys::acceptedPrivacyDisclosure), false);
    app.settings().setDictionaryEntries(
        {{QUuid::createUuid(), "web hook", "WebHook", "", {}}, {QUuid::createUuid(), "cue vee", "QV", "", {}}});
    app.start();
    const qint64 pid = app.processId();
    ASSERT_TRUE(openPopover(app));
    expectReadable(windowTree(pid, 360), "setup");
    const auto privacy = [](const QString& action) {
        return [=](const Node& n) { return n.name == action && n.description.contains("rivacy"); };
    };
    ASSERT_TRUE(tabTo(pid, 360, privacy("View text")));
    key(QStringLiteral("Return"));
    ASSERT_TRUE(waitUntil([&] { return !windowTree(pid, 380).isEmpty(); }, 5000)) << "Return opens the sheet";
    key(QStringLiteral("Escape"));
    ASSERT_TRUE(waitUntil([&] { return windowTree(pid, 380).isEmpty(); }, 5000)) << "Escape closes it";
    ASSERT_TRUE(openPopover(app) && tabTo(pid, 360, privacy("Accept")));
    key(QStringLiteral("space"));
    ASSERT_TRUE(
        waitUntil([&] { return std::ranges::count_if(windowTree(pid, 360), named("Open Dashboard")) == 1; }, 5000));
    expectReadable(windowTree(pid, 360), "ready");

    ASSERT_EQ(app.runCopy(), 0);
    ASSERT_TRUE(waitUntil([&] { return !windowTree(pid, 1270).isEmpty(); }, 10000));
    QList<Node> sections;
    for (const Node& n : windowTree(pid, 1270))
        if (n.role == "page tab") sections << n;
    ASSERT_EQ(sections.size(), 10);
    // The sections with switches and choices, none of which may read as a push button.
    const QHash<QString, int> choicesIn{{"Instructions", 8}, {"Shortcuts", 2}, {"Settings", 8}, {"Appearance", 8}};
    for (const Node& section : sections) {
        atspi_component_grab_focus(ATSPI_COMPONENT(section.object.get()), nullptr);
        key(QStringLiteral("Return"));
        ASSERT_TRUE(waitUntil([&] { return reread(section).has(ATSPI_STATE_SELECTED); }, 5000)) << section.text();
        EXPECT_GE(expectReadable(windowTree(pid, 1270), section.name.toStdString()), choicesIn.value(section.name));
    }

    // From the keyboard alone: a section, a choice, a switch and a text field.
    EXPECT_TRUE(operate(pid, 1270, named("Settings", "page tab"), "Return", ATSPI_STATE_SELECTED));
    EXPECT_TRUE(operate(pid, 1270, named("Afrikaans (af)", "radio button"), "space", ATSPI_STATE_SELECTED));
    EXPECT_TRUE(operate(pid, 1270, named("Use clipboard fallback", "check box"), "space", ATSPI_STATE_CHECKED));
    const auto search = tabTo(pid, 1270, named("Search languages", "text"), QStringLiteral("shift+Tab"));
    ASSERT_TRUE(search);
    xdotool({"type", "turk"});
    EXPECT_TRUE(waitUntil(
        [&] { return owned(atspi_text_get_text(ATSPI_TEXT(search->object.get()), 0, -1, nullptr)) == "turk"; }, 5000));
}

}  // namespace
}  // namespace quorvelle::test
