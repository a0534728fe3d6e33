#pragma once

#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QtQmlIntegration>

namespace quorvelle {

// The start of a window's keyboard order: the first control under `scope`. Shift+Tab there stays
// there rather than going round to the last control (a panel's Quit, which one stray Return would
// then press); with no control focused, Shift+Tab goes to it too. `focusFirst` gives it the focus.
class FocusChainStart : public QObject {
    Q_OBJECT
    QML_ELEMENT
    // The item whose first control starts the order; its window is watched.
    Q_PROPERTY(QQuickItem* scope READ scope WRITE setScope NOTIFY scopeChanged)

public:
    explicit FocusChainStart(QObject* parent = nullptr);
    ~FocusChainStart() override;

    QQuickItem* scope() const { return m_scope; }
    void setScope(QQuickItem* scope);

    // The first control under the scope that the keyboard reaches; null when it holds none.
    QQuickItem* firstControl() const;
    // Gives that control the focus, with no focus ring of the keyboard's.
    Q_INVOKABLE void focusFirst();

Q_SIGNALS:
    void scopeChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QQuickWindow* window);

    QPointer<QQuickItem> m_scope;
    QPointer<QQuickWindow> m_window;
};

}  // namespace quorvelle
