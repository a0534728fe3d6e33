#include "Platform/Linux/XcbHotKeyRegistrar.h"
#include "Services/System/CarbonHotkeyMonitor.h"
#include "Services/System/HotkeyMonitorError.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quorvelle {
namespace {

using Event = HotKeyRegistering::Event;
using Case = HotkeyMonitorError::Case;

// Records every call; fails on demand; delivers events like the platform would.
class ScriptedRegistrar final : public HotKeyRegistering {
public:
    QStringList calls;
    std::optional<HotkeyMonitorError> installFailure;
    std::optional<HotkeyMonitorError> registerFailure;
    std::function<void(Event)> handler;

    void installEventHandler(std::function<void(Event)> h) override {
        calls << "install";
        if (installFailure) throw *installFailure;
        handler = std::move(h);
    }
    void removeEventHandler() override {
        calls << "remove";
        handler = nullptr;
    }
    void registerHotKey(quint32 keyCode, quint32 modifiers) override {
        calls << QStringLiteral("register %1 %2").arg(keyCode).arg(modifiers, 0, 16);
        if (registerFailure) throw *registerFailure;
    }
    void unregisterHotKey() override { calls << "unregister"; }

    void send(std::initializer_list<Event> events) {
        for (Event event : events) {
            if (handler) handler(event);
        }
    }
};

struct Counts {
    int down = 0;
    int up = 0;
};

class HotkeyMonitor : public ::testing::Test {
protected:
    ScriptedRegistrar* registrar = new ScriptedRegistrar;
    CarbonHotkeyMonitor monitor{std::unique_ptr<HotKeyRegistering>(registrar)};
    const HotkeyShortcut controlOptionSpace{49, 0x1800, QStringLiteral("Control + Alt + Space")};
    Counts counts;

    void start(const HotkeyShortcut& shortcut, Counts& into) {
        monitor.startMonitoring(
            shortcut, [&into] { ++into.down; }, [&into] { ++into.up; });
    }
};

TEST_F(HotkeyMonitor, RepeatedPressesOfAHeldKeyGiveOneDownAndOneUp) {
    start(controlOptionSpace, counts);
    EXPECT_TRUE(monitor.isMonitoring());
    EXPECT_EQ(registrar->calls, QStringList({"install", "register 49 1800"}));

    registrar->send({Event::pressed, Event::pressed, Event::pressed, Event::released});
    EXPECT_EQ(counts.down, 1);
    EXPECT_EQ(counts.up, 1);
    // The next physical press counts again; a release without a press is still reported.
    registrar->send({Event::pressed, Event::released, Event::released});
    EXPECT_EQ(counts.down, 2);
    EXPECT_EQ(counts.up, 3);
}

TEST_F(HotkeyMonitor, StartingTwiceKeepsTheFirstRegistrationAndCallbacks) {
    start(controlOptionSpace, counts);
    Counts second;
    start(HotkeyShortcut{15, 0x1800, {}}, second);
    EXPECT_EQ(registrar->calls, QStringList({"install", "register 49 1800"}));
    registrar->send({Event::pressed, Event::released});
    EXPECT_EQ(counts.down, 1);
    EXPECT_EQ(second.down, 0);
}

TEST_F(HotkeyMonitor, StopReleasesEverythingOnceAndAnIdleStopCallsNothing) {
    monitor.stopMonitoring();
    EXPECT_TRUE(registrar->calls.isEmpty());

    start(controlOptionSpace, counts);
    registrar->send({Event::pressed});
    auto handler = registrar->handler;
    monitor.stopMonitoring();
    monitor.stopMonitoring();
    EXPECT_EQ(registrar->calls, QStringList({"install", "register 49 1800", "unregister", "remove"}));
    EXPECT_FALSE(monitor.isMonitoring());
    // A late event from the platform reaches no callback.
    handler(Event::released);
    EXPECT_EQ(counts.up, 0);

    // Started again while the old press was never released: a new press is reported.
    start(controlOptionSpace, counts);
    registrar->send({Event::pressed});
    EXPECT_EQ(counts.down, 2);
}

TEST_F(HotkeyMonitor, FailuresLeaveTheMonitorIdleWithTheStatus) {
    registrar->registerFailure = HotkeyMonitorError(Case::registrationFailed, 10, "BadAccess");
    try {
        start(controlOptionSpace, counts);
        ADD_FAILURE() << "no error";
    } catch (const HotkeyMonitorError& error) {
        EXPECT_EQ(error.errorCase(), Case::registrationFailed);
        EXPECT_EQ(error.status(), 10);
    }
    EXPECT_FALSE(monitor.isMonitoring());
    EXPECT_EQ(registrar->calls, QStringList({"install", "register 49 1800", "remove"}));

    registrar->calls.clear();
    registrar->registerFailure.reset();
    registrar->installFailure = HotkeyMonitorError(Case::eventHandlerInstallFailed, -1, "no X11");
    EXPECT_THROW(start(controlOptionSpace, counts), HotkeyMonitorError);
    EXPECT_FALSE(monitor.isMonitoring());
    EXPECT_EQ(registrar->calls, QStringList({"install"}));
}

TEST_F(HotkeyMonitor, ACallbackMayStopTheMonitorOrThrowWithoutHarm) {
    monitor.startMonitoring(
        controlOptionSpace, [this] { monitor.stopMonitoring(); }, [] {});
    registrar->send({Event::pressed});
    EXPECT_FALSE(monitor.isMonitoring());

    monitor.startMonitoring(
        controlOptionSpace, [] { throw std::runtime_error("from the view model"); }, [this] { ++counts.up; });
    EXPECT_NO_THROW(registrar->send({Event::pressed, Event::released}));
    EXPECT_EQ(counts.up, 1);
}

TEST(HotkeyMonitorOutsideX11, StartingFailsAsAnEventHandlerFailureThatSaysWhy) {
    // This process has no GUI application, so no X connection of Qt's: as on a Wayland session.
    CarbonHotkeyMonitor monitor(std::make_unique<XcbHotKeyRegistrar>());
    try {
        monitor.startMonitoring(
            HotkeyShortcut::suggestions().first(), [] {}, [] {});
        ADD_FAILURE() << "no error";
    } catch (const HotkeyMonitorError& error) {
        EXPECT_EQ(error.errorCase(), Case::eventHandlerInstallFailed);
        EXPECT_TRUE(error.detail().contains("X11 session")) << error.what();
    }
    EXPECT_FALSE(monitor.isMonitoring());
}

}  // namespace
}  // namespace quorvelle
