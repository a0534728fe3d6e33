#include "Platform/Linux/DesktopSettingsTool.h"
#include "Platform/Linux/XdgAutostartController.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

class Autostart : public ::testing::Test {
protected:
    QTemporaryDir home;
    XdgAutostartController controller{{home.path() + "/config", "/opt/My Apps/quorvelle", {}}};

    void writeEntry(const QByteArray& text) {
        QDir().mkpath(home.path() + "/config/autostart");
        QFile file(controller.entryPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
};

TEST_F(Autostart, EnableWritesTheEntryDisableRemovesItAndTheFileIsTheStatus) {
    EXPECT_EQ(controller.entryPath(), home.path() + "/config/autostart/com.dovent.Quorvelle.desktop");
    EXPECT_EQ(controller.setEnabled(false), StartAtLoginStatus::disabled);
    EXPECT_EQ(controller.setEnabled(true), StartAtLoginStatus::enabled);
    QFile entry(controller.entryPath());
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(entry.readAll().contains("\nExec=\"/opt/My Apps/quorvelle\"\n"));
    EXPECT_EQ(controller.setEnabled(false), StartAtLoginStatus::disabled);
    EXPECT_FALSE(QFile::exists(controller.entryPath()));

    // An entry the desktop switched off reads as disabled; the keys count in the main group only.
    const std::pair<QByteArray, StartAtLoginStatus> entries[] = {
        {"[Desktop Entry]\nHidden=true\n", StartAtLoginStatus::disabled},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled = false\n", StartAtLoginStatus::disabled},
        {"[Desktop Entry]\nExec=q\n[Desktop Action x]\nHidden=true\n", StartAtLoginStatus::enabled},
    };
    for (const auto& [text, expected] : entries) {
        writeEntry(text);
        EXPECT_EQ(controller.currentStatus(), expected) << text.toStdString();
    }
    EXPECT_EQ(controller.setEnabled(true), StartAtLoginStatus::enabled);
    // Quoted and escaped so that exactly this path runs, whatever it holds.
    EXPECT_EQ(XdgAutostartController::execValue(R"(/a"b/$HOME/`x`/100%u\)"), R"("/a\\"b/\\$HOME/\\`x\\`/100%%u\\\\")");
}

TEST_F(Autostart, EveryFailureIsUpdateFailed) {
    // A regular file where the autostart folder belongs: nothing can be written below it.
    QDir().mkpath(home.path() + "/config");
    QFile(home.path() + "/config/autostart").open(QIODevice::WriteOnly);
    EXPECT_THROW(controller.setEnabled(true), StartAtLoginError);
    EXPECT_EQ(controller.currentStatus(), StartAtLoginStatus::disabled);

    XdgAutostartController homeless({QString(), "/usr/bin/quorvelle", {}});
    EXPECT_EQ(homeless.currentStatus(), StartAtLoginStatus::unsupported);
    EXPECT_THROW(homeless.setEnabled(true), StartAtLoginError);
}

TEST(DesktopSettingsTool, TheRunningDesktopsPageFirstThenTheNearestInstalled) {
    using Page = DesktopSettingsTool::Page;
    using Command = DesktopSettingsTool::Command;
    const QStringList everything{"gnome-control-center", "systemsettings", "pavucontrol", "lxqt-config"};
    const struct {
        Page page;
        QStringList desktops;
        QStringList installed;
        std::optional<Command> expected;
    } cases[] = {
        {Page::microphone, {"ubuntu", "GNOME"}, everything, Command{"gnome-control-center", {"sound"}}},
        {Page::microphone, {"i3"}, {"pavucontrol"}, Command{"pavucontrol", {}}},
        // Before another desktop's tool, which may refuse to run here.
        {Page::accessibility, {"LXQt"}, everything, Command{"lxqt-config", {}}},
        {Page::startup, {"GNOME"}, {}, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto chosen = DesktopSettingsTool::choose(
            c.page, c.desktops, [&](const QString& program) { return c.installed.contains(program); });
        EXPECT_EQ(chosen, c.expected) << c.desktops.join(':').toStdString();
    }
}

}  // namespace
}  // namespace quorvelle
