#pragma once

#include "ViewModelTestSupport.h"

#include <QSignalSpy>

#include <functional>

namespace quorvelle::test {

// What one user action left behind: the status line, the new event codes (oldest first) and whether
// the diagnostics snapshot was rebuilt.
struct ActionOutcome {
    QString message;
    QStringList codes;
    bool refreshed = false;
};

class ActionTest : public ViewModelTest {
protected:
    using ViewModelTest::make;
    // language is the stored interface language: "english" or "turkish".
    AppViewModel& make(const char* language) {
        storeString(SettingsKeys::selectedAppLanguage, QString::fromLatin1(language));
        return make();
    }

    ActionOutcome run(const std::function<void()>& action) {
        const qsizetype before = fakes.diagnostics->stored.size();
        QSignalSpy snapshots(viewModel->diagnostics(), &DiagnosticsViewModel::diagnosticsSnapshotChanged);
        action();
        ActionOutcome outcome{viewModel->inlineMessageText(), {}, snapshots.count() > 0};
        for (qsizetype index = fakes.diagnostics->stored.size() - before - 1; index >= 0; --index)
            outcome.codes << fakes.diagnostics->stored.at(index).code;
        return outcome;
    }
};

}  // namespace quorvelle::test
