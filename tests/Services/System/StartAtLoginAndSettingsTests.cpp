#include "Platform/Linux/DesktopSettingsTool.h"
#include "Platform/Linux/XdgAutostartController.h"
#include "Services/Audio/ResolvedAudioInputDeviceSelection.h"
#include "Services/System/MicrophonePermissionController.h"
#include "TestEventLoop.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

class Autostart : public ::testing::Test {
protected:
    QTemporaryDir home;
    int settingsOpened = 0;
    XdgAutostartController controller{{home.path() + "/config", "/opt/Quorvelle/bin/quorvelle", [this] {
                                           ++settingsOpened;
                                           return true;
                                       }}};

    QByteArray entry() const {
        QFile file(controller.entryPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeEntry(const QByteArray& text) {
        QDir().mkpath(home.path() + "/config/autostart");
        QFile file(controller.entryPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
};

TEST_F(Autostart, EnableWritesTheEntryDisableRemovesItAndTheFileIsTheStatus) {
    EXPECT_EQ(controller.entryPath(), home.path() + "/config/autostart/com.dovent.Quorvelle.desktop");
    EXPECT_EQ(controller.currentStatus(), StartAtLoginStatus::disabled);
    // Disabling what was never enabled is no failure.
    EXPECT_EQ(controller.setEnabled(false), StartAtLoginStatus::disabled);

    EXPECT_EQ(controller.setEnabled(true), StartAtLoginStatus::enabled);
    EXPECT_TRUE(entry().startsWith("[Desktop Entry]\nType=Application\n"));
    EXPECT_TRUE(entry().contains("\nExec=\"/opt/Quorvelle/bin/quorvelle\"\n"));
    EXPECT_EQ(controller.setEnabled(true), StartAtLoginStatus::enabled);

    EXPECT_EQ(controller.setEnabled(false), StartAtLoginStatus::disabled);
    EXPECT_FALSE(QFile::exists(controller.entryPath()));
}

TEST_F(Autostart, AnEntrySwitchedOffByTheDesktopReadsAsDisabled) {
    const struct {
        QByteArray text;
        StartAtLoginStatus expected;
    } cases[] = {
        {"[Desktop Entry]\nExec=quorvelle\nHidden=true\n", StartAtLoginStatus::disabled},
        {"[Desktop Entry]\nExec=quorvelle\nX-GNOME-Autostart-enabled = false\n", StartAtLoginStatus::disabled},
        {"[Desktop Entry]\nExec=quorvelle\nHidden=false\n", StartAtLoginStatus::enabled},
        // The keys count only in the main group.
        {"[Desktop Entry]\nExec=quorvelle\n[Desktop Action x]\nHidden=true\n", StartAtLoginStatus::enabled},
    };
    for (const auto& c : cases) {
        writeEntry(c.text);
        EXPECT_EQ(controller.currentStatus(), c.expected) << c.text.toStdString();
    }
    // Enabling again replaces a switched-off entry with a working one.
    writeEntry("[Desktop Entry]\nHidden=true\n");
    EXPECT_EQ(controller.setEnabled(true), StartAtLoginStatus::enabled);
}

TEST_F(Autostart, FailuresAreUpdateFailedAndLeaveTheStatusAsItWas) {
    // A regular file where the autostart folder should be: nothing can be written below it.
    QDir().mkpath(home.path() + "/config");
    QFile blocker(home.path() + "/config/autostart");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        controller.setEnabled(true);
        ADD_FAILURE() << "no error";
    } catch (const StartAtLoginError& error) {
        EXPECT_EQ(error.errorCase(), StartAtLoginError::Case::updateFailed);
    }
    EXPECT_EQ(controller.currentStatus(), StartAtLoginStatus::disabled);

    // An entry that cannot be removed (a folder by that name) fails the same way.
    QTemporaryDir other;
    XdgAutostartController stuck({other.path(), "/usr/bin/quorvelle", {}});
    QDir().mkpath(stuck.entryPath() + "/inside");
    EXPECT_THROW(stuck.setEnabled(false), StartAtLoginError);

    XdgAutostartController homeless({QString(), "/usr/bin/quorvelle", {}});
    EXPECT_EQ(homeless.currentStatus(), StartAtLoginStatus::unsupported);
    EXPECT_THROW(homeless.setEnabled(true), StartAtLoginError);
    XdgAutostartController pathless({home.path() + "/elsewhere", QString(), {}});
    EXPECT_THROW(pathless.setEnabled(true), StartAtLoginError);
}

TEST_F(Autostart, ExecRunsExactlyThisPathWhateverItHolds) {
    const struct {
        QString path;
        QString exec;
    } cases[] = {
        {"/usr/bin/quorvelle", R"("/usr/bin/quorvelle")"},
        {"/home/ayşe/My Apps/quorvelle", R"("/home/ayşe/My Apps/quorvelle")"},
        {R"(/opt/a"b/$HOME/`x`)", R"("/opt/a\\"b/\\$HOME/\\`x\\`")"},
        {R"(/opt/back\slash)", R"("/opt/back\\\\slash")"},
        {"/opt/100%u/quorvelle", R"("/opt/100%%u/quorvelle")"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(XdgAutostartController::execValue(c.path), c.exec) << c.path.toStdString();
    }
    controller.openSystemSettings();
    EXPECT_EQ(settingsOpened, 1);
}

TEST(DesktopSettingsTool, TheRunningDesktopsPageFirstThenTheNearestInstalled) {
    using Page = DesktopSettingsTool::Page;
    using Command = DesktopSettingsTool::Command;
    const struct {
        const char* name;
        Page page;
        QStringList desktops;
        QStringList installed;
        std::optional<Command> expected;
    } cases[] = {
        {"GNOME sound",
         Page::microphone,
         {"ubuntu", "GNOME"},
         {"gnome-control-center", "systemsettings"},
         Command{"gnome-control-center", {"sound"}}},
        {"KDE, any case",
         Page::accessibility,
         {"kde"},
         {"gnome-control-center", "systemsettings"},
         Command{"systemsettings", {"kcm_access"}}},
        {"second tool of the desktop", Page::startup, {"GNOME"}, {"gnome-tweaks"}, Command{"gnome-tweaks", {}}},
        {"another desktop's page", Page::microphone, {"i3"}, {"pavucontrol"}, Command{"pavucontrol", {}}},
        {"the desktop's overview when it has no such page",
         Page::accessibility,
         {"LXQt"},
         {"lxqt-config", "gnome-control-center"},
         Command{"lxqt-config", {}}},
        {"any overview", Page::startup, {}, {"xfce4-settings-manager"}, Command{"xfce4-settings-manager", {}}},
        {"nothing installed", Page::microphone, {"GNOME"}, {}, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto chosen = DesktopSettingsTool::choose(
            c.page, c.desktops, [&](const QString& program) { return c.installed.contains(program); });
        EXPECT_EQ(chosen, c.expected) << c.name;
    }
}

class FixedDevices final : public AudioDeviceListing {
public:
    QList<AudioDeviceInfo> devices;
    QList<AudioDeviceInfo> inputDevices() const override { return devices; }
};

TEST(MicrophonePermission, GrantedExactlyWhileAnInputDeviceExists) {
    FixedDevices devices;
    MicrophonePermissionController controller(devices);
    EXPECT_EQ(controller.authorizationStatus(), PermissionState::denied);
    EXPECT_FALSE(test::runTask(controller.requestAccess()));
    devices.devices.append(AudioDeviceInfo{});
    EXPECT_EQ(controller.authorizationStatus(), PermissionState::authorized);
    EXPECT_TRUE(test::runTask(controller.requestAccess()));
}

}  // namespace
}  // namespace quorvelle
