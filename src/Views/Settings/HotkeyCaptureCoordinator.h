#pragma once

#include "Models/HotkeyShortcut.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWindow>
#include <QtQmlIntegration>

#include <optional>

class QKeyEvent;

namespace quorvelle {

// Turns the next key press anywhere in the application into a hot key. While capturing, an
// application-wide event filter takes every key press: Escape cancels, a modifier alone is
// waited through, any other key ends capture with `captured` or `unsupported`. Capture also ends,
// silently, when the recorder's window hides or the application loses activation, so that a
// forgotten capture never takes a key typed in another window.
class HotkeyCaptureCoordinator : public QObject {
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(bool isCapturing READ isCapturing NOTIFY isCapturingChanged)
    // The window that shows the recorder.
    Q_PROPERTY(QWindow* window READ window WRITE setWindow NOTIFY windowChanged)

public:
    explicit HotkeyCaptureCoordinator(QObject* parent = nullptr);
    ~HotkeyCaptureCoordinator() override;

    bool isCapturing() const { return m_isCapturing; }
    QWindow* window() const { return m_window; }
    void setWindow(QWindow* window);

    Q_INVOKABLE void toggleCapture();
    Q_INVOKABLE void startCapture();
    Q_INVOKABLE void stopCapture();

    // The message of a combination that cannot be a hot key.
    static QString unsupportedMessage();

    // Carbon modifier bits of Qt's modifiers (Super is Qt's Meta on X11).
    static quint32 carbonModifiers(Qt::KeyboardModifiers modifiers);

Q_SIGNALS:
    void isCapturingChanged();
    void windowChanged();
    // Emitted after capture has stopped; at most one of the two per capture.
    void captured(const quorvelle::HotkeyShortcut& shortcut);
    void unsupported(const QString& message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void handleKeyPress(const QKeyEvent& event);

    bool m_isCapturing = false;
    QPointer<QWindow> m_window;
    QMetaObject::Connection m_windowVisibility;
};

}  // namespace quorvelle
