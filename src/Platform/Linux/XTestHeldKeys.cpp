#include "Platform/Linux/XTestHeldKeys.h"

#include "Platform/Linux/X11Connection.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>

#include <cstring>
#include <optional>

namespace quorvelle::XTestHeldKeys {

namespace {

// The X server names every XTEST device after its master: "<master> XTEST keyboard".
constexpr const char* kXTestKeyboardSuffix = " XTEST keyboard";

// Qt's connection has announced the XInput 2 version it speaks; announcing an older one now would
// be refused.
bool hasXInput(Display* display) {
    int opcode = 0, event = 0, error = 0;
    return XQueryExtension(display, "XInputExtension", &opcode, &event, &error);
}

bool endsWith(const char* name, const char* suffix) {
    const std::size_t length = std::strlen(name), suffixLength = std::strlen(suffix);
    return length >= suffixLength && std::strcmp(name + length - suffixLength, suffix) == 0;
}

// The XTEST keyboard our synthetic keys go through: the one attached to the master keyboard that
// is paired with this client's pointer.
std::optional<int> ownXTestKeyboard(Display* display) {
    int pointer = 0;
    if (!XIGetClientPointer(display, None, &pointer)) return std::nullopt;
    int count = 0;
    XIDeviceInfo* devices = XIQueryDevice(display, XIAllDevices, &count);
    if (!devices) return std::nullopt;
    std::optional<int> masterKeyboard;
    for (int i = 0; i < count; ++i) {
        if (devices[i].deviceid == pointer && devices[i].use == XIMasterPointer) masterKeyboard = devices[i].attachment;
    }
    std::optional<int> found;
    for (int i = 0; masterKeyboard && i < count; ++i) {
        const XIDeviceInfo& device = devices[i];
        if (device.use == XISlaveKeyboard && device.attachment == *masterKeyboard && device.name &&
            endsWith(device.name, kXTestKeyboardSuffix))
            found = device.deviceid;
    }
    XIFreeDeviceInfo(devices);
    return found;
}

}  // namespace

QList<quint32> held() {
    QList<quint32> codes;
    Display* display = X11Connection::display();
    if (!display || !hasXInput(display)) return codes;
    const std::optional<int> keyboard = ownXTestKeyboard(display);
    if (!keyboard) return codes;
    XDevice* device = XOpenDevice(display, XID(*keyboard));
    if (!device) return codes;
    if (XDeviceState* state = XQueryDeviceState(display, device)) {
        const auto* item = reinterpret_cast<const char*>(state->data);
        for (int i = 0; i < state->num_classes; ++i) {
            const auto* input = reinterpret_cast<const XInputClass*>(item);
            if (input->c_class == KeyClass) {
                const auto* keys = reinterpret_cast<const XKeyState*>(input);
                for (int code = 8; code < keys->num_keys && code < 256; ++code) {
                    if ((keys->keys[code / 8] >> (code % 8)) & 1) codes.append(quint32(code));
                }
            }
            item += input->length;
        }
        XFreeDeviceState(state);
    }
    XCloseDevice(display, device);
    return codes;
}

QList<quint32> releaseAll() {
    const QList<quint32> codes = held();
    Display* display = X11Connection::display();
    if (!display || codes.isEmpty()) return codes;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor)) return {};
    // Our synthetic releases go through that same device.
    for (const quint32 code : codes)
        XTestFakeKeyEvent(display, code, False, CurrentTime);
    XSync(display, False);
    return codes;
}

}  // namespace quorvelle::XTestHeldKeys
