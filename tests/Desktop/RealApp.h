#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

// The applications a Debian desktop starts with (Firefox ESR, Chromium, LibreOffice Writer), each
// with a private profile, driven from outside as a user would: by xdotool and window titles.
namespace quorvelle::test {

// Runs xdotool with the arguments (bounded at 30 s); its trimmed output when asked. True when it succeeded.
bool xdotool(const QStringList& arguments, QString* output = nullptr);

// An application started with a private profile, ended with this object.
class RealApp {
public:
    // Firefox on a page with a <textarea> (focused) and an <input>, whose own input events put the
    // field's value into the window title ("area:…", "line:…"); null when it never showed.
    static std::unique_ptr<RealApp> firefox(const QString& folder);
    // Firefox on the given page, whose title must start with "ready" once it is loaded.
    static std::unique_ptr<RealApp> firefoxOn(const QString& folder, const QByteArray& page);
    // Chromium on the given page, likewise; null when it is not installed or never showed.
    static std::unique_ptr<RealApp> chromiumOn(const QString& folder, const QByteArray& page);
    // Writer on a document holding "Plain bold end", "bold" in bold, the caret at its end; null
    // when it never showed. `document` is the file it saves to. `body`, when given, is the text the
    // document holds instead (its table namespace is "table").
    static std::unique_ptr<RealApp> writer(const QString& folder, QString* document, const QByteArray& body = {});
    // A login form: a plain field (focused) and a password field, both values in the title
    // ("plain:…|pw:…"); Escape empties both and goes back to the plain field (title "ready").
    static const QByteArray& loginFormPage();
    // Any program, found by its window's title; null when it never showed.
    static std::unique_ptr<RealApp> launch(const QString& program, const QStringList& arguments,
                                           const QString& titlePattern);
    ~RealApp();

    // Whether a window title matching the pattern shows within the time.
    static bool waitForTitle(const QString& pattern, int timeoutMs = 90000);
    static bool pressKeys(const QString& xdotoolKeys);
    // Brings the shown window whose title matches to the front and waits until it is active. A browser
    // keeps unmapped windows of its own name, which never become active: only shown ones are asked.
    static bool bringToFront(const QString& titlePattern);

    // Firefox only: the content process of this browser's that renders a page opened from a file
    // (Firefox gives such pages a process of their own, named "file:// Content"); 0 when none runs.
    qint64 fileContentProcess() const;

private:
    RealApp(const QString& program, const QStringList& arguments, QString titlePattern);
    bool showsAndTakesFocus();

    QProcess m_process;
    QString m_titlePattern;
};

}  // namespace quorvelle::test
