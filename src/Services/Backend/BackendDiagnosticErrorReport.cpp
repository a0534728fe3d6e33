#include "Services/Backend/BackendDiagnosticErrorReport.h"

#include "Support/IcuRegex.h"

#include <QDir>

#include <algorithm>
#include <utility>
#include <vector>

namespace quorvelle {

namespace {

struct Redaction {
    IcuRegex pattern;
    QString replacement;
};

// Compiled once; matching never changes a pattern, so threads may share them. The schemes are
// matched in any case (HTTP treats them so), a bearer token with every character it may hold
// (base64's "+", "/" and padding too). Every pattern runs in time linear in the text: lengths are
// bounded, or a quantifier is possessive where its run can end only one way.
std::vector<Redaction> compiled(const std::vector<std::pair<QString, QString>>& patterns) {
    std::vector<Redaction> made;
    for (const auto& [pattern, replacement] : patterns)
        made.push_back({IcuRegex(pattern), replacement});
    return made;
}

const QString kRedacted = QStringLiteral("[redacted]");
const QString kSecretName = QStringLiteral("(?:token|secret|password|passwd|pwd|api[_-]?key)");

// Named secrets as JSON members come first: their quotes would otherwise keep the name apart from
// its sign.
const std::vector<Redaction>& credentialsBeforeWebTokens() {
    static const std::vector<Redaction> list = compiled({
        {QStringLiteral("(?i)\"[A-Za-z0-9_-]{0,40}%1[A-Za-z0-9_-]{0,40}\"\\s*+:\\s*+\"(?:[^\"\\\\]++|\\\\.)*+\"")
             .arg(kSecretName),
         kRedacted},
        {QStringLiteral("(?i)Bearer\\s++[A-Za-z0-9._~+/\\-]++=*+"), kRedacted},
        {QStringLiteral("(?i)Basic\\s++[A-Za-z0-9+/]{6,}+=*+"), kRedacted},
    });
    return list;
}

// Named secrets as "name: value" lines (the rest of the line goes: a password may hold blanks), as
// assignments, or as a name and a value with a digit or an underscore ("refresh token rt_...").
// Credentials in an address go, its host stays; then e-mail addresses (read from the start of
// their local part, so a long run of letters is read once), and home folders, which name the
// user: their own as "~".
const std::vector<Redaction>& credentialsAfterWebTokens() {
    static const std::vector<Redaction> list = [] {
        std::vector<std::pair<QString, QString>> patterns{
            {QStringLiteral("(?i)%1[ \\t]*+:[ \\t]*+\\S[^\\r\\n]*+").arg(kSecretName), kRedacted},
            {QStringLiteral("(?i)%1[ \\t]*+=[ \\t]*+\\S++").arg(kSecretName), kRedacted},
            {QStringLiteral("(?i)(%1[ \\t]++)(?=[A-Za-z0-9._~+/=-]*[0-9_])[A-Za-z0-9._~+/=-]{4,}+").arg(kSecretName),
             QStringLiteral("$1") + kRedacted},
            {QStringLiteral("(?<=://)[^/\\s@]++@"), QStringLiteral("[redacted]@")},
            {QStringLiteral("(?<![A-Za-z0-9._%+-])[A-Za-z0-9._%+-]{1,64}+@[A-Za-z0-9-]{1,63}+(?:\\.[A-Za-z0-9-]{1,63}+)"
                            "{0,8}\\.[A-Za-z]{2,24}"),
             kRedacted},
        };
        const QString home = QDir::homePath();
        if (home.size() > 1)
            patterns.emplace_back(QStringLiteral("\\Q%1\\E(?![^/\\s])").arg(home), QStringLiteral("~"));
        patterns.emplace_back(QStringLiteral("/home/[^/\\s]++"), QStringLiteral("/home/[redacted]"));
        return compiled(patterns);
    }();
    return list;
}

// A search ICU gives up on (a run of about a million characters) may hide a credential: the
// text is cut there rather than passed on.
QString applied(const std::vector<Redaction>& list, QString text) {
    for (const Redaction& redaction : list)
        text = redaction.pattern.replaceAllOrCut(text, redaction.replacement, kRedacted);
    return text;
}

bool isBase64Url(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_';
}

qsizetype endOfBase64Url(const QString& text, qsizetype from) {
    while (from < text.size() && isBase64Url(text.at(from)))
        ++from;
    return from;
}

// JSON web tokens: "eyJ" and 8 or more base64url characters, a dot, 8 or more, a dot, and a
// signature that may be short or, unsigned, empty. Found in one pass: when a token cannot start
// at one "eyJ", it cannot start at a later one of the same segment either (that one ends at the
// same place, with less before it), so the search goes on after the segment.
QString withoutWebTokens(const QString& text) {
    QString out;
    qsizetype copied = 0;
    for (qsizetype start = text.indexOf(u"eyJ"); start >= 0;) {
        const qsizetype header = endOfBase64Url(text, start);
        const bool headerFits = header - start >= 11 && header < text.size() && text.at(header) == u'.';
        const qsizetype payload = headerFits ? endOfBase64Url(text, header + 1) : header;
        if (!headerFits || payload - header - 1 < 8 || payload >= text.size() || text.at(payload) != u'.') {
            start = text.indexOf(u"eyJ", headerFits ? header + 1 : std::max(header, start + 1));
            continue;
        }
        const qsizetype end = endOfBase64Url(text, payload + 1);
        out += QStringView(text).mid(copied, start - copied);
        out += kRedacted;
        copied = end;
        start = text.indexOf(u"eyJ", end);
    }
    if (copied == 0) return text;
    out += QStringView(text).mid(copied);
    return out;
}

}  // namespace

QString redactedDiagnosticText(const QString& text) {
    return applied(credentialsAfterWebTokens(), withoutWebTokens(applied(credentialsBeforeWebTokens(), text)));
}

}  // namespace quorvelle
