#include "Services/Storage/JsonObjectMembers.h"

namespace quorvelle {

namespace {

qsizetype skipSpace(QByteArrayView text, qsizetype at) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r'))
        ++at;
    return at;
}

// Just past the string whose opening quote is at `at`; -1 when it never closes.
qsizetype stringEnd(QByteArrayView text, qsizetype at) {
    for (++at; at < text.size(); ++at) {
        if (text[at] == '\\')
            ++at;
        else if (text[at] == '"')
            return at + 1;
    }
    return -1;
}

// Just past the value that begins at `at`: a string, an object or array by its brackets (brackets
// inside strings skipped), or a bare word up to the next comma or closing brace. -1 when it never ends.
qsizetype valueEnd(QByteArrayView text, qsizetype at) {
    int depth = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c == '"') {
            at = stringEnd(text, at);
            if (at < 0 || depth == 0) return at;
            continue;
        }
        if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            if (depth == 0) return at;
            if (--depth == 0) return at + 1;
        } else if (c == ',' && depth == 0) {
            return at;
        }
        ++at;
    }
    return -1;
}

}  // namespace

std::optional<QList<JsonObjectMember>> splitJsonObjectMembers(QByteArrayView text, qsizetype maximumCount) {
    qsizetype at = skipSpace(text, 0);
    if (at == text.size() || text[at] != '{') return std::nullopt;
    at = skipSpace(text, at + 1);
    QList<JsonObjectMember> members;
    while (at < text.size() && text[at] != '}') {
        if (text[at] != '"' || members.size() == maximumCount) return std::nullopt;
        const qsizetype start = at;
        at = stringEnd(text, at);
        if (at < 0) return std::nullopt;
        const QByteArrayView key = text.sliced(start, at - start);
        at = skipSpace(text, at);
        if (at == text.size() || text[at] != ':') return std::nullopt;
        at = skipSpace(text, at + 1);
        const qsizetype end = valueEnd(text, at);
        if (end <= at) return std::nullopt;
        members.append({key, text.sliced(start, end - start)});
        at = skipSpace(text, end);
        if (at < text.size() && text[at] == ',') {
            at = skipSpace(text, at + 1);
            if (at == text.size() || text[at] != '"') return std::nullopt;
        } else if (at == text.size() || text[at] != '}') {
            return std::nullopt;
        }
    }
    if (at == text.size() || skipSpace(text, at + 1) != text.size()) return std::nullopt;
    return members;
}

}  // namespace quorvelle
