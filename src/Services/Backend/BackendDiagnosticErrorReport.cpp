#include "Services/Backend/BackendDiagnosticErrorReport.h"

#include "Support/IcuRegex.h"

#include <QDir>

#include <vector>

namespace quorvelle {

namespace {

struct Redaction {
    IcuRegex pattern;
    QString replacement;
};

// Compiled once; matching never changes a pattern, so threads may share them. The schemes are
// matched in any case (HTTP treats them so), a bearer token with every character it may hold
// (base64's "+", "/" and padding too), and named secrets written as JSON members, as assignments
// or as "name: value" lines, with blanks around the sign. JSON comes first: its quotes would
// otherwise keep the name apart from its sign. Credentials in an address go, its host stays; then
// e-mail addresses, and home folders, which name the user: their own as "~".
const std::vector<Redaction>& redactions() {
    static const std::vector<Redaction> list = [] {
        const QString redacted = QStringLiteral("[redacted]");
        const QString secretName = QStringLiteral("(?:token|secret|password|passwd|pwd|api[_-]?key)");
        std::vector<Redaction> made;
        made.push_back(
            {IcuRegex(QStringLiteral("(?i)\"[A-Za-z0-9_-]*%1[A-Za-z0-9_-]*\"\\s*:\\s*\"(?:[^\"\\\\]++|\\\\.)*+\"")
                          .arg(secretName)),
             redacted});
        made.push_back({IcuRegex(QStringLiteral("(?i)Bearer\\s+[A-Za-z0-9._~+/\\-]+=*")), redacted});
        made.push_back({IcuRegex(QStringLiteral("(?i)Basic\\s+[A-Za-z0-9+/]{6,}=*")), redacted});
        made.push_back(
            {IcuRegex(QStringLiteral("eyJ[A-Za-z0-9_-]{8,}\\.[A-Za-z0-9_-]{8,}\\.[A-Za-z0-9_-]{4,}")), redacted});
        made.push_back({IcuRegex(QStringLiteral("(?i)%1[ \\t]*[=:][ \\t]*\\S+").arg(secretName)), redacted});
        made.push_back({IcuRegex(QStringLiteral("(?<=://)[^/\\s@]+@")), QStringLiteral("[redacted]@")});
        made.push_back({IcuRegex(QStringLiteral("[A-Za-z0-9._%+-]+@[A-Za-z0-9-]+(?:\\.[A-Za-z0-9-]+)*\\.[A-Za-z]{2,}")),
                        redacted});
        const QString home = QDir::homePath();
        if (home.size() > 1)
            made.push_back({IcuRegex(QStringLiteral("\\Q%1\\E(?![^/\\s])").arg(home)), QStringLiteral("~")});
        made.push_back({IcuRegex(QStringLiteral("/home/[^/\\s]+")), QStringLiteral("/home/[redacted]")});
        return made;
    }();
    return list;
}

}  // namespace

QString redactedDiagnosticText(const QString& text) {
    QString current = text;
    for (const Redaction& redaction : redactions())
        current = redaction.pattern.replaceAll(current, redaction.replacement);
    return current;
}

}  // namespace quorvelle
