#pragma once

#include "Models/AppStrings.h"
#include "Models/LocalModelStatus.h"

#include <QObject>
#include <QPointer>
#include <QVariant>
#include <QVariantList>
#include <QtQmlIntegration>

namespace quorvelle {

class AppViewModel;

// The setup screen's reading of the view model: the values its cards show, stored enumerations by
// their case names, and the actions that take a case name. Keeps no state: every read goes to the
// view model, and any change there notifies `changed`.
class OnboardingModel : public QObject {
    Q_OBJECT
    QML_ELEMENT

    // The AppViewModel the screen was given.
    Q_PROPERTY(QObject* viewModel READ viewModel WRITE setViewModel NOTIFY viewModelChanged)
    // "cloud" or "local".
    Q_PROPERTY(QString transcriptionBackend READ transcriptionBackend NOTIFY changed)
    Q_PROPERTY(bool isLocalModeReady READ isLocalModeReady NOTIFY changed)
    // The badge's word for each permission's state.
    Q_PROPERTY(QString microphonePermissionLabel READ microphonePermissionLabel NOTIFY changed)
    Q_PROPERTY(QString accessibilityPermissionLabel READ accessibilityPermissionLabel NOTIFY changed)
    // The pending sign-in's code and verification address; null without a challenge.
    Q_PROPERTY(QVariant challengeUserCode READ challengeUserCode NOTIFY changed)
    Q_PROPERTY(QVariant verificationURLText READ verificationURLText NOTIFY changed)
    Q_PROPERTY(QString runtimeStatusLabel READ runtimeStatusLabel NOTIFY changed)
    Q_PROPERTY(QString localStatusDetail READ localStatusDetail NOTIFY changed)
    // One map per model row, in the view model's order (see rowFor).
    Q_PROPERTY(QVariantList modelRows READ modelRows NOTIFY changed)

public:
    explicit OnboardingModel(QObject* parent = nullptr);

    QObject* viewModel() const;
    void setViewModel(QObject* viewModel);

    QString transcriptionBackend() const;
    bool isLocalModeReady() const;
    QString microphonePermissionLabel() const;
    QString accessibilityPermissionLabel() const;
    QVariant challengeUserCode() const;
    QVariant verificationURLText() const;
    QString runtimeStatusLabel() const;
    QString localStatusDetail() const;
    QVariantList modelRows() const;

    // One row: id (case name), title, subtitle, installState (case name), stateTitle, isSelected,
    // primaryTitle, warning (empty for the plain tier).
    static QVariantMap rowFor(const LocalModelStatus& status, const AppStrings& strings);

    // "cloud" or "local"; any other name changes nothing.
    Q_INVOKABLE void selectTranscriptionBackend(const QString& backend);
    // Selects local mode when it is ready, else opens its setup.
    Q_INVOKABLE void chooseLocalMode();
    // The row's primary button: select an installed model, download a missing or failed one,
    // cancel a running download.
    Q_INVOKABLE void runPrimaryModelAction(const QString& modelID);
    Q_INVOKABLE void deleteModel(const QString& modelID);

Q_SIGNALS:
    void viewModelChanged();
    void changed();

private:
    std::optional<LocalModelStatus> statusOf(const QString& modelID) const;

    QPointer<AppViewModel> m_viewModel;
};

}  // namespace quorvelle
