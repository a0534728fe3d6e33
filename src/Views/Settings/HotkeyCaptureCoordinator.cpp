#include "Views/Settings/HotkeyCaptureCoordinator.h"

#include "Platform/Linux/X11KeyMapping.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include <X11/keysym.h>

namespace quorvelle {

namespace {

// The keysym of a key event: X11 hands it over as the native virtual key. Events made without
// one (other platforms, synthesized input) fall back to Qt's key, whose Latin-1 range is the
// keysyms' own. Shift+Tab arrives as ISO_Left_Tab; it is the Tab key.
quint32 keysymOf(const QKeyEvent& event) {
    quint32 keysym = event.nativeVirtualKey();
    if (keysym == 0) {
        const int key = event.key();
        if (key > 0 && key < 0x100) keysym = QChar(key).toLower().unicode();
        if (key == Qt::Key_Escape) keysym = XK_Escape;
        if (key == Qt::Key_Return) keysym = XK_Return;
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) keysym = XK_Tab;
    }
    return keysym == XK_ISO_Left_Tab ? XK_Tab : keysym;
}

bool isModifierKey(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_Mode_switch: return true;
        default: break;
    }
    const quint32 keysym = event.nativeVirtualKey();
    return (keysym >= XK_Shift_L && keysym <= XK_Hyper_R) || keysym == XK_ISO_Level3_Shift;
}

}  // namespace

HotkeyCaptureCoordinator::HotkeyCaptureCoordinator(QObject* parent) : QObject(parent) {
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state != Qt::ApplicationActive) stopCapture();
        });
    }
}

HotkeyCaptureCoordinator::~HotkeyCaptureCoordinator() {
    // Going away ends capture without a callback.
    if (m_isCapturing) QCoreApplication::instance()->removeEventFilter(this);
}

void HotkeyCaptureCoordinator::setWindow(QWindow* window) {
    if (m_window == window) return;
    disconnect(m_windowVisibility);
    m_window = window;
    if (window) {
        m_windowVisibility = connect(window, &QWindow::visibleChanged, this, [this](bool visible) {
            if (!visible) stopCapture();
        });
    }
    Q_EMIT windowChanged();
}

void HotkeyCaptureCoordinator::toggleCapture() {
    if (m_isCapturing)
        stopCapture();
    else
        startCapture();
}

void HotkeyCaptureCoordinator::startCapture() {
    stopCapture();
    m_isCapturing = true;
    QCoreApplication::instance()->installEventFilter(this);
    Q_EMIT isCapturingChanged();
}

void HotkeyCaptureCoordinator::stopCapture() {
    if (!m_isCapturing) return;
    QCoreApplication::instance()->removeEventFilter(this);
    m_isCapturing = false;
    Q_EMIT isCapturingChanged();
}

QString HotkeyCaptureCoordinator::unsupportedMessage() {
    return QStringLiteral("Bu tuş kombinasyonu şimdilik desteklenmiyor.");
}

quint32 HotkeyCaptureCoordinator::carbonModifiers(Qt::KeyboardModifiers modifiers) {
    quint32 mask = 0;
    if (modifiers & Qt::ControlModifier) mask |= HotkeyShortcut::controlMask;
    if (modifiers & Qt::AltModifier) mask |= HotkeyShortcut::optionMask;
    if (modifiers & Qt::ShiftModifier) mask |= HotkeyShortcut::shiftMask;
    if (modifiers & Qt::MetaModifier) mask |= HotkeyShortcut::commandMask;
    return mask;
}

bool HotkeyCaptureCoordinator::eventFilter(QObject* watched, QEvent* event) {
    if (!m_isCapturing) return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Taken, so that no shortcut of the application fires on the combination.
            event->accept();
            return true;
        case QEvent::KeyPress: handleKeyPress(static_cast<const QKeyEvent&>(*event)); return true;
        default: return QObject::eventFilter(watched, event);
    }
}

void HotkeyCaptureCoordinator::handleKeyPress(const QKeyEvent& event) {
    if (isModifierKey(event)) return;
    const quint32 keysym = keysymOf(event);
    if (keysym == XK_Escape) {
        stopCapture();
        return;
    }
    const std::optional<quint32> keyCode = X11KeyMapping::keyCodeForKeySym(keysym);
    const std::optional<HotkeyShortcut> shortcut =
        keyCode ? HotkeyShortcut::fromKeyPress(*keyCode, carbonModifiers(event.modifiers())) : std::nullopt;
    stopCapture();
    if (shortcut)
        Q_EMIT captured(*shortcut);
    else
        Q_EMIT unsupported(unsupportedMessage());
}

}  // namespace quorvelle
