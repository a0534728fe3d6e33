#include "Services/Backend/BackendDiagnosticErrorReport.h"

#include "Support/IcuRegex.h"

#include <array>

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
// otherwise keep the name apart from its sign. Credentials in an address go, its host stays.
const std::array<Redaction, 6>& redactions() {
    const QString redacted = QStringLiteral("[redacted]");
    static const std::array<Redaction, 6> list{
        Redaction{IcuRegex(QStringLiteral("(?i)\"[A-Za-z0-9_-]*(?:token|secret|password|api[_-]?key)[A-Za-z0-9_-]*\""
                                          "\\s*:\\s*\"(?:[^\"\\\\]++|\\\\.)*+\"")),
                  redacted},
        Redaction{IcuRegex(QStringLiteral("(?i)Bearer\\s+[A-Za-z0-9._~+/\\-]+=*")), redacted},
        Redaction{IcuRegex(QStringLiteral("(?i)Basic\\s+[A-Za-z0-9+/]{6,}=*")), redacted},
        Redaction{IcuRegex(QStringLiteral("eyJ[A-Za-z0-9_-]{8,}\\.[A-Za-z0-9_-]{8,}\\.[A-Za-z0-9_-]{4,}")), redacted},
        Redaction{IcuRegex(QStringLiteral("(?i)(token|secret|password|api[_-]?key)[ \\t]*[=:][ \\t]*\\S+")), redacted},
        Redaction{IcuRegex(QStringLiteral("(?<=://)[^/\\s@]+@")), QStringLiteral("[redacted]@")},
    };
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
