#pragma once

#include "Support/QmlValues.h"

#include <QList>
#include <QLocale>
#include <QObject>
#include <QString>

#include <optional>

namespace quorvelle {

// One choice of the transcription language; no code lets the speech engine detect it.
struct TranscriptionLanguageOption {
    Q_GADGET
    // The language code; null for detection.
    Q_PROPERTY(QVariant code READ codeValue)
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(QString id READ id)

public:
    std::optional<QString> code;
    QString name;

    QString id() const;
    QVariant codeValue() const { return optionalValue(code); }

    static TranscriptionLanguageOption automatic();
    // The automatic option followed by the languages ordered by name for the system locale;
    // built once and shared.
    static const QList<TranscriptionLanguageOption>& supportedOptions();
    // The same list ordered for the given locale.
    static QList<TranscriptionLanguageOption> optionsSortedFor(const QLocale& locale);
    // Unknown, empty or "auto" codes give the automatic option; never fails.
    static TranscriptionLanguageOption option(const std::optional<QString>& storedCode);

    bool matches(const QString& query) const;

    friend bool operator==(const TranscriptionLanguageOption&, const TranscriptionLanguageOption&) = default;
};

}  // namespace quorvelle
