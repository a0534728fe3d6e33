#pragma once

#include "ViewModel/AppViewModel.h"
#include "ViewModel/RecordListModel.h"

#include <QtQmlIntegration>

// The view model's classes under their own names for typed properties in the views. The view
// model lives in the core library, which knows nothing of QML, so they are registered from here.
// QML makes none of them: the composition root makes the one view model.
namespace quorvelle::qml {

struct AppViewModelForeign {
    Q_GADGET
    QML_FOREIGN(quorvelle::AppViewModel)
    QML_NAMED_ELEMENT(AppViewModel)
    QML_UNCREATABLE("Made by the composition root.")
};

struct SessionViewModelForeign {
    Q_GADGET
    QML_FOREIGN(quorvelle::SessionViewModel)
    QML_NAMED_ELEMENT(SessionViewModel)
    QML_UNCREATABLE("Made by the composition root.")
};

struct PreferencesViewModelForeign {
    Q_GADGET
    QML_FOREIGN(quorvelle::PreferencesViewModel)
    QML_NAMED_ELEMENT(PreferencesViewModel)
    QML_UNCREATABLE("Made by the composition root.")
};

struct DictionaryViewModelForeign {
    Q_GADGET
    QML_FOREIGN(quorvelle::DictionaryViewModel)
    QML_NAMED_ELEMENT(DictionaryViewModel)
    QML_UNCREATABLE("Made by the composition root.")
};

struct PermissionsViewModelForeign {
    Q_GADGET
    QML_FOREIGN(quorvelle::PermissionsViewModel)
    QML_NAMED_ELEMENT(PermissionsViewModel)
    QML_UNCREATABLE("Made by the composition root.")
};

struct AccountViewModelForeign {
    Q_GADGET
    QML_FOREIGN(quorvelle::AccountViewModel)
    QML_NAMED_ELEMENT(AccountViewModel)
    QML_UNCREATABLE("Made by the composition root.")
};

struct LocalModelsViewModelForeign {
    Q_GADGET
    QML_FOREIGN(quorvelle::LocalModelsViewModel)
    QML_NAMED_ELEMENT(LocalModelsViewModel)
    QML_UNCREATABLE("Made by the composition root.")
};

struct HistoryViewModelForeign {
    Q_GADGET
    QML_FOREIGN(quorvelle::HistoryViewModel)
    QML_NAMED_ELEMENT(HistoryViewModel)
    QML_UNCREATABLE("Made by the composition root.")
};

struct DiagnosticsViewModelForeign {
    Q_GADGET
    QML_FOREIGN(quorvelle::DiagnosticsViewModel)
    QML_NAMED_ELEMENT(DiagnosticsViewModel)
    QML_UNCREATABLE("Made by the composition root.")
};

struct RecordListModelForeign {
    Q_GADGET
    QML_FOREIGN(quorvelle::RecordListModel)
    QML_NAMED_ELEMENT(RecordListModel)
    QML_UNCREATABLE("Made by the composition root.")
};

}  // namespace quorvelle::qml
