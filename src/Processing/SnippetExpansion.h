#pragma once

#include <QList>
#include <QLocale>
#include <QString>
#include <optional>

#include "Models/VoiceSnippet.h"

namespace quorvelle {

struct SnippetExpansionResult {
    QString transcript;  // the expansion when a snippet matched, else the input
    std::optional<VoiceSnippet> matchedSnippet;

    bool operator==(const SnippetExpansionResult&) const = default;
};

// The whole transcript is replaced by the expansion of the first snippet whose phrase it says.
SnippetExpansionResult expandSnippets(const QString& transcript, const QList<VoiceSnippet>& snippets,
                                      const QLocale& locale = QLocale());

}  // namespace quorvelle
