#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

// How a transcript and a snippet phrase are compared: loosely, ignoring case, accents, punctuation
// at the ends, spacing and a plural on the last word.
namespace quorvelle::SnippetMatching {

QString normalized(const QString& text, const QLocale& locale = QLocale());

// The normalised text with its last word made singular, or none when that changes nothing.
std::optional<QString> singularVariant(const QString& normalizedText);

// The normalised text and its singular variant; empty when the text normalises to nothing.
QStringList keys(const QString& text, const QLocale& locale = QLocale());

}  // namespace quorvelle::SnippetMatching
