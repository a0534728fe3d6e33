#include "Views/Common/FocusChainStart.h"

#include <QKeyEvent>
#include <QQuickWindow>

namespace quorvelle {

FocusChainStart::FocusChainStart(QObject* parent) : QObject(parent) {}

FocusChainStart::~FocusChainStart() {
    if (m_window) m_window->removeEventFilter(this);
}

void FocusChainStart::setScope(QQuickItem* scope) {
    if (m_scope == scope) return;
    if (m_scope) disconnect(m_scope, nullptr, this, nullptr);
    m_scope = scope;
    if (m_scope) connect(m_scope, &QQuickItem::windowChanged, this, &FocusChainStart::watch);
    watch(m_scope ? m_scope->window() : nullptr);
    Q_EMIT scopeChanged();
}

void FocusChainStart::watch(QQuickWindow* window) {
    if (m_window == window) return;
    if (m_window) m_window->removeEventFilter(this);
    m_window = window;
    if (m_window) m_window->installEventFilter(this);
}

QQuickItem* FocusChainStart::firstControl() const {
    if (!m_scope) return nullptr;
    QQuickItem* first = m_scope->nextItemInFocusChain(true);
    return first && first != m_scope && m_scope->isAncestorOf(first) ? first : nullptr;
}

void FocusChainStart::focusFirst() {
    if (QQuickItem* first = firstControl()) first->forceActiveFocus(Qt::OtherFocusReason);
}

bool FocusChainStart::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || watched != m_window) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool backward =
        key->key() == Qt::Key_Backtab || (key->key() == Qt::Key_Tab && key->modifiers().testFlag(Qt::ShiftModifier));
    if (!backward || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) return false;
    QQuickItem* first = firstControl();
    if (!first) return false;
    const QQuickItem* focused = m_window->activeFocusItem();
    const bool onControl =
        focused && focused != m_window->contentItem() && focused->isVisible() && focused->activeFocusOnTab();
    if (onControl && focused != first) return false;
    first->forceActiveFocus(Qt::BacktabFocusReason);
    return true;
}

}  // namespace quorvelle
