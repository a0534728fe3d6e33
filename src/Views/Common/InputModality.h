#pragma once

#include <QObject>
#include <QPointer>
#include <QWindow>
#include <QtQmlIntegration>

namespace quorvelle {

// Whether the user is working a window by the keyboard: true from a key press until the next mouse
// press, and for a sheet, from its showing when the window it belongs to was worked by the keyboard.
// The focus ring follows it, so that it stays on a control the keyboard reached also after the window
// lost and regained activation (as around a hot-key capture), when Qt's own "visual focus" forgets
// that the keyboard put it there.
class InputModality : public QObject {
    Q_OBJECT
    QML_ELEMENT
    // The window whose input is watched.
    Q_PROPERTY(QWindow* window READ window WRITE setWindow NOTIFY windowChanged)
    // The last press in it was a key.
    Q_PROPERTY(bool keyboard READ keyboard NOTIFY keyboardChanged)

public:
    explicit InputModality(QObject* parent = nullptr);
    ~InputModality() override;

    QWindow* window() const { return m_window; }
    void setWindow(QWindow* window);
    bool keyboard() const { return m_keyboard; }

Q_SIGNALS:
    void windowChanged();
    void keyboardChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setKeyboard(bool keyboard);

    QPointer<QWindow> m_window;
    bool m_keyboard = false;
};

}  // namespace quorvelle
