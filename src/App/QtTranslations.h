#pragma once

#include <QObject>
#include <QTranslator>

namespace quorvelle {

class AppViewModel;

// Qt's own texts (the buttons and labels of the file and message dialogs) in the interface
// language: the system's Qt catalogue is installed while the interface is Turkish.
class QtTranslations : public QObject {
    Q_OBJECT

public:
    explicit QtTranslations(AppViewModel& viewModel, QObject* parent = nullptr);
    ~QtTranslations() override;

private:
    void follow(const QString& languageCode);

    AppViewModel& m_viewModel;
    QTranslator m_translator;
    QString m_languageCode;
    bool m_installed = false;
};

}  // namespace quorvelle
