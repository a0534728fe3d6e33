#include "Platform/Linux/XcbHotKeyRegistrar.h"
#include "Services/System/CarbonHotkeyMonitor.h"
#include "Services/System/HotkeyMonitorError.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using Case = HotkeyMonitorError::Case;

// Records every call.
class ScriptedRegistrar final : public HotKeyRegistering {
public:
    QStringList calls;
    std::function<void(Event)> handler;

    void installEventHandler(std::function<void(Event)> h) override { calls << "install", handler = std::move(h); }
    void removeEventHandler() override { calls << "remove"; }
    void registerHotKey(quint32 keyCode, quint32) override { calls << QStringLiteral("register %1").arg(keyCode); }
    void unregisterHotKey() override { calls << "unregister"; }
};

TEST(HotkeyMonitor, OneRegistrationAtATimeReleasedOnce) {
    auto* registrar = new ScriptedRegistrar;
    CarbonHotkeyMonitor monitor{std::unique_ptr<HotKeyRegistering>(registrar)};
    int downs = 0;
    monitor.stopMonitoring();
    monitor.startMonitoring(
        {49, 0x1800, {}}, [&] { ++downs; }, [] {});
    monitor.startMonitoring(
        {15, 0x1800, {}}, [] {}, [] {});
    registrar->handler(HotKeyRegistering::Event::pressed);
    EXPECT_EQ(downs, 1);
    monitor.stopMonitoring();
    monitor.stopMonitoring();
    EXPECT_EQ(registrar->calls, QStringList({"install", "register 49", "unregister", "remove"}));
}

TEST(HotkeyMonitor, OutsideAnX11SessionStartingFailsSayingWhy) {
    // This process has no GUI application, so Qt has no X connection: as on a Wayland session.
    CarbonHotkeyMonitor monitor(std::make_unique<XcbHotKeyRegistrar>());
    try {
        monitor.startMonitoring(
            {49, 0x1800, {}}, [] {}, [] {});
        ADD_FAILURE() << "no error";
    } catch (const HotkeyMonitorError& error) {
        EXPECT_EQ(error.errorCase(), Case::eventHandlerInstallFailed);
        EXPECT_TRUE(error.detail().contains("X11 session")) << error.what();
    }
}

}  // namespace
}  // namespace quorvelle
