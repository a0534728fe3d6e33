#pragma once

#include <QString>
#include <array>

namespace quorvelle {

struct SpokenPunctuationRule {
    const char16_t* phrase;  // a regular expression, matched as a whole word, ignoring case
    const char16_t* replacementTemplate;
};

// Applied in this order: two-word phrases before the single words they contain.
inline constexpr std::array<SpokenPunctuationRule, 21> kSpokenPunctuationRules{{
    {u"soru işareti", u"?"},
    {u"question mark", u"?"},
    {u"iki nokta", u":"},
    {u"noktalı virgül", u";"},
    {u"at işareti", u"@"},
    {u"virgül", u","},
    {u"comma", u","},
    {u"nokta", u"."},
    {u"period", u"."},
    {u"ünlem", u"!"},
    {u"exclamation mark", u"!"},
    {u"colon", u":"},
    {u"semicolon", u";"},
    {u"yeni satır", u"\n"},
    {u"new line", u"\n"},
    {u"yüzde\\s+([0-9]+)", u"%$1"},
    {u"percent\\s+([0-9]+)", u"$1%"},
    {u"at sign", u"@"},
    {u"slash", u"/"},
    {u"tire", u"-"},
    {u"dash", u"-"},
}};

// Spoken punctuation words become marks; , . : ; ! ? are pulled to the word before them and get a
// space after them, except between two letters or digits (3.5, 10:30, example.com stay whole).
QString applySpokenPunctuation(const QString& text);

}  // namespace quorvelle
