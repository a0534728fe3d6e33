#pragma once

#include "Models/AppStrings.h"
#include "Models/TranscriptionLanguageOption.h"
#include "Views/Settings/MicrophonePickerModel.h"

#include "Views/Common/PageViewModelBinding.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QtQmlIntegration>

namespace quorvelle {

// What the settings page shows of the view model apart from its plain switches, made into the
// texts and rows its cards take, and the page's actions, each ending in one view-model
// operation. The language search text is the page's own and lives as long as the page.
class SettingsPageModel : public PageViewModelBinding {
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(QString languageSearchQuery READ languageSearchQuery WRITE setLanguageSearchQuery NOTIFY
                   languageSearchQueryChanged)

    // The engine cards.
    Q_PROPERTY(bool isLocalSelected READ isLocalSelected NOTIFY changed)
    Q_PROPERTY(QStringList localEngineTags READ localEngineTags NOTIFY changed)
    Q_PROPERTY(QString localModeStatusDetail READ localModeStatusDetail NOTIFY changed)

    // The spoken language: its title and id, automatic or fixed, and the rows the search leaves,
    // each { id, code (null for automatic detection), name }.
    Q_PROPERTY(QString selectedLanguageTitle READ selectedLanguageTitle NOTIFY changed)
    Q_PROPERTY(QString selectedLanguageID READ selectedLanguageID NOTIFY changed)
    Q_PROPERTY(bool isLanguageAutomatic READ isLanguageAutomatic NOTIFY changed)
    Q_PROPERTY(QVariantList languageRows READ languageRows NOTIFY languageRowsChanged)

    // The microphone cards and the picker's rows, each { uid (null for the system default), title }.
    Q_PROPERTY(QString selectedMicrophoneName READ selectedMicrophoneName NOTIFY changed)
    Q_PROPERTY(QString activeMicrophone READ activeMicrophone NOTIFY changed)
    Q_PROPERTY(QVariantList microphoneRows READ microphoneRows NOTIFY changed)
    Q_PROPERTY(int selectedMicrophoneRow READ selectedMicrophoneRow NOTIFY changed)

    // Start at login: the switch shows on only when enabled; approval brings up the settings button.
    Q_PROPERTY(bool isStartAtLoginOn READ isStartAtLoginOn NOTIFY changed)
    Q_PROPERTY(bool startAtLoginNeedsApproval READ startAtLoginNeedsApproval NOTIFY changed)
    Q_PROPERTY(QString startAtLoginStatusLabel READ startAtLoginStatusLabel NOTIFY changed)

    Q_PROPERTY(QString versionLine READ versionLine CONSTANT)

public:
    explicit SettingsPageModel(QObject* parent = nullptr);

    const QString& languageSearchQuery() const { return m_languageSearchQuery; }
    void setLanguageSearchQuery(const QString& query);

    bool isLocalSelected() const;
    QStringList localEngineTags() const;
    QString localModeStatusDetail() const;
    QString selectedLanguageTitle() const;
    QString selectedLanguageID() const;
    bool isLanguageAutomatic() const;
    QVariantList languageRows() const;
    QString selectedMicrophoneName() const;
    QString activeMicrophone() const;
    QVariantList microphoneRows() const;
    int selectedMicrophoneRow() const;
    bool isStartAtLoginOn() const;
    bool startAtLoginNeedsApproval() const;
    QString startAtLoginStatusLabel() const;
    QString versionLine() const;

    // The options the search text leaves, in list order: those matching it, and those whose title
    // in the interface language contains it, so that the Turkish titles can be searched.
    static QList<TranscriptionLanguageOption> filteredLanguageOptions(const QString& query, const AppStrings& strings);

    // The local card switches only when local mode is ready, else it opens the local setup.
    Q_INVOKABLE void selectLocalEngine();
    Q_INVOKABLE void selectCloudEngine();
    // A language row, by its option id ("auto" or the code).
    Q_INVOKABLE void selectLanguage(const QString& id);
    // A picker row, by its index in microphoneRows.
    Q_INVOKABLE void selectMicrophone(int row);
    // The page came on screen: the capture service takes the stored microphone again and the
    // devices are listed anew, without a message.
    Q_INVOKABLE void syncMicrophonePreference();

Q_SIGNALS:
    void languageSearchQueryChanged();
    void languageRowsChanged();

protected:
    void observe(AppViewModel& viewModel) override;

private:
    AppStrings strings() const;
    QList<MicrophonePickerModel::Option> microphoneOptions() const;

    QString m_languageSearchQuery;
};

}  // namespace quorvelle
