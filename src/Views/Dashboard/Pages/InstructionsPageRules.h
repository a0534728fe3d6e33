#pragma once

#include "Views/Dashboard/Components/InstructionPreset.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtQmlIntegration>

namespace quorvelle {

// The instructions page's rules: the 2000-character limit of the editor, counted in
// user-perceived characters, and the quick presets with their texts. QML reads it as the
// `InstructionsPageRules` singleton, presets by their raw values; every function is pure.
class InstructionsPageRules : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    static constexpr qsizetype characterLimit = 2000;

    explicit InstructionsPageRules(QObject* parent = nullptr);

    // The text's first 2000 characters: whatever was typed or pasted, the tail goes.
    Q_INVOKABLE static QString limited(const QString& text);
    Q_INVOKABLE static int characterCount(const QString& text);
    // "57 / 2000 characters", in Turkish "57 / 2000 karakter".
    Q_INVOKABLE static QString counterText(const QString& languageCode, const QString& draft);

    // The raw values, in the order of the buttons.
    Q_INVOKABLE static QStringList presetNames();
    // An unknown raw value gives "".
    Q_INVOKABLE static QString presetText(const QString& preset);
    Q_INVOKABLE static QString presetTitle(const QString& languageCode, const QString& preset);
    Q_INVOKABLE static QString presetDetail(const QString& languageCode, const QString& preset);
    // The raw value of the preset whose text the draft is, compared exactly (no trimming, no case
    // folding); "" when none is.
    Q_INVOKABLE static QString selectedPreset(const QString& draft);
};

}  // namespace quorvelle
