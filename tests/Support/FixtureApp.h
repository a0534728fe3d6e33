#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QString>

#include <memory>

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

    Toolkit toolkit() const { return m_toolkit; }
    QString title() const { return m_title; }
    qint64 processId() const { return m_process.processId(); }
    // The program's name as it registers with the accessibility bus.
    QString applicationName() const;

    // Each returns after the fixture answered "ok".
    void focus(const QString& field);
    void setText(const QString& field, const QString& text);
    void select(const QString& field, int start, int length);
    // Adds a list of that many rows, focusable as the field "rows" (GTK fixture only).
    void showRows(int count);
    // The fields' texts as the fixture itself sees them.
    QJsonObject texts();

private:
    QString command(const QString& line);

    Toolkit m_toolkit;
    QString m_title;
    QProcess m_process;
};

}  // namespace quorvelle::test
