#include "AppUnderTest.h"

#include "FakeBackendServer.h"
#include "Platform/Linux/LibsecretItemStore.h"
#include "Services/Backend/KeychainBackendTokenStore.h"
#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"
#include "Services/Storage/JsonFileUserDefaults.h"
#include "Services/Storage/SettingsKeys.h"
#include "Services/Storage/UserDefaultsDiagnosticsStore.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"
#include "TestMicrophone.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <X11/X.h>

#include <algorithm>
#include <cstdio>

namespace quorvelle::test {

namespace {

KeychainBackendTokenStore testKeyring() {
    return KeychainBackendTokenStore::standard(std::make_shared<LibsecretItemStore>());
}

}  // namespace

void seedSignedInSession() {
    KeychainBackendTokenStore store = testKeyring();
    store.saveAccessToken(QStringLiteral("test-access-token"));
    store.saveRefreshToken(QStringLiteral("test-refresh-token"));
    store.saveDeviceID(QStringLiteral("TEST-DEVICE"));
}

void clearStoredSession() {
    testKeyring().clearSession();
}

AppUnderTest::AppUnderTest(const QUrl& backendBaseURL) : m_environment(QProcessEnvironment::systemEnvironment()) {
    for (const QString name : {"CONFIG_HOME", "DATA_HOME", "RUNTIME_DIR", "CACHE_HOME"}) {
        QDir(m_home.path()).mkpath(name);
        // The runtime folder must be the user's alone.
        QFile::setPermissions(m_home.filePath(name),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        m_environment.insert(QStringLiteral("XDG_") + name, m_home.filePath(name));
    }
    m_environment.insert(QStringLiteral("QUORVELLE_TEST_RUN"), QStringLiteral("1"));
    if (backendBaseURL.isValid())
        m_environment.insert(QStringLiteral("QUORVELLE_BACKEND_BASE_URL"), backendBaseURL.toString());

    QDir().mkpath(folder("XDG_CONFIG_HOME", ""));
    m_defaults = std::make_shared<JsonFileUserDefaults>(folder("XDG_CONFIG_HOME", "user-defaults.json"));
    m_defaults->setBool(QString::fromLatin1(SettingsKeys::acceptedGroqDisclosure), true);
    m_defaults->setBool(QString::fromLatin1(SettingsKeys::acceptedPrivacyDisclosure), true);
    m_defaults->setString(QString::fromLatin1(SettingsKeys::selectedTranscriptionBackend), QStringLiteral("cloud"));
    m_settings = std::make_unique<SettingsStore>(m_defaults);
}

AppUnderTest::~AppUnderTest() {
    stop();
}

void AppUnderTest::stop() {
    if (m_process.state() == QProcess::NotRunning) return;
    // Waited for to the end: until its X connection closes, the next copy cannot take the hot key.
    m_process.terminate();
    if (!m_process.waitForFinished(15000)) {
        m_process.kill();
        m_process.waitForFinished(30000);
    }
    m_standardError += m_process.readAllStandardError();
}

void AppUnderTest::start() {
    // The copy reads the settings once, as it starts: they must be in the file by then.
    m_defaults->waitUntilWritten();
    m_process.setProcessEnvironment(m_environment);
    m_process.start(m_program, {});
    if (!m_process.waitForStarted(30000)) throw std::runtime_error("quorvelle did not start");
}

std::optional<int> AppUnderTest::exitCode() const {
    if (m_process.state() != QProcess::NotRunning || m_process.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    return m_process.exitCode();
}

int AppUnderTest::runCopy(QString* standardError, int timeoutMs) {
    m_defaults->waitUntilWritten();
    QProcess second;
    second.setProcessEnvironment(m_environment);
    second.start(m_program, {});
    // The first copy answers from its event loop, which runs here too only through the X server.
    if (!second.waitForFinished(timeoutMs)) {
        second.kill();
        second.waitForFinished(2000);
        return -1;
    }
    if (standardError) *standardError = QString::fromUtf8(second.readAllStandardError());
    return second.exitCode();
}

bool AppUnderTest::waitUntilHotkeyRegistered(int timeoutMs) {
    const auto startFailures = [this] {
        const QList<SanitizedDiagnosticsEvent> events = diagnosticsEvents();
        return std::count_if(events.begin(), events.end(), [](const SanitizedDiagnosticsEvent& event) {
            return event.code == QLatin1String("hotkey.monitor.start_failed");
        });
    };
    // Another client is refused the combination exactly while the app holds it. The probe itself
    // holds it for an instant, so it looks seldom, and a copy that grabbed in that instant (refused
    // because of the probe) is started again.
    for (int probeRefusals = 0; probeRefusals < 3; ++probeRefusals) {
        const auto before = startFailures();
        bool refusedByProbe = false;
        QElapsedTimer sinceProbe;
        const bool held = waitUntil(
            [&] {
                if (sinceProbe.isValid() && sinceProbe.elapsed() < 150) return false;
                sinceProbe.start();
                if (OtherXClient().grabKey("space", ControlMask | Mod1Mask) == BadAccess) return true;
                refusedByProbe = startFailures() > before;
                return refusedByProbe;
            },
            timeoutMs);
        if (!held || !refusedByProbe) return held;
        stop();
        start();
    }
    return false;
}

QList<SanitizedDiagnosticsEvent> AppUnderTest::diagnosticsEvents() const {
    // Read only. The store tidies its events as it opens, and a write from here would put back the
    // file as it was read, over an event the running app recorded meanwhile: the app writes the
    // file only when something changes, so that event would never come back.
    const auto readOnly = std::make_shared<JsonFileUserDefaults>(
        folder("XDG_CONFIG_HOME", "user-defaults.json"), &QDateTime::currentDateTimeUtc,
        [](const QString&, const QByteArray&) { return std::optional<QString>(); });
    return UserDefaultsDiagnosticsStore(readOnly).events();
}

std::string AppUnderTest::eventLog() const {
    QStringList lines;
    for (const SanitizedDiagnosticsEvent& event : diagnosticsEvents())
        lines << event.code + QLatin1Char(' ') + event.message;
    return lines.join(QLatin1Char('\n')).toStdString();
}

QList<TranscriptHistoryEntry> AppUnderTest::historyEntries() const {
    // Read from a copy: loading folds the journal into the file and removes it, which must not
    // happen under a running app.
    QTemporaryDir copy;
    const QDir history(historyFolder());
    for (const QString& name : history.entryList(QDir::Files | QDir::Hidden))
        QFile::copy(history.filePath(name), copy.filePath(name));
    ApplicationSupportTranscriptHistoryStore::Options options;
    options.directory = copy.path();
    return ApplicationSupportTranscriptHistoryStore(options).loadEntries();
}

bool AppUnderTest::holdsAnEntry() const {
    const QDir history(historyFolder());
    return !history.entryList({QStringLiteral("*.held-*")}, QDir::Files | QDir::Hidden).isEmpty();
}

bool insideDesktopTestEnvironment() {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") == "1") return true;
    std::printf("run inside scripts/desktop-test-env\n");
    return false;
}

void answerTranscriptionsWith(FakeBackendServer& server, const QString& words) {
    const QJsonObject answer{{QStringLiteral("request_id"), QStringLiteral("bench")}, {QStringLiteral("text"), words}};
    server.respond("POST", QStringLiteral("/v1/transcriptions"),
                   FakeResponse::json(200, QJsonDocument(answer).toJson(QJsonDocument::Compact)));
}

void speakWithHotkeyDown(TestMicrophone& microphone, const QStringList& hotkey) {
    microphone.drain();
    sendKeys(hotkey, true);
    microphone.speak(TestMicrophone::speech());
    microphone.finish();
    waitUntil([] { return false; }, 300);
}

namespace {

// The processor time the process has used so far, in clock ticks, or -1 once it is gone.
long long cpuTicks(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return -1;
    const QByteArray line = stat.readAll();
    // Fields after the command name, which may hold spaces: state is the first, utime the twelfth.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

}  // namespace

bool waitUntilSettled(qint64 pid, int quietMs, int timeoutMs) {
    long long last = cpuTicks(pid);
    QElapsedTimer quiet;
    quiet.start();
    return waitUntil(
        [&] {
            const long long now = cpuTicks(pid);
            if (now != last) {
                last = now;
                quiet.restart();
            }
            return quiet.elapsed() >= quietMs;
        },
        timeoutMs);
}

}  // namespace quorvelle::test
