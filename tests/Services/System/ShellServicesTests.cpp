// Shell services without a desktop: configuration, hot keys, key map, autostart, settings tools, overlay.
#include "App/AppConfiguration.h"
#include "Models/HotkeyShortcut.h"
#include "Platform/Linux/DesktopSettingsTool.h"
#include "Platform/Linux/X11KeyMapping.h"
#include "Platform/Linux/XcbHotKeyRegistrar.h"
#include "Platform/Linux/XdgAutostartController.h"
#include "Services/System/CarbonHotkeyMonitor.h"
#include "Services/System/HotkeyMonitorError.h"
#include "Services/System/RuntimeOverlayLayoutEngine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

AppConfiguration withBackend(std::optional<QString> environment, const QString& buildKey, bool testRun = false) {
    QProcessEnvironment values;
    if (environment) values.insert(AppConfiguration::backendBaseURLKey, *environment);
    return AppConfiguration(values, BuildKeys{buildKey, {}, {}, {}}, testRun);
}

TEST(AppConfiguration, EnvironmentOverBuildKeysOverDefaultsAndAnUnusableAddressIsAClearError) {
    // environment, build key, test run -> address
    const std::tuple<std::optional<QString>, QString, bool, QString> cases[] = {
        {" \n https://env.test\t", "https://build.test", false, "https://env.test"},
        {"   ", "\n https://build.test ", false, "https://build.test"},
        {"$(BACKEND)", "", false, "$(BACKEND)"},  // no placeholder test on the environment
        {std::nullopt, "$(QUORVELLE_BACKEND_BASE_URL)", false, AppConfiguration::productionBackendBaseURL()},
        {std::nullopt, "$(open", false, "$(open"},
        {std::nullopt, " ", true, AppConfiguration::localBackendBaseURL()},
    };
    for (const auto& [environment, buildKey, testRun, expected] : cases)
        EXPECT_EQ(withBackend(environment, buildKey, testRun).backendBaseURLString(), expected)
            << buildKey.toStdString();
    // The test main marks this process as a test run; unconfigured, it talks to the local servers.
    qunsetenv(AppConfiguration::backendBaseURLKey);
    qunsetenv(AppConfiguration::publicWebURLKey);
    EXPECT_EQ(AppConfiguration::current().identityLabel(), "Local");
    for (const char* text : {"not an address", "ftp://files.test", "https://", "http://exa mple.test"}) {
        try {
            withBackend(QString::fromLatin1(text), {}).backendBaseURL();
            ADD_FAILURE() << text << " was accepted";
        } catch (const AppConfigurationError& error) {
            EXPECT_TRUE(error.message().contains("QUORVELLE_BACKEND_BASE_URL") && error.message().contains(text));
        }
    }
    EXPECT_EQ(withBackend("http://127.0.0.1:8080/api", {}).backendBaseURL(), QUrl("http://127.0.0.1:8080/api"));
}

// Re-registration and release are checked on the X server by the desktop tests.
TEST(HotkeyMonitor, OutsideX11TheStartFailsSayingWhy) {
    // This process has no GUI application, so Qt has no X connection: as on a Wayland session.
    CarbonHotkeyMonitor withoutX(std::make_unique<XcbHotKeyRegistrar>());
    try {
        withoutX.startMonitoring(
            {49, 0x1800, {}}, [] {}, [] {});
        ADD_FAILURE() << "no error";
    } catch (const HotkeyMonitorError& error) {
        EXPECT_EQ(error.errorCase(), HotkeyMonitorError::Case::eventHandlerInstallFailed);
        EXPECT_TRUE(error.detail().contains("X11 session")) << error.what();
    }
}

