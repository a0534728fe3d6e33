#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QtQmlIntegration>

namespace quorvelle {

// The texts that the dashboard's rows and option cards derive from their plain inputs: the
// interface-language lookups of AppStrings by language code, and the few string rules of the
// rows (trimming a term, previewing a snippet, dating a dictionary entry). QML reads it as the
// `DashboardTexts` singleton; every function is pure.
class DashboardTexts : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit DashboardTexts(QObject* parent = nullptr);

    // The Turkish text when the code is exactly "tr", the English one otherwise.
    Q_INVOKABLE static QString localized(const QString& languageCode, const QString& english, const QString& turkish);
    // Tells same-titled buttons apart for screen readers: `action` done to `subject`.
    Q_INVOKABLE static QString buttonDescription(const QString& languageCode, const QString& action,
                                                 const QString& subject);

    // `option` is the raw value of an AppLanguageOption; an unknown value reads as "system".
    Q_INVOKABLE static QString appLanguageOptionTitle(const QString& languageCode, const QString& option);
    Q_INVOKABLE static QString appLanguageOptionDescription(const QString& languageCode, const QString& option);

    // `code` is a string, or null/undefined for the automatic-detection choice.
    Q_INVOKABLE static QString transcriptionLanguageTitle(const QString& languageCode, const QVariant& code,
                                                          const QString& name);

    // The term without white space and line breaks at either end.
    Q_INVOKABLE static QString trimmedTerm(const QString& text);

    // One line of a snippet's expansion: line feeds become spaces, and more than 96 user-perceived
    // characters are cut to 96 followed by "...".
    Q_INVOKABLE static QString snippetExpansionPreview(const QString& expansion);

    // Month/day/year without leading zeros, in the local time zone; "" for an invalid date.
    Q_INVOKABLE static QString shortNumericDate(const QDateTime& date);
};

}  // namespace quorvelle
