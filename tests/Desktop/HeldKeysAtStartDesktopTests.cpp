// A copy of the app killed inside the paste's chord leaves Control and V down in the X server. The
// next start lets go of what the synthetic (XTEST) keyboard holds, and of nothing else: a key held
// through another master's XTEST keyboard, standing in for another device, stays down.
#include "AppUnderTest.h"
#include "FakeBackendServer.h"
#include "TestEventLoop.h"

#include <QScopeGuard>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

// Last: Xlib's macros (None, True, Bool) would clash with the names above.
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace quorvelle::test {
namespace {

constexpr int kLong = 30000;
constexpr const char* kOtherMaster = "quorvelle held keys";

bool isDown(Display* display, KeyCode code) {
    char keys[32] = {};
    XQueryKeymap(display, keys);
    return (keys[code / 8] >> (code % 8)) & 1;
}

std::optional<int> masterPointerNamed(Display* display, const QByteArray& name) {
    int count = 0;
    XIDeviceInfo* devices = XIQueryDevice(display, XIAllMasterDevices, &count);
    std::optional<int> found;
    for (int i = 0; i < count; ++i) {
        if (devices[i].use == XIMasterPointer && name == devices[i].name) found = devices[i].deviceid;
    }
    XIFreeDeviceInfo(devices);
    return found;
}

TEST(HeldKeysAtStart, TheStartLetsGoOfTheKeysItsSyntheticKeyboardHoldsOnly) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    // Ours: the core master's XTEST keyboard, as the app's paste uses it.
    Display* ours = XOpenDisplay(nullptr);
    // Another master's: what its keyboard holds is not the app's to let go.
    Display* other = XOpenDisplay(nullptr);
    ASSERT_TRUE(ours && other);
    const KeyCode control = XKeysymToKeycode(ours, XK_Control_L), v = XKeysymToKeycode(ours, XK_v);
    const KeyCode shift = XKeysymToKeycode(ours, XK_Shift_L);

    XIAddMasterInfo add{};
    add.type = XIAddMaster;
    add.name = const_cast<char*>(kOtherMaster);
    add.send_core = True;
    add.enable = True;
    XIChangeHierarchy(other, reinterpret_cast<XIAnyHierarchyChangeInfo*>(&add), 1);
    XSync(other, False);
    const std::optional<int> otherPointer = masterPointerNamed(other, QByteArray(kOtherMaster) + " pointer");
    const auto cleanUp = qScopeGuard([&] {
        for (const KeyCode code : {control, v})
            XTestFakeKeyEvent(ours, code, False, CurrentTime);
        XSync(ours, False);
        XTestFakeKeyEvent(other, shift, False, CurrentTime);
        XSync(other, False);
        if (otherPointer) {
            XIRemoveMasterInfo remove{};
            remove.type = XIRemoveMaster;
            remove.deviceid = *otherPointer;
            remove.return_mode = XIFloating;
            XIChangeHierarchy(other, reinterpret_cast<XIAnyHierarchyChangeInfo*>(&remove), 1);
            XSync(other, False);
        }
        XCloseDisplay(other);
        XCloseDisplay(ours);
    });
    ASSERT_TRUE(otherPointer) << "the X server made no second master";
    XISetClientPointer(other, None, *otherPointer);

    // The chord a killed paste left behind, and a key the other master holds.
    XTestFakeKeyEvent(ours, control, True, CurrentTime);
    XTestFakeKeyEvent(ours, v, True, CurrentTime);
    XSync(ours, False);
    XTestFakeKeyEvent(other, shift, True, CurrentTime);
    XSync(other, False);
    ASSERT_TRUE(isDown(ours, control) && isDown(ours, v));
    ASSERT_TRUE(isDown(other, shift));
    ASSERT_FALSE(isDown(ours, shift));

    seedSignedInSession();
    const auto signOut = qScopeGuard([] { clearStoredSession(); });
    FakeBackendServer server;
    AppUnderTest app(server.baseUrl());
    app.start();
    ASSERT_TRUE(app.waitUntilHotkeyRegistered(kLong)) << app.standardError().toStdString();
    EXPECT_FALSE(isDown(ours, control)) << app.standardError().toStdString();
    EXPECT_FALSE(isDown(ours, v));
    EXPECT_TRUE(isDown(other, shift));
}

}  // namespace
}  // namespace quorvelle::test
