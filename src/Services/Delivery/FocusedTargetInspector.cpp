#include "Services/Delivery/FocusedTargetInspector.h"

#include "Services/Delivery/ElementHandleStorage.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"

#include "Services/Delivery/FocusedTargetTables.h"
#include "Support/CancellationError.h"
#include "Support/Keywords.h"

namespace quorvelle {

namespace {

// Terminals, toolkits without accessibility and programs with it switched off show no tree: the
// window stands for the element, and the usual rules decide (a paste candidate; terminal-like by
// the application's name). A password prompt cannot be told from the inside, so its name decides.
FocusedTargetSnapshot windowOnlySnapshot(const FocusedAppMetadata& app) {
    FocusedTargetSnapshot snapshot;
    snapshot.app = app;
    snapshot.isWindowOnly = true;
    snapshot.element.role = QString(FocusedTargetTables::unknownRole);
    snapshot.element.isEnabled = true;
    if (firstLoweredValueContaining({&app.localizedName, &app.bundleIdentifier},
                                    FocusedTargetTables::passwordPromptWindowKeywords)) {
        snapshot.element.subrole = QString(FocusedTargetTables::secureTextFieldSubrole);
    }
    return snapshot;
}

// GTK 4's terminal widget shows on the bus as a plain container named after its class, holding the
// focus but no text to read. It is a terminal all the same: the paste goes there, unread, as into a
// terminal without a tree.
bool isTerminalWithoutText(const FocusedElementMetadata& element) {
    const bool container =
        element.role == FocusedTargetTables::groupRole || element.role == FocusedTargetTables::unknownRole;
    return container && !element.isEditable && !element.supportsValueWrite && element.title &&
           element.title->contains(FocusedTargetTables::terminalWidgetKeyword, Qt::CaseInsensitive);
}

}  // namespace

FocusedTargetInspector::FocusedTargetInspector(TrustCheck isTrusted,
                                               FrontmostApplicationProvider frontmostApplicationProvider,
                                               FocusedElementSnapshotReading& focusedElementReader)
    : m_isTrusted(std::move(isTrusted)),
      m_frontmostApplicationProvider(std::move(frontmostApplicationProvider)),
      m_focusedElementReader(focusedElementReader) {}

FocusedTargetSnapshot FocusedTargetInspector::inspect() {
    return inspect(nullptr);
}

FocusedTargetSnapshot FocusedTargetInspector::reinspect(const FocusedTargetSnapshot& earlier) {
    const AccessibilityElementRef element = elementOf(earlier.elementHandle);
    return inspect(element.get());
}

QCoro::Task<void> FocusedTargetInspector::awaitFrontApplication(std::stop_token stopToken) {
    try {
        if (!m_isTrusted || !m_isTrusted() || !m_frontmostApplicationProvider) co_return;
        const std::optional<FocusedAppMetadata> app = m_frontmostApplicationProvider();
        if (app && !app->isOwnProcess())
            co_await m_focusedElementReader.awaitApplication(app->processIdentifier, stopToken);
    } catch (const CancellationError&) {
        throw;
    } catch (...) {
        // The bus went away or the application stopped answering: the next look says so.
    }
}

bool FocusedTargetInspector::answers(const FocusedTargetSnapshot& target) {
    const AccessibilityElementRef element = elementOf(target.elementHandle);
    return !element || m_focusedElementReader.answers(*element);
}

FocusedTargetSnapshot FocusedTargetInspector::inspect(const AccessibilityElement* earlier) {
    if (!m_isTrusted || !m_isTrusted()) {
        throw FocusedTargetInspectionError(FocusedTargetInspectionError::Case::accessibilityPermissionMissing);
    }
    const std::optional<FocusedAppMetadata> app =
        m_frontmostApplicationProvider ? m_frontmostApplicationProvider() : std::nullopt;
    if (!app) throw FocusedTargetInspectionError(FocusedTargetInspectionError::Case::frontmostApplicationUnavailable);
    // Our own window in front (the dashboard, the tray panel): nothing to write into, and a question
    // to the bus about it would wait on this very thread.
    if (app->isOwnProcess()) throw FocusedTargetInspectionError::ownWindowInFront();

    // The element is resolved once and its metadata read from that same element: a second lookup
    // could land on another field (focus moves), pairing one field's handle with another's metadata.
    return snapshotOf(*app, m_focusedElementReader.readFocusedElement(*app, earlier));
}

PasswordFieldLook FocusedTargetInspector::lookForPasswordField(const FocusedTargetSnapshot* earlier) {
    PasswordFieldLook look;
    try {
        if (!m_isTrusted || !m_isTrusted()) {
            throw FocusedTargetInspectionError(FocusedTargetInspectionError::Case::accessibilityPermissionMissing);
        }
        look.frontWindow = m_frontmostApplicationProvider ? m_frontmostApplicationProvider() : std::nullopt;
        if (!look.frontWindow) {
            throw FocusedTargetInspectionError(FocusedTargetInspectionError::Case::frontmostApplicationUnavailable);
        }
        const AccessibilityElementRef element = earlier ? elementOf(earlier->elementHandle) : nullptr;
        FocusedElementReading reading = m_focusedElementReader.readFocusedSecurity(*look.frontWindow, element.get());
        look.claimsFocus = reading.element && reading.metadata.isFocused.value_or(false);
        look.focused = snapshotOf(*look.frontWindow, std::move(reading));
    } catch (...) {
        look.failure = std::current_exception();
    }
    return look;
}

FocusedTargetSnapshot FocusedTargetInspector::snapshotOf(const FocusedAppMetadata& app, FocusedElementReading reading) {
    if (!reading.element) {
        FocusedTargetSnapshot window = windowOnlySnapshot(app);
        window.isApplicationArriving = reading.isApplicationArriving;
        return window;
    }
    const RawFocusedElementMetadata& raw = reading.metadata;

    FocusedElementMetadata element;
    element.role = raw.role;
    element.subrole = raw.subrole;
    element.title = raw.title;
    element.identifier = raw.identifier;
    element.frame = raw.frame;
    element.size = raw.size;
    element.isEnabled = raw.isEnabled.value_or(true);
    element.isEditable = raw.isEditable.has_value() ? *raw.isEditable : raw.isWritableTextCandidate();
    element.supportsValueWrite = raw.isValueSettable;
    element.supportsSelectedTextRangeWrite = raw.isSelectedTextRangeSettable;
    if (reading.isFocused && isTerminalWithoutText(element)) {
        element.role = QString(FocusedTargetTables::textAreaRole);
        element.subrole = QString(FocusedTargetTables::terminalSubrole);
    }

    FocusedTargetSnapshot snapshot;
    snapshot.app = app;
    snapshot.element = element;
    snapshot.elementHandle = makeElementHandle(std::move(reading.element));
    snapshot.isFocusedElement = reading.isFocused;
    return snapshot;
}

}  // namespace quorvelle
