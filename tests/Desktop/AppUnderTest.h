#pragma once

#include "Models/SanitizedDiagnosticsEvent.h"
#include "Models/TranscriptHistoryEntry.h"
#include "Services/Storage/JsonFileUserDefaults.h"
#include "Services/Storage/SettingsStore.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>
#include <optional>

namespace quorvelle::test {

class FakeBackendServer;
class TestMicrophone;

// The real quorvelle executable, started in the test desktop with folders of its own (settings,
// data, runtime), a backend address, and settings written before it starts. Ended when the object
// goes away.
class AppUnderTest {
public:
    explicit AppUnderTest(const QUrl& backendBaseURL = {});
    ~AppUnderTest();
    AppUnderTest(const AppUnderTest&) = delete;
    AppUnderTest& operator=(const AppUnderTest&) = delete;

    // Settings as the app will read them at start: signed-in cloud dictation with both disclosures
    // accepted, unless changed here first.
    SettingsStore& settings() { return *m_settings; }
    UserDefaults& defaults() { return *m_defaults; }

    // Starts a copy; returns once the process runs (or throws).
    void start();
    // Ends the running copy and waits until it is gone.
    void stop();
    // Runs a copy with the same folders to its end and returns its exit code (-1 when it hung);
    // what it printed goes to `standardError` when given.
    int runCopy(QString* standardError = nullptr, int timeoutMs = 30000);
    // Its global hot key (Control+Alt+Space) is grabbed: the app is ready to dictate.
    bool waitUntilHotkeyRegistered(int timeoutMs = 30000);
    qint64 processId() const { return m_process.processId(); }
    bool isRunning() const { return m_process.state() == QProcess::Running; }
    // How the last copy ended: its exit code, or none while it runs or when a signal ended it.
    std::optional<int> exitCode() const;
    QString standardError() { return QString::fromUtf8(m_standardError += m_process.readAllStandardError()); }
    QProcessEnvironment environment() const { return m_environment; }
    void setEnvironment(const QString& name, const QString& value) { m_environment.insert(name, value); }
    void removeEnvironment(const QString& name) { m_environment.remove(name); }
    // The executable started; the build's own unless set.
    void setProgram(const QString& path) { m_program = path; }

    // The diagnostics events and the history as the app stored them.
    QList<SanitizedDiagnosticsEvent> diagnosticsEvents() const;
    QList<TranscriptHistoryEntry> historyEntries() const;
    // Whether a delivery's entry is still held (its words on their way, its check not over): read
    // meanwhile, such an entry comes back as a run that ended before its delivery reported.
    bool holdsAnEntry() const;
    // The folder of the history file and its journal.
    QString historyFolder() const { return folder("XDG_DATA_HOME", "History"); }
    // The events' codes and messages, one a line, for failure messages.
    std::string eventLog() const;

private:
    QString folder(const char* name, const char* below) const {
        return m_environment.value(QString::fromLatin1(name)) + QStringLiteral("/com.dovent.Quorvelle/") +
               QLatin1String(below);
    }

    QTemporaryDir m_home;
    QProcessEnvironment m_environment;
    std::shared_ptr<JsonFileUserDefaults> m_defaults;
    std::unique_ptr<SettingsStore> m_settings;
    QString m_program = QStringLiteral(QUORVELLE_APP_PATH);
    QProcess m_process;
    QByteArray m_standardError;
};

// The account session the app finds in the test keyring: an access token and a registered device.
void seedSignedInSession();
void clearStoredSession();

// Waits until the process used no processor time for `quietMs` (done starting, reading its history
// or delivering); false when it never rested within `timeoutMs`.
bool waitUntilSettled(qint64 pid, int quietMs, int timeoutMs);

// For the benchmarks that drive the executable. Inside scripts/desktop-test-env, or says so.
bool insideDesktopTestEnvironment();
// The fake backend answers every transcription at once with these words.
void answerTranscriptionsWith(FakeBackendServer& server, const QString& words);
// Empties the microphone, presses the hot key and lets the microphone say its sentence; the key
// stays down for the caller to let go.
void speakWithHotkeyDown(TestMicrophone& microphone, const QStringList& hotkey);

}  // namespace quorvelle::test
