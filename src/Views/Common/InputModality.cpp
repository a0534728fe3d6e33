#include "Views/Common/InputModality.h"

#include <QEvent>

namespace quorvelle {

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
}

bool InputModality::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress: setKeyboard(true); break;
        case QEvent::MouseButtonPress:
        case QEvent::TouchBegin: setKeyboard(false); break;
        default: break;
    }
    return QObject::eventFilter(watched, event);
}

void InputModality::setKeyboard(bool keyboard) {
    if (m_keyboard == keyboard) return;
    m_keyboard = keyboard;
    Q_EMIT keyboardChanged();
}

}  // namespace quorvelle
