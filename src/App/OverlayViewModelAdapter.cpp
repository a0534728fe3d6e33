#include "App/OverlayViewModelAdapter.h"

#include "ViewModel/AppViewModel.h"

namespace quorvelle {

OverlayViewModelAdapter::OverlayViewModelAdapter(AppViewModel& viewModel, QObject* parent)
    : QObject(parent), m_viewModel(viewModel) {
    SessionViewModel* session = viewModel.session();
    PreferencesViewModel* preferences = viewModel.preferences();
    for (auto signal : {&SessionViewModel::runtimeStateChanged, &SessionViewModel::lastCaptureSummaryChanged})
        connect(session, signal, this, &OverlayViewModelAdapter::changed);
    for (auto signal :
         {&PreferencesViewModel::selectedRecordingTriggerModeChanged,
          &PreferencesViewModel::selectedDesktopThemeChanged, &PreferencesViewModel::selectedWidgetAppearanceChanged,
          &PreferencesViewModel::selectedHotkeyChanged})
        connect(preferences, signal, this, &OverlayViewModelAdapter::changed);
    connect(&viewModel, &AppViewModel::inlineMessageChanged, this, &OverlayViewModelAdapter::changed);
    connect(&viewModel, &AppViewModel::stringsChanged, this, &OverlayViewModelAdapter::changed);
    connect(session, &SessionViewModel::audioLevelSnapshotChanged, this,
            &OverlayViewModelAdapter::audioLevelSnapshotChanged);
}

SessionState OverlayViewModelAdapter::runtimeState() const {
    return m_viewModel.session()->runtimeState();
}

QString OverlayViewModelAdapter::inlineMessage() const {
    return m_viewModel.inlineMessageText();
}

QString OverlayViewModelAdapter::lastCaptureSummary() const {
    return m_viewModel.session()->lastCaptureSummaryText();
}

QString OverlayViewModelAdapter::selectedRecordingTriggerMode() const {
    return rawValue(m_viewModel.preferences()->selectedRecordingTriggerMode());
}

QString OverlayViewModelAdapter::selectedDesktopTheme() const {
    return rawValue(m_viewModel.preferences()->selectedDesktopTheme());
}

QString OverlayViewModelAdapter::selectedWidgetAppearance() const {
    return rawValue(m_viewModel.preferences()->selectedWidgetAppearance());
}

HotkeyShortcut OverlayViewModelAdapter::selectedHotkey() const {
    return m_viewModel.preferences()->selectedHotkey();
}

AppStrings OverlayViewModelAdapter::strings() const {
    return m_viewModel.strings();
}

AudioLevelSnapshot OverlayViewModelAdapter::audioLevelSnapshot() const {
    return m_viewModel.session()->audioLevelSnapshot();
}

}  // namespace quorvelle
