#include "Services/Delivery/FocusedTargetSnapshot.h"

#include <QCoreApplication>

#include <algorithm>

#include "Services/Delivery/FocusedTargetTables.h"
#include "Services/Delivery/TerminalDetection.h"
#include "Support/Keywords.h"

namespace quorvelle {
namespace {

template <typename Table>
bool isIn(const std::optional<QString>& value, const Table& table) {
    return value && std::find(table.begin(), table.end(), *value) != table.end();
}

}  // namespace

bool FocusedAppMetadata::isSameApplication(const FocusedAppMetadata& other) const {
    if (processIdentifier != other.processIdentifier) return false;
    return processIdentifier > 0 || windowIdentifier == other.windowIdentifier;
}

bool FocusedAppMetadata::isOwnProcess() const {
    return processIdentifier > 0 && processIdentifier == QCoreApplication::applicationPid();
}

bool FocusedElementMetadata::isSecure() const {
    return subrole && *subrole == FocusedTargetTables::secureTextFieldSubrole;
}

bool FocusedElementMetadata::hasTextInputRole() const {
    return isIn(role, FocusedTargetTables::textInputRoles) ||
           (subrole && *subrole == FocusedTargetTables::searchFieldSubrole);
}

std::optional<SessionBlockReason> FocusedElementMetadata::blockReason() const {
    if (isSecure()) return SessionBlockReason::secureField;
    const bool settable = supportsValueWrite || supportsSelectedTextRangeWrite;
    if (!isEnabled || !settable || !(hasTextInputRole() || isEditable)) {
        return SessionBlockReason::noWritableTarget;
    }
    return std::nullopt;
}

bool FocusedElementMetadata::isClipboardPasteCandidate() const {
    const bool textLike = hasTextInputRole() || isEditable || isIn(role, FocusedTargetTables::webContentRoles);
    return isEnabled && textLike && !isSecure();
}

bool FocusedElementMetadata::supportsDirectValueWrite() const {
    return isEnabled && !isSecure() && supportsValueWrite && (hasTextInputRole() || isEditable);
}

bool FocusedTargetSnapshot::prefersClipboardPaste() const {
    return firstLoweredValueContaining({&app.localizedName, &app.bundleIdentifier},
                                       FocusedTargetTables::clipboardPasteAppKeywords)
        .has_value();
}

std::optional<QString> FocusedTargetSnapshot::terminalLikeReason() const {
    return quorvelle::terminalLikeReason(*this);
}

QString FocusedTargetSnapshot::targetDescription() const {
    const QString appPart = app.localizedName.value_or(app.bundleIdentifier.value_or(QStringLiteral("Unknown App")));
    const QString elementPart = element.subrole.value_or(element.role.value_or(QStringLiteral("AXUnknown")));
    return appPart + QStringLiteral(" \u2022 ") + elementPart;
}

}  // namespace quorvelle
