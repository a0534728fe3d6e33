#pragma once

#include <QByteArrayView>
#include <QList>

#include <optional>

namespace quorvelle {

// One member of a JSON object's text: its key, quotes included, and its whole text, from the key's
// opening quote to the value's end.
struct JsonObjectMember {
    QByteArrayView key;
    QByteArrayView text;
};

// The members of a JSON object's text, found without decoding anything: a file too large to decode
// whole can be read without its largest values. Nothing when the text is no object or has more than
// `maximumCount` members; the members themselves are checked only when decoded.
std::optional<QList<JsonObjectMember>> splitJsonObjectMembers(QByteArrayView text, qsizetype maximumCount);

}  // namespace quorvelle
