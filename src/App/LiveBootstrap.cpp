#include "App/LiveBootstrap.h"

#include "Models/RollingTranscriptionTelemetryStore.h"
#include "Platform/Linux/AccessibilityPermissionController.h"
#include "Platform/Linux/LibsecretItemStore.h"
#include "Platform/Linux/LinuxTextDeliveryServices.h"
#include "Platform/Linux/PulseAudioCaptureEngine.h"
#include "Platform/Linux/PulseAudioDeviceService.h"
#include "Platform/Linux/SystemNavigator.h"
#include "Platform/Linux/TcpConnectionReading.h"
#include "Platform/Linux/TcpNoDelay.h"
#include "Platform/Linux/XTestHeldKeys.h"
#include "Platform/Linux/XcbHotKeyRegistrar.h"
#include "Platform/Linux/XdgAutostartController.h"
#include "Services/Audio/AVAudioEngineCaptureService.h"
#include "Services/Audio/SoxrPcmConverter.h"
#include "Services/Audio/WAVFileEncoder.h"
#include "Services/Backend/BackendAPIClient.h"
#include "Services/Backend/BackendAuthSessionManager.h"
#include "Services/Backend/BackendInstallIDLookup.h"
#include "Services/Backend/BackendReleaseNotesFetcher.h"
#include "Services/Backend/DisabledReleaseNotesFetcher.h"
#include "Services/Backend/DisabledSoftwareUpdateChecker.h"
#include "Services/Backend/KeychainBackendTokenStore.h"
#include "Services/Backend/ManualSoftwareUpdateChecker.h"
#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"
#include "Services/Storage/JsonFileUserDefaults.h"
#include "Services/Storage/SettingsKeys.h"
#include "Services/Storage/UserDefaultsDiagnosticsStore.h"
#include "Services/System/CarbonHotkeyMonitor.h"
#include "Services/System/MicrophonePermissionController.h"
#include "Services/Transcription/ApplicationSupportLocalModelManager.h"
#include "Services/Transcription/BackendTranscriptionClient.h"
#include "Services/Transcription/EmbeddedWhisperLocalTranscriber.h"
#include "Services/Transcription/EmbeddedWhisperRuntime.h"
#include "Services/Transcription/RoutingTranscriber.h"
#include "Services/Transcription/WhisperEngine.h"
#include "ViewModel/SessionCoordinator.h"

#include <QtDebug>

