#include "Services/Backend/BackendDiagnosticErrorReport.h"

#include "Support/IcuRegex.h"

#include <array>

namespace quorvelle {

namespace {

// Compiled once; matching never changes a pattern, so threads may share them. The bearer scheme is
// matched in any case (HTTP treats it so), with every character a bearer token may hold (base64's
// "+", "/" and padding too), and assignments with blanks around "=", so a credential written either
// way still never reaches the report.
const std::array<IcuRegex, 3>& redactionPatterns() {
    static const std::array<IcuRegex, 3> patterns{
        IcuRegex(QStringLiteral("(?i)Bearer\\s+[A-Za-z0-9._~+/\\-]+=*")),
        IcuRegex(QStringLiteral("eyJ[A-Za-z0-9_-]{8,}\\.[A-Za-z0-9_-]{8,}\\.[A-Za-z0-9_-]{4,}")),
        IcuRegex(QStringLiteral("(?i)(token|secret|password|api[_-]?key)[ \\t]*=[ \\t]*\\S+")),
    };
    return patterns;
}

}  // namespace

QString redactedDiagnosticText(const QString& text) {
    QString current = text;
    for (const IcuRegex& pattern : redactionPatterns())
        current = pattern.replaceAll(current, QStringLiteral("[redacted]"));
    return current;
}

}  // namespace quorvelle