TEST(X11KeyMapping, EveryNamedKeyMapsToItsKeySymAndBackAndModifiersFollowTheServersMap) {
    using namespace X11KeyMapping;
    for (quint32 code = 0; code < HotkeyShortcut::namedKeyLimit; ++code) {
        if (!HotkeyShortcut::keyName(code)) continue;
        ASSERT_TRUE(keySymForKeyCode(code)) << code;
        EXPECT_EQ(keyCodeForKeySym(*keySymForKeyCode(code)), code) << code;
    }
    // X's own values, in the ANSI order (5 and 6 swapped); upper-case letters read back too.
    EXPECT_EQ(std::tuple(keySymForKeyCode(22), keySymForKeyCode(23), keySymForKeyCode(36)),
              std::tuple('6', '5', 0xff0d));
    EXPECT_EQ(keyCodeForKeySym('R'), 15u);
    EXPECT_FALSE(keySymForKeyCode(10));
    // Alt on Mod3, Super on Mod5, Num Lock on Mod4: no bit may be assumed.
    const ModifierMasks moved{0x20, 0x80, 0x40};
    // Each modifier alone, then Control+Alt with bits that name no modifier (0x0480).
    const std::tuple<quint32, quint16, quint16> cases[] = {
        {0x1000, 0x04, 0x04}, {0x0200, 0x01, 0x01}, {0x0800, 0x08, 0x20}, {0x0100, 0x40, 0x80}, {0x1c80, 0x0c, 0x24}};
    for (const auto& [carbon, usualX, movedX] : cases) {
        EXPECT_EQ(xModifiers(carbon, {}), usualX) << carbon;
        EXPECT_EQ(xModifiers(carbon, moved), movedX) << carbon;
        EXPECT_EQ(carbonModifiers(movedX, moved), carbon & HotkeyShortcut::modifierBits) << carbon;
    }
    // Caps Lock, Num Lock and a held mouse button are no part of a recorded combination.
    EXPECT_EQ(carbonModifiers(0x0c | 0x02 | 0x10 | 0x100, {}), 0x1800u);
    EXPECT_EQ(lockVariants(0x0c, moved), (std::array<quint16, 4>{0x0c, 0x0e, 0x4c, 0x4e}));
}

