#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QString>

namespace quorvelle::test {

// One running text-field fixture app (tests/Fixtures), driven over its stdin.
// Fields: "single", "password", "multi". The process is ended when the object goes away.
class FixtureApp {
public:
    enum class Toolkit { Qt, Gtk };

    // Starts the fixture with a window title (and, when given, that environment); returns after it
    // printed "ready" (or throws).
    FixtureApp(Toolkit toolkit, const QString& title, const QProcessEnvironment& environment = {});
    ~FixtureApp();
    FixtureApp(const FixtureApp&) = delete;
    FixtureApp& operator=(const FixtureApp&) = delete;

    // This environment with a chat application's resource name (RESOURCE_NAME "slack"): a Qt fixture
    // started under it takes dictated words by paste.
    static QProcessEnvironment namedAsChatApplication();

    qint64 processId() const { return m_process.processId(); }
    // The program's name as it registers with the accessibility bus.
    QString applicationName() const;

    // Each returns after the fixture answered "ok" (or throws).
    void focus(const QString& field) { expectOk(QStringLiteral("focus ") + field); }
    void setText(const QString& field, QString text) {
        expectOk(QStringLiteral("set %1 %2").arg(field, text.replace(QLatin1Char('\n'), QLatin1String("\\n"))));
    }
    void select(const QString& field, int start, int length) {
        expectOk(QStringLiteral("select %1 %2 %3").arg(field).arg(start).arg(length));
    }
    // Hides the field (GTK fixture only): the window keeps no focused widget when it had the focus.
    void hide(const QString& field) { expectOk(QStringLiteral("hide ") + field); }
    // Adds a list of that many rows, focusable as the field "rows" (GTK fixture only).
    void showRows(int count) { expectOk(QStringLiteral("rows %1").arg(count)); }
    // Opens a window of the fixture's own with a focused password entry (GTK fixture only) and returns
    // once it showed and took the focus, the event loop running meanwhile; false when it did not in time.
    bool openPasswordWindow(int timeoutMs = 20000);
    void closePasswordWindow() { expectOk(QStringLiteral("unprompt")); }
    // The fields' texts as the fixture itself sees them.
    QJsonObject texts();

private:
    QString command(const QString& line);
    void expectOk(const QString& line);
    QByteArray readLine(const char* failure);

    Toolkit m_toolkit;
    QProcess m_process;
};

}  // namespace quorvelle::test
