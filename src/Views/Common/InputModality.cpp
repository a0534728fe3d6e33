#include "Views/Common/InputModality.h"

#include <QEvent>

namespace quorvelle {

namespace {

// Kept on the window itself, so that every watcher of one window agrees (one made late included), and
// a sheet can ask the window it belongs to.
constexpr const char* kLastPressWasKey = "quorvelleLastPressWasKey";

}  // namespace

InputModality::InputModality(QObject* parent) : QObject(parent) {}

InputModality::~InputModality() {
    if (m_window) m_window->removeEventFilter(this);
}

void InputModality::setWindow(QWindow* window) {
    if (m_window == window) return;
    if (m_window) m_window->removeEventFilter(this);
    m_window = window;
    if (m_window) m_window->installEventFilter(this);
    Q_EMIT windowChanged();
    setKeyboard(m_window && m_window->property(kLastPressWasKey).toBool());
}

bool InputModality::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress: setKeyboard(true); break;
        case QEvent::MouseButtonPress:
        case QEvent::TouchBegin: setKeyboard(false); break;
        case QEvent::Show:
            // A sheet opened by a key (Return on its button) is worked by the keyboard from its first
            // moment: the control it gives the focus to shows the ring before any key is pressed in it.
            if (const QWindow* owner = m_window ? m_window->transientParent() : nullptr)
                setKeyboard(owner->property(kLastPressWasKey).toBool());
            break;
        default: break;
    }
    return QObject::eventFilter(watched, event);
}

void InputModality::setKeyboard(bool keyboard) {
    if (m_window) m_window->setProperty(kLastPressWasKey, keyboard);
    if (m_keyboard == keyboard) return;
    m_keyboard = keyboard;
    Q_EMIT keyboardChanged();
}

}  // namespace quorvelle