TEST(Autostart, TheEntryIsTheStatusAndEveryFailureIsAnUpdateFailure) {
    QTemporaryDir home;
    XdgAutostartController controller{{home.path() + "/config", "/opt/My Apps/quorvelle", {}, {}}};
    EXPECT_EQ(controller.setEnabled(false), StartAtLoginStatus::disabled);
    EXPECT_EQ(controller.setEnabled(true), StartAtLoginStatus::enabled);
    QFile entry(controller.entryPath());
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(entry.readAll().contains("\nExec=\"/opt/My Apps/quorvelle\"\n"));
    entry.close();
    EXPECT_EQ(controller.setEnabled(false), StartAtLoginStatus::disabled);
    EXPECT_FALSE(QFile::exists(controller.entryPath()));

    // An entry the desktop switched off reads as disabled; the keys count in the main group only.
    const std::pair<QByteArray, StartAtLoginStatus> entries[] = {
        {"[Desktop Entry]\nHidden=true\n", StartAtLoginStatus::disabled},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled = false\n", StartAtLoginStatus::disabled},
        {"[Desktop Entry]\nExec=q\n[Desktop Action x]\nHidden=true\n", StartAtLoginStatus::enabled},
    };
    QDir().mkpath(home.path() + "/config/autostart");
    for (const auto& [text, expected] : entries) {
        ASSERT_TRUE(entry.open(QIODevice::WriteOnly | QIODevice::Truncate) && entry.write(text) == text.size());
        entry.close();
        EXPECT_EQ(controller.currentStatus(), expected) << text.toStdString();
    }
    EXPECT_EQ(controller.setEnabled(true), StartAtLoginStatus::enabled);
    // Quoted and escaped so that exactly this path runs, whatever it holds.
    EXPECT_EQ(XdgAutostartController::execValue(R"(/a"b/$HOME/`x`/100%u\)"), R"("/a\\"b/\\$HOME/\\`x\\`/100%%u\\\\")");

    // Every failure is an update failure: here a regular file where the autostart folder belongs.
    QDir(home.path() + "/config/autostart").removeRecursively();
    QFile(home.path() + "/config/autostart").open(QIODevice::WriteOnly);
    EXPECT_THROW(controller.setEnabled(true), StartAtLoginError);
    EXPECT_EQ(controller.currentStatus(), StartAtLoginStatus::disabled);

    // A package's system-wide entry counts until the user's own entry overrides it, hidden.
    QDir(home.path() + "/config").removeRecursively();
    QDir().mkpath(home.path() + "/xdg/autostart");
    QFile system(home.path() + "/xdg/autostart/com.dovent.Quorvelle.desktop");
    ASSERT_TRUE(system.open(QIODevice::WriteOnly) && system.write("[Desktop Entry]\nExec=quorvelle\n") > 0);
    system.close();
    XdgAutostartController packaged{{home.path() + "/config", "/usr/bin/quorvelle", {}, {home.path() + "/xdg"}}};
    EXPECT_EQ(packaged.currentStatus(), StartAtLoginStatus::enabled);
    EXPECT_EQ(packaged.setEnabled(false), StartAtLoginStatus::disabled);
    EXPECT_EQ(packaged.setEnabled(true), StartAtLoginStatus::enabled);

    XdgAutostartController homeless({QString(), "/usr/bin/quorvelle", {}, {}});
    EXPECT_EQ(homeless.currentStatus(), StartAtLoginStatus::unsupported);
    EXPECT_THROW(homeless.setEnabled(true), StartAtLoginError);
}

TEST(DesktopSettingsTool, TheRunningDesktopsPageFirstThenTheNearestInstalled) {
    using Page = DesktopSettingsTool::Page;
    using Command = DesktopSettingsTool::Command;
    const QStringList everything{"gnome-control-center", "systemsettings", "pavucontrol", "lxqt-config"};
    // page, desktops, installed tools -> the command
    const std::tuple<Page, QStringList, QStringList, std::optional<Command>> cases[] = {
        {Page::microphone, {"ubuntu", "GNOME"}, everything, Command{"gnome-control-center", {"sound"}}},
        {Page::microphone, {"i3"}, {"pavucontrol"}, Command{"pavucontrol", {}}},
        // Before another desktop's tool, which may refuse to run here.
        {Page::accessibility, {"LXQt"}, everything, Command{"lxqt-config", {}}},
        {Page::startup, {"GNOME"}, {}, std::nullopt},
    };
    for (const auto& [page, desktops, installed, expected] : cases) {
        const auto isInstalled = [&](const QString& program) { return installed.contains(program); };
        EXPECT_EQ(DesktopSettingsTool::choose(page, desktops, isInstalled), expected)
            << desktops.join(':').toStdString();
    }
}

// Two screens side by side: a laptop panel with a top bar, and a larger monitor to its right.
const OverlayDisplayMetrics kLeft{{0, 0, 1280, 800}, {0, 28, 1280, 772}, {}};
const OverlayDisplayMetrics kRight{{1280, 0, 1920, 1080}, {1280, 0, 1920, 1040}, {}};

TEST(RuntimeOverlayLayoutEngineTest, ChoosesTheScreenUnderThePointerAndPlacesThePanelAtItsBottomCentre) {
    const QList<OverlayDisplayMetrics> both{kLeft, kRight};
    EXPECT_EQ(RuntimeOverlayLayoutEngine::selectDisplay({1500, 500}, both, kLeft), kRight);
    EXPECT_EQ(RuntimeOverlayLayoutEngine::selectDisplay({1280, 0}, both, kLeft), kRight);  // shared edge
    EXPECT_EQ(RuntimeOverlayLayoutEngine::selectDisplay({-5, 900}, both, kRight), kRight);
    EXPECT_EQ(RuntimeOverlayLayoutEngine::selectDisplay({-5, 900}, both, std::nullopt), kLeft);
    EXPECT_EQ(RuntimeOverlayLayoutEngine::selectDisplay({10, 10}, {}, std::nullopt), std::nullopt);
    const RuntimeOverlayLayoutEngine engine;
    const QSizeF full = RuntimeOverlayLayoutEngine::panelSize(WidgetAppearance::currentWidget);
    const QSizeF logo = RuntimeOverlayLayoutEngine::panelSize(WidgetAppearance::logoOnly);

    // Centred on the second screen; its bottom 20 below the dock's top edge.
    EXPECT_EQ(engine.panelFrame(full, kRight), QRectF(1280 + 960 - 208, 1040 + 20 - 188, 416, 188));
    EXPECT_EQ(engine.panelFrame(logo, kLeft), QRectF(640 - 64, 800 + 20 - 144, 128, 144));

    // A bottom inset lifts the panel; a usable area off to one side is clamped 12 past the visible frame.
    const OverlayDisplayMetrics notched{{0, 0, 1000, 800}, {0, 0, 1000, 780}, {0, 0, 0, 100}};
    EXPECT_EQ(engine.panelFrame(full, notched).bottom(), 720);
    const OverlayDisplayMetrics offside{{0, 0, 1000, 800}, {0, 0, 1000, 780}, {900, 0, 0, 0}};
    EXPECT_EQ(engine.panelFrame(full, offside).left(), 1000 + 12 - 416);
}

}  // namespace
}  // namespace quorvelle
