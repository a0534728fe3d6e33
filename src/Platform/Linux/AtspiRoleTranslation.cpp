#include "Platform/Linux/AtspiRoleTranslation.h"

#include <QHash>

namespace quorvelle {

namespace {

// Roles whose translation does not depend on the line count.
const QHash<QString, QString>& fixedRoles() {
    static const QHash<QString, QString> table = {
        {QStringLiteral("entry"), QStringLiteral("AXTextField")},
        {QStringLiteral("password text"), QStringLiteral("AXTextField")},
        {QStringLiteral("combo box"), QStringLiteral("AXComboBox")},
        {QStringLiteral("terminal"), QStringLiteral("AXTextArea")},
        {QStringLiteral("document text"), QStringLiteral("AXTextArea")},
        {QStringLiteral("document email"), QStringLiteral("AXTextArea")},
        {QStringLiteral("document web"), QStringLiteral("AXWebArea")},
        {QStringLiteral("document frame"), QStringLiteral("AXWebArea")},
        {QStringLiteral("spin button"), QStringLiteral("AXIncrementor")},
        {QStringLiteral("panel"), QStringLiteral("AXGroup")},
        {QStringLiteral("filler"), QStringLiteral("AXGroup")},
        {QStringLiteral("section"), QStringLiteral("AXGroup")},
        {QStringLiteral("grouping"), QStringLiteral("AXGroup")},
        {QStringLiteral("form"), QStringLiteral("AXGroup")},
        {QStringLiteral("landmark"), QStringLiteral("AXGroup")},
        {QStringLiteral("scroll pane"), QStringLiteral("AXScrollArea")},
        {QStringLiteral("viewport"), QStringLiteral("AXScrollArea")},
        {QStringLiteral("frame"), QStringLiteral("AXWindow")},
        {QStringLiteral("window"), QStringLiteral("AXWindow")},
        {QStringLiteral("dialog"), QStringLiteral("AXWindow")},
        {QStringLiteral("application"), QStringLiteral("AXApplication")},
        {QStringLiteral("push button"), QStringLiteral("AXButton")},
        {QStringLiteral("toggle button"), QStringLiteral("AXCheckBox")},
        {QStringLiteral("check box"), QStringLiteral("AXCheckBox")},
        {QStringLiteral("radio button"), QStringLiteral("AXRadioButton")},
        {QStringLiteral("label"), QStringLiteral("AXStaticText")},
        {QStringLiteral("static"), QStringLiteral("AXStaticText")},
        {QStringLiteral("list"), QStringLiteral("AXList")},
        {QStringLiteral("list box"), QStringLiteral("AXList")},
        {QStringLiteral("table"), QStringLiteral("AXTable")},
        {QStringLiteral("tree table"), QStringLiteral("AXOutline")},
        {QStringLiteral("tree"), QStringLiteral("AXOutline")},
        {QStringLiteral("menu bar"), QStringLiteral("AXMenuBar")},
        {QStringLiteral("menu"), QStringLiteral("AXMenu")},
        {QStringLiteral("menu item"), QStringLiteral("AXMenuItem")},
        {QStringLiteral("tool bar"), QStringLiteral("AXToolbar")},
        {QStringLiteral("page tab list"), QStringLiteral("AXTabGroup")},
        {QStringLiteral("slider"), QStringLiteral("AXSlider")},
        {QStringLiteral("image"), QStringLiteral("AXImage")},
        {QStringLiteral("link"), QStringLiteral("AXLink")},
    };
    return table;
}

// Roles that are plain text fields: one line is a text field, several are a text area.
bool isLineDependentTextRole(const QString& roleName) {
    return roleName == QLatin1String("text") || roleName == QLatin1String("paragraph") ||
           roleName == QLatin1String("editbar");
}

}  // namespace

AXRoleDescription translateAtspiRole(const QString& roleName, bool multiLine) {
    AXRoleDescription description;
    if (isLineDependentTextRole(roleName)) {
        description.role = multiLine ? QStringLiteral("AXTextArea") : QStringLiteral("AXTextField");
        return description;
    }
    const auto found = fixedRoles().constFind(roleName);
    description.role = found == fixedRoles().constEnd() ? QStringLiteral("AXUnknown") : found.value();
    if (roleName == QLatin1String("password text")) {
        description.subrole = QStringLiteral("AXSecureTextField");
    } else if (roleName == QLatin1String("terminal")) {
        description.subrole = QString::fromLatin1(kAXTerminalSubrole);
    }
    return description;
}

AXElementFlags translateAtspiFacts(const AtspiElementFacts& facts) {
    AXElementFlags flags;
    flags.isEnabled = facts.enabled;
    flags.isEditable = facts.editable && !facts.readOnly;
    flags.isValueSettable = flags.isEditable && facts.hasEditableText;
    flags.isSelectedTextRangeSettable = facts.hasText;
    return flags;
}

}  // namespace quorvelle
