#include "App/QtTranslations.h"

#include "ViewModel/AppViewModel.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QtDebug>

namespace quorvelle {

QtTranslations::QtTranslations(AppViewModel& viewModel, QObject* parent) : QObject(parent), m_viewModel(viewModel) {
    connect(&viewModel, &AppViewModel::stringsChanged, this, [this] { follow(m_viewModel.languageCode()); });
    follow(viewModel.languageCode());
}

QtTranslations::~QtTranslations() {
    if (m_installed) QCoreApplication::removeTranslator(&m_translator);
}

void QtTranslations::follow(const QString& languageCode) {
    if (languageCode == m_languageCode) return;
    m_languageCode = languageCode;
    if (m_installed) QCoreApplication::removeTranslator(&m_translator);
    m_installed = false;
    // English is Qt's own language: nothing to load.
    if (languageCode == QLatin1String("en")) return;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!m_translator.load(QLocale(languageCode), QStringLiteral("qt"), QStringLiteral("_"), folder)) {
        qWarning() << "No Qt translations for" << languageCode << "in" << folder;
        return;
    }
    m_installed = QCoreApplication::installTranslator(&m_translator);
}

}  // namespace quorvelle
