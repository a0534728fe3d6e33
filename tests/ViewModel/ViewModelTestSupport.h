#pragma once

#include "FakeBootstrap.h"
#include "Services/Storage/SettingsKeys.h"
#include "ViewModel/AppViewModel.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>

#include <functional>
#include <memory>

namespace quorvelle::test {

// Runs what is queued for the main thread, the view model's subscription deliveries included.
inline void settle() {
    for (int turn = 0; turn < 8; ++turn)
        QCoreApplication::processEvents();
}

// What one user action left behind: the status line, the new event codes (oldest first) and whether
// the diagnostics snapshot was rebuilt.
struct ActionOutcome {
    QString message;
    QStringList codes;
    bool refreshed = false;
};

// An outcome as one line: the status line, then the new event codes.
inline QString said(const ActionOutcome& outcome) {
    return QStringList{outcome.message, outcome.codes.join(u',')}.join(u" | "_qs);
}

// A view model over the fake services; change the fakes before calling make().
class ViewModelTest : public ::testing::Test {
protected:
    FakeBootstrap fakes;
    std::unique_ptr<AppViewModel> viewModel;

    AppViewModel& make() { return make(fakes.bootstrap()); }
    AppViewModel& make(const AppBootstrap& services) {
        viewModel = std::make_unique<AppViewModel>(services, fakes.environment());
        return *viewModel;
    }
    // language is the stored interface language: "english" or "turkish".
    AppViewModel& make(const char* language) {
        storeString(SettingsKeys::selectedAppLanguage, QString::fromLatin1(language));
        return make();
    }

    void storeString(const char* key, const QString& value) {
        fakes.userDefaults->setString(QString::fromLatin1(key), value);
    }

    AccountViewModel& account() { return *viewModel->account(); }
    LocalModelsViewModel& models() { return *viewModel->localModels(); }
    QString message() const { return viewModel->inlineMessageText(); }

    ActionOutcome run(const std::function<void()>& action) {
        const qsizetype before = fakes.diagnostics->stored.size();
        QSignalSpy snapshots(viewModel->diagnostics(), &DiagnosticsViewModel::diagnosticsSnapshotChanged);
        action();
        ActionOutcome outcome{message(), {}, snapshots.count() > 0};
        for (qsizetype index = fakes.diagnostics->stored.size() - before - 1; index >= 0; --index)
            outcome.codes << fakes.diagnostics->stored.at(index).code;
        return outcome;
    }
};

// A view model over fakes, ready for cloud dictation unless `adjust` says otherwise.
struct DictationRig {
    FakeBootstrap fakes;
    std::unique_ptr<AppViewModel> vm;

    explicit DictationRig(const std::function<void(FakeBootstrap&, AppBootstrap&)>& adjust = {}) {
        fakes.makeReadyForCloudDictation();
        AppBootstrap services = fakes.bootstrap();
        if (adjust) adjust(fakes, services);
        vm = std::make_unique<AppViewModel>(services, fakes.environment());
        settle();
    }

    SessionViewModel& session() const { return *vm->session(); }
    SessionState state() const { return settle(), session().runtimeState(); }
    QString message() const { return vm->inlineMessage().value_or(QString()); }
    QStringList codes() const { return fakes.diagnostics->codes(); }
    void press() const { session().handleHotkeyPressed(), settle(); }
    void speak(double peak) const {
        AudioLevelSnapshot level = AudioLevelSnapshot::silent();
        level.peakPower = peak;
        fakes.audioCapture->levelPublisher().send(level), settle();
    }
    // Press, speak that loud, release.
    void dictate(double peak = 0.3) { press(), speak(peak), session().handleHotkeyReleased(), settle(); }
};

}  // namespace quorvelle::test