namespace quorvelle {

namespace {

// A service that lives inside an object holding what it stands on: the pointer keeps the whole
// object alive.
template <typename Interface, typename Owner>
std::shared_ptr<Interface> partOf(const std::shared_ptr<Owner>& owner, Interface& part) {
    return std::shared_ptr<Interface>(owner, &part);
}

struct LiveMicrophonePermission {
    explicit LiveMicrophonePermission(std::shared_ptr<PulseAudioDeviceService> list)
        : devices(std::move(list)), controller(*devices) {}
    std::shared_ptr<PulseAudioDeviceService> devices;
    MicrophonePermissionController controller;
};

struct LiveCapture {
    LiveCapture(std::shared_ptr<PulseAudioDeviceService> list, bool diagnosticLogEnabled)
        : devices(std::move(list)),
          service(engine, AudioCaptureConfiguration{}, *devices, encoder, &SoxrPcmConverter::make,
                  CaptureDiagnosticLog(diagnosticLogEnabled)) {}
    std::shared_ptr<PulseAudioDeviceService> devices;
    PulseAudioCaptureEngine engine;
    WAVFileEncoder encoder;
    AVAudioEngineCaptureService service;  // last: it uses the members above
};

bool captureDiagnosticLogEnabled(const UserDefaults& defaults) {
    const QString key = QLatin1String(SettingsKeys::captureDiagnosticFileLogEnabled);
    const std::optional<bool> stored = defaults.contains(key) ? std::optional(defaults.boolean(key)) : std::nullopt;
    const std::optional<QString> environment =
        qEnvironmentVariableIsSet("QUORVELLE_CAPTURE_DIAGNOSTIC_FILE_LOG")
            ? std::optional(qEnvironmentVariable("QUORVELLE_CAPTURE_DIAGNOSTIC_FILE_LOG"))
            : std::nullopt;
    return CaptureDiagnosticLog::isEnabled(environment, stored);
}

std::shared_ptr<KeychainBackendTokenStore> makeTokenStore(const std::shared_ptr<SecretItemStoring>& items) {
    return std::make_shared<KeychainBackendTokenStore>(KeychainBackendTokenStore::standard(items));
}

std::shared_ptr<SoftwareUpdateChecking> makeSoftwareUpdateChecker(
    const AppConfiguration& configuration, QNetworkAccessManager* network,
    const std::shared_ptr<const ConnectionReading>& connections) {
    if (AppConfiguration::isRunningUnitTests()) return std::make_shared<DisabledSoftwareUpdateChecker>();
    return std::make_shared<ManualSoftwareUpdateChecker>(
        network, configuration.backendBaseURLString(), configuration.publicWebURLString(), configuration.shortVersion(),
        configuration.buildNumber(), connections);
}

std::shared_ptr<ReleaseNotesFetching> makeReleaseNotesFetcher(
    const AppConfiguration& configuration, QNetworkAccessManager* network,
    const std::shared_ptr<const ConnectionReading>& connections) {
    if (AppConfiguration::isRunningUnitTests()) return std::make_shared<DisabledReleaseNotesFetcher>();
    return std::make_shared<BackendReleaseNotesFetcher>(network, configuration.backendBaseURLString(), 20, connections);
}

}  // namespace

AppBootstrap makeLiveBootstrap(const AppConfiguration& configuration, QNetworkAccessManager* network) {
    // Checked first, so that an unusable address stops the start before anything is built.
    const QUrl backendBaseURL = configuration.backendBaseURL();
    configuration.publicWebURL();

    AppBootstrap b;
    const auto userDefaults = std::make_shared<JsonFileUserDefaults>(JsonFileUserDefaults::standardFilePath());
    b.settingsStore = std::make_shared<SettingsStore>(userDefaults);

    const auto devices = std::make_shared<PulseAudioDeviceService>();
    const auto microphone = std::make_shared<LiveMicrophonePermission>(devices);
    b.microphonePermissionController = partOf<MicrophonePermissionControlling>(microphone, microphone->controller);
    b.accessibilityPermissionController = std::make_shared<AccessibilityPermissionController>();
    b.systemNavigator = std::make_shared<SystemNavigator>(
        [](const QString& reason) { qWarning().noquote() << "Cannot open the desktop's settings:" << reason; });
    b.startAtLoginController = std::make_shared<XdgAutostartController>();
    b.hotkeyMonitor = std::make_shared<CarbonHotkeyMonitor>(std::make_unique<XcbHotKeyRegistrar>());

    // A copy of the app killed inside the paste's chord left its keys down in the X server, where
    // every key the user types goes out with them: the synthetic keyboard lets them go first.
    XTestHeldKeys::releaseAll();
    const auto delivery = std::make_shared<LinuxTextDeliveryServices>();
    b.focusedTargetInspector = partOf(delivery, delivery->inspector());

    const auto capture = std::make_shared<LiveCapture>(devices, captureDiagnosticLogEnabled(*userDefaults));
    b.audioCapture = partOf<AudioCapturing>(capture, capture->service);
    b.audioDeviceService = devices;

    b.textInserter = partOf(delivery, delivery->inserter());
    b.pasteboardWriter = partOf(delivery, delivery->clipboard());
    b.textInsertionStrategyResolver = partOf(delivery, delivery->strategyResolver());
    b.syntheticPastePerformer = partOf(delivery, delivery->pastePerformer());
    b.focusChangeAwaiter = partOf(delivery, delivery->focusChanges());

    b.transcriptionTelemetryRecorder = std::make_shared<RollingTranscriptionTelemetryStore>(50);
    b.diagnosticsStore = std::make_shared<UserDefaultsDiagnosticsStore>(userDefaults);
    b.transcriptHistoryStore = std::make_shared<ApplicationSupportTranscriptHistoryStore>();
    b.sessionCoordinator = std::make_shared<SessionCoordinator>();

    // Every request of the app shares Qt's one network thread: an answer whose head never ends is
    // cut by what the kernel has handed over, below Qt, whichever request it is.
    const auto connections = std::make_shared<TcpConnectionReading>();
    const auto whisperRuntime = std::make_shared<EmbeddedWhisperRuntime>(makeInstalledWhisperEngine());
    // Its constructor makes the models folder and drops registry records whose file is gone.
    const auto localModelManager = std::make_shared<ApplicationSupportLocalModelManager>(
        network, whisperRuntime, [](LocalTranscriptionModelID id) { return localModelDescriptor(id); }, std::nullopt,
        &QDateTime::currentDateTimeUtc, connections);
    b.localModelManager = localModelManager;

    const auto secretItems = std::make_shared<LibsecretItemStore>();
    const auto accountTokens = makeTokenStore(secretItems);
    BackendAPIClientOptions clientOptions;
    clientOptions.appVersion = configuration.shortVersion();
    clientOptions.build = configuration.buildNumber();
    clientOptions.releaseHeldRequestBytes = [] { disableNagleOnOpenTcpSockets(); };
    clientOptions.connections = connections;
    const auto accountClient = std::make_shared<BackendAPIClient>(network, backendBaseURL, clientOptions);
    // The sign-in and the device registration tell the backend which build is connecting.
    DeviceInformationReader::Options deviceOptions;
    deviceOptions.appVersion = configuration.shortVersion();
    deviceOptions.build = configuration.buildNumber();
    b.backendAuthSessionManager = std::make_shared<BackendAuthSessionManager>(
        accountClient, accountTokens, std::make_shared<SecretItemInstallIDLookup>(secretItems),
        DeviceInformationReader(std::move(deviceOptions)));

    const auto transcriptionClient = std::make_shared<BackendAPIClient>(network, backendBaseURL, clientOptions);
    const auto cloudTranscriber = std::make_shared<BackendTranscriptionClient>(transcriptionClient, accountTokens);
    const auto localTranscriber = std::make_shared<EmbeddedWhisperLocalTranscriber>(localModelManager, whisperRuntime);
    b.transcriber =
        std::make_shared<RoutingTranscriber>(cloudTranscriber, localTranscriber, SettingsStore(userDefaults));

    b.softwareUpdateChecker = makeSoftwareUpdateChecker(configuration, network, connections);
    b.releaseNotesFetcher = makeReleaseNotesFetcher(configuration, network, connections);
    return b;
}

}  // namespace quorvelle
