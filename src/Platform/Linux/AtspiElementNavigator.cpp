#include "Platform/Linux/AtspiElementNavigator.h"

#include "Platform/Linux/AtspiCaretTextHolder.h"
#include "Platform/Linux/AtspiConnection.h"
#include "Platform/Linux/AtspiElementKind.h"
#include "Platform/Linux/AtspiFocusTracker.h"
#include "Platform/Linux/AtspiRoleTranslation.h"
#include "Platform/Linux/GObjectRef.h"
#include "Platform/Linux/ProcessAncestry.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"

#include <atspi/atspi.h>

#include <QCoreApplication>
#include <QFile>
#include <QStack>

namespace quorvelle {

namespace {

using AtspiElementKind::hasState;
using AtspiElementKind::isFocusWaypoint;
using AtspiElementKind::isSheet;
using AtspiElementKind::takesText;

const AtspiElement& atspiElement(const AccessibilityElement& element) {
    return static_cast<const AtspiElement&>(element);
}

// An application that stops answering would stall every following call for the full timeout.
void throwIfUnresponsive(const AtspiCallError& error) {
    if (error.timedOut()) {
        throw FocusedTargetInspectionError(FocusedTargetInspectionError::Case::focusedElementUnavailable);
    }
}

std::optional<QString> nonEmpty(gchar* owned) {
    if (!owned) return std::nullopt;
    QString text = QString::fromUtf8(owned);
    g_free(owned);
    if (text.isEmpty()) return std::nullopt;
    return text;
}

QString busNameOf(AtspiAccessible* accessible) {
    const AtspiApplication* app = ATSPI_OBJECT(accessible)->app;
    return QString::fromUtf8(app && app->bus_name ? app->bus_name : "");
}

bool isOwnProcess(qint32 processIdentifier) {
    return processIdentifier == QCoreApplication::applicationPid();
}

// The application object tops every window; text never goes there, and above it is the desktop.
bool isApplicationRoot(AtspiAccessible* accessible) {
    return g_strcmp0(ATSPI_OBJECT(accessible)->path, "/org/a11y/atspi/accessible/root") == 0;
}

bool isDocument(const AtspiElement& element) {
    AtspiCallError error;
    const auto role = AtspiRole(element.role(error.slot()));
    return !error.failed() && (role == ATSPI_ROLE_DOCUMENT_WEB || role == ATSPI_ROLE_DOCUMENT_FRAME);
}

// A word processor's body, which makes its paragraphs up as they show (Writer's).
bool isManagingTextDocument(const AtspiElement& element) {
    if (!hasState(element, ATSPI_STATE_MANAGES_DESCENDANTS)) return false;
    AtspiCallError error;
    return AtspiRole(element.role(error.slot())) == ATSPI_ROLE_DOCUMENT_TEXT && !error.failed();
}

bool implements(AtspiAccessible* accessible, const char* interfaceName) {
    GArray* names = atspi_accessible_get_interfaces(accessible);
    if (!names) return false;
    bool found = false;
    for (guint i = 0; i < names->len && !found; ++i) {
        found = g_strcmp0(g_array_index(names, gchar*, i), interfaceName) == 0;
    }
    for (guint i = 0; i < names->len; ++i)
        g_free(g_array_index(names, gchar*, i));
    g_array_free(names, TRUE);
    return found;
}

// GTK 4 puts its application on the accessibility bus a moment after its first window shows (GTK 3's
// bridge, loaded only where accessibility is on, likewise): until then its window shows no tree, and
// a password entry focused from the start cannot be seen. Told by the libraries the process mapped,
// which every GTK 3 process does, also one that never joins the bus.
bool registersLate(qint32 processIdentifier) {
    if (processIdentifier <= 0) return false;
    QFile maps(QStringLiteral("/proc/%1/maps").arg(processIdentifier));
    if (!maps.open(QIODevice::ReadOnly)) return false;
    const QByteArray mapped = maps.readAll();
    return mapped.contains("/libgtk-4.so") || mapped.contains("/libatk-bridge-2.0.so");
}

}  // namespace

AtspiElementNavigator::AtspiElementNavigator()
    : m_arrivals(
          {[this](qint32 processIdentifier) { return application(processIdentifier) != nullptr; }, &registersLate,
           [](qint32 processIdentifier) -> std::optional<quint64> {
               const std::optional<ProcessRecord> record = ProcessAncestry::readProcessRecord(processIdentifier);
               return record ? std::optional(record->startTime) : std::nullopt;
           },
           &sleepFor},
          kApplicationArrivalWait) {
    AtspiFocusTracker::start();
}

AtspiElementNavigator::KnownApplication* AtspiElementNavigator::knownApplication(AtspiAccessible* accessible) {
    const QString busName = busNameOf(accessible);
    auto known = m_applications.find(busName);
    if (known != m_applications.end()) return &known.value();
    // The bus daemon answers this one, so a hung application cannot stall the lookup.
    AtspiCallError error;
    const guint pid = atspi_accessible_get_process_id(accessible, error.slot());
    if (error.failed()) return nullptr;
    return &m_applications.insert(busName, KnownApplication{static_cast<qint32>(pid), std::nullopt, true}).value();
}

AtspiOffsetUnit AtspiElementNavigator::offsetUnitOf(KnownApplication& known, AtspiAccessible* accessible) {
    if (known.offsetUnit) return *known.offsetUnit;
    // The toolkit is told by the application's root object (Qt answers nowhere else); a helper
    // process that registered no application tells it, if at all, on any object.
    const AtspiApplication* owner = ATSPI_OBJECT(accessible)->app;
    if (owner && owner->root) accessible = owner->root;
    AtspiCallError error;
    gchar* toolkitName = atspi_accessible_get_toolkit_name(accessible, error.slot());
    throwIfUnresponsive(error);
    gchar* toolkitVersion = atspi_accessible_get_toolkit_version(accessible, error.slot());
    throwIfUnresponsive(error);
    const QString name = QString::fromUtf8(toolkitName ? toolkitName : "");
    known.offsetUnit = offsetUnitForToolkit(name);
    known.reportsShowingBelowWindows = !(name.compare(QLatin1String("GTK"), Qt::CaseInsensitive) == 0 &&
                                         QByteArray(toolkitVersion ? toolkitVersion : "").startsWith("4."));
    known.carriesOutTextWrites = name.compare(QLatin1String("Gecko"), Qt::CaseInsensitive) != 0;
    g_free(toolkitName);
    g_free(toolkitVersion);
    return *known.offsetUnit;
}

bool AtspiElementNavigator::carriesOutTextWrites(AtspiAccessible* accessible) const {
    const auto known = m_applications.constFind(busNameOf(accessible));
    return known == m_applications.cend() || known->carriesOutTextWrites;
}

AtspiFocusTracker::Membership AtspiElementNavigator::membershipOf(qint32 processIdentifier) {
    return [this, processIdentifier](AtspiAccessible* accessible) -> std::optional<AtspiFocusTracker::ApplicationPart> {
        KnownApplication* known = knownApplication(accessible);
        // Our own objects are never part of another application (one that started us is our
        // ancestor), and asking them anything would wait on this very thread.
        if (!known || isOwnProcess(known->processIdentifier) ||
            !ProcessAncestry::isPartOfApplication(processIdentifier, known->processIdentifier)) {
            return std::nullopt;
        }
        const bool ownsWindow = known->processIdentifier == processIdentifier;
        // Finding the window's application on the desktop makes its root object known.
        if (ownsWindow && !known->offsetUnit) {
            application(processIdentifier);
            known = knownApplication(accessible);
            if (!known) return std::nullopt;
        }
        const AtspiOffsetUnit unit = offsetUnitOf(*known, accessible);
        return AtspiFocusTracker::ApplicationPart{unit, ownsWindow, known->reportsShowingBelowWindows};
    };
}

std::shared_ptr<AtspiElement> AtspiElementNavigator::application(qint32 processIdentifier) {
    // Our own tree could only answer once this thread is free again.
    if (isOwnProcess(processIdentifier)) return nullptr;
    if (!AtspiConnection::ensureInitialised()) {
        throw FocusedTargetInspectionError(FocusedTargetInspectionError::Case::accessibilityPermissionMissing);
    }
    AtspiAccessible* desktop = atspi_get_desktop(0);
    if (!desktop) {
        throw FocusedTargetInspectionError(FocusedTargetInspectionError::Case::accessibilityPermissionMissing);
    }
    const std::shared_ptr<AtspiElement> desktopElement = adoptAtspiElement(desktop, AtspiOffsetUnit::codePoints);
    AtspiCallError error;
    const gint count = atspi_accessible_get_child_count(desktop, error.slot());
    for (gint index = 0; index < count; ++index) {
        const auto app =
            adoptAtspiElement(atspi_accessible_get_child_at_index(desktop, index, error.slot()), AtspiOffsetUnit{});
        if (!app) continue;
        KnownApplication* known = knownApplication(app->accessible());
        if (!known || known->processIdentifier != processIdentifier) continue;
        const AtspiOffsetUnit unit = offsetUnitOf(*known, app->accessible());
        return adoptAtspiElement(static_cast<AtspiAccessible*>(g_object_ref(app->accessible())), unit);
    }
    return nullptr;
}

bool AtspiElementNavigator::hasApplication(qint32 processIdentifier) {
    const std::shared_ptr<AtspiElement> app = application(processIdentifier);
    if (!app) return false;
    // GTK 4 shows no focused object while the hot key's grab holds the keyboard, and tells nothing of
    // the focus it has until the focus first moves: where not even the focus events named its field,
    // its window stands for it, and the field is looked for again when the words are delivered.
    return m_applications.value(busNameOf(app->accessible())).reportsShowingBelowWindows;
}

bool AtspiElementNavigator::isApplicationArriving(qint32 processIdentifier) {
    return m_arrivals.mayArrive(processIdentifier);
}

QCoro::Task<void> AtspiElementNavigator::awaitApplication(qint32 processIdentifier, std::stop_token stopToken) {
    return m_arrivals.await(processIdentifier, std::move(stopToken));
}

QList<std::shared_ptr<AtspiElement>> AtspiElementNavigator::childElements(const AtspiElement& element) {
    QList<std::shared_ptr<AtspiElement>> result;
    AtspiCallError error;
    const gint count = atspi_accessible_get_child_count(element.accessible(), error.slot());
    throwIfUnresponsive(error);
    // Each child is a call of its own; a container may claim millions (a spreadsheet's cells).
    const gint limit = qMin(count, static_cast<gint>(kMaximumFocusSearchCount));
    for (gint index = 0; index < limit; ++index) {
        AtspiAccessible* child = atspi_accessible_get_child_at_index(element.accessible(), index, error.slot());
        throwIfUnresponsive(error);
        if (auto adopted = adoptAtspiElement(child, element.offsetUnit())) result.append(std::move(adopted));
    }
    return result;
}

QList<std::shared_ptr<AtspiElement>> AtspiElementNavigator::windowsActiveFirst(const AtspiElement& application) {
    QList<std::shared_ptr<AtspiElement>> active;
    QList<std::shared_ptr<AtspiElement>> others;
    for (auto& window : childElements(application)) {
        (hasState(*window, ATSPI_STATE_ACTIVE) ? active : others).append(window);
    }
    return active + others;
}

AccessibilityElementRef AtspiElementNavigator::focusedElement(qint32 processIdentifier) {
    if (!AtspiConnection::ensureInitialised()) {
        throw FocusedTargetInspectionError(FocusedTargetInspectionError::Case::accessibilityPermissionMissing);
    }
    // The focus events name the object and its application: when that application is the window's
    // (or a helper process of it), the desktop need not be searched.
    const AtspiFocusTracker::Membership belongs = membershipOf(processIdentifier);
    const auto lookInside = [&](const std::shared_ptr<AtspiElement>& view) {
        return focusInsideEmbeddedContent(view, belongs);
    };
    const auto searchWindow = [this](const std::shared_ptr<AtspiElement>& window) { return focusInWindow(window); };
    if (auto tracked = trackedFocus(belongs, lookInside, searchWindow, std::chrono::milliseconds(0))) return tracked;
    const std::shared_ptr<AtspiElement> app = application(processIdentifier);
    if (!app) return nullptr;
    const bool showingReported = m_applications.value(busNameOf(app->accessible())).reportsShowingBelowWindows;
    // Focus events may not have arrived (or came before we listened): walk the windows instead, the
    // active window first.
    const WindowWalk found = walk(windowsActiveFirst(*app), showingReported);
    // Qt 5 leaves `focused` on every object that ever had the focus (a window of tabbed documents
    // holds a dozen: hidden tabs, status-bar buttons): the one that takes text and shows is the one
    // the user types into; only without such one does the first claim stand.
    if (found.focusedText) return found.focusedText;
    if (found.firstClaim) return found.firstClaim;
    // The field may have given up its focused state to the hot key's grab while we walked: its loss
    // names it. GTK 4, which then shows no focus at all, tells it a moment after the press.
    const auto wait = showingReported ? std::chrono::milliseconds(0) : kGrabFocusLossWait;
    if (!found.caretParagraph) return trackedFocus(belongs, {}, {}, wait);
    // Writer started before us names nothing but its root pane, if anything: the caret tells.
    try {
        if (auto named = trackedFocus(belongs, {}, {}, wait)) return named;
    } catch (const FocusedTargetInspectionError&) {
    }
    return found.caretParagraph;
}

void AtspiElementNavigator::learnFocus(qint32 processIdentifier) {
    try {
        const std::shared_ptr<AtspiElement> app = application(processIdentifier);
        if (!app) return;
        const bool showingReported = m_applications.value(busNameOf(app->accessible())).reportsShowingBelowWindows;
        const WindowWalk found = walk(windowsActiveFirst(*app), showingReported);
        if (const auto& focused = found.focusedText ? found.focusedText : found.firstClaim)
            AtspiFocusTracker::learnFocus(focused->accessible());
    } catch (const FocusedTargetInspectionError&) {
        // Unreachable or not answering: the focus events alone will tell.
    }
}

AtspiElementNavigator::WindowWalk AtspiElementNavigator::walk(const QList<std::shared_ptr<AtspiElement>>& windows,
                                                              bool showingReported) {
    WindowWalk found;
    // Each element with whether its window is active; a window's subtree is walked before the next's.
    QStack<std::pair<std::shared_ptr<AtspiElement>, bool>> pending;
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        pending.push({*it, hasState(**it, ATSPI_STATE_ACTIVE)});
    int visited = 0;
    int textDocuments = 0;
    bool caretInActiveWindow = false;
    while (!pending.isEmpty() && visited < kMaximumFocusSearchCount) {
        const auto [element, inActiveWindow] = pending.pop();
        ++visited;
        const bool shown =
            hasState(*element, ATSPI_STATE_SHOWING) || (!showingReported && hasState(*element, ATSPI_STATE_VISIBLE));
        if (hasState(*element, ATSPI_STATE_FOCUSED) && !isFocusWaypoint(*element)) {
            if (shown && takesText(*element)) {
                found.focusedText = element;
                return found;
            }
            if (!found.firstClaim) found.firstClaim = element;
        }
        if (shown && !found.sheet && isSheet(*element)) found.sheet = element;
        if (shown && isManagingTextDocument(*element) && ++textDocuments == 1) {
            found.caretParagraph = paragraphHoldingCaret(*element);
            caretInActiveWindow = inActiveWindow;
        }
        if (!shown || hasState(*element, ATSPI_STATE_MANAGES_DESCENDANTS)) continue;
        const auto children = childElements(*element);
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.push({*it, inActiveWindow});
    }
    // The active window's document comes first; without one, several documents leave it open which
    // one the user types into.
    if (textDocuments > 1 && !caretInActiveWindow) found.caretParagraph = nullptr;
    return found;
}

std::shared_ptr<AtspiElement> AtspiElementNavigator::focusInWindow(const std::shared_ptr<AtspiElement>& window) {
    const bool showingReported = m_applications.value(busNameOf(window->accessible())).reportsShowingBelowWindows;
    const WindowWalk found = walk({window}, showingReported);
    if (found.focusedText) return found.focusedText;
    return found.sheet ? found.sheet : found.caretParagraph;
}

std::shared_ptr<AtspiElement> AtspiElementNavigator::trackedFocus(const AtspiFocusTracker::Membership& belongs,
                                                                  const AtspiFocusTracker::LookInside& lookInside,
                                                                  const AtspiFocusTracker::SearchWindow& searchWindow,
                                                                  std::chrono::milliseconds wait) {
    const AtspiFocusTracker::FocusReading reading =
        AtspiFocusTracker::readFocus(belongs, lookInside, searchWindow, wait);
    // Nothing holds the focus while it is on its way back: a walk would find only the container.
    if (reading.onItsWay) {
        throw FocusedTargetInspectionError(FocusedTargetInspectionError::Case::focusedElementUnavailable);
    }
    return reading.focused;
}

std::shared_ptr<AtspiElement> AtspiElementNavigator::focusInsideEmbeddedContent(
    const std::shared_ptr<AtspiElement>& view, const AtspiFocusTracker::Membership& belongs) {
    // A web view is a plain container that embeds the page: a chain of wrappers and focused
    // containers leads to the page's document, which finds its focused field in one call.
    constexpr int kMaximumDepth = 8;
    constexpr gint kMaximumChildren = 16;
    const QString viewBusName = busNameOf(view->accessible());
    std::shared_ptr<AtspiElement> current = view;
    bool embedded = false;
    for (int depth = 0; depth < kMaximumDepth; ++depth) {
        if (embedded && isDocument(*current)) return focusedTextInDocument(*current);
        AtspiCallError error;
        const gint count = atspi_accessible_get_child_count(current->accessible(), error.slot());
        throwIfUnresponsive(error);
        if (count <= 0 || count > kMaximumChildren) return nullptr;
        std::shared_ptr<AtspiElement> next;
        for (auto& child : childElements(*current)) {
            if (hasState(*child, ATSPI_STATE_FOCUSED)) {
                next = child;
                break;
            }
        }
        // A wrapper with one child passes the focus on without claiming it.
        if (!next && count == 1) next = childElements(*current).value(0);
        if (!next) return nullptr;
        if (busNameOf(next->accessible()) != viewBusName) {
            // Another process draws from here on: it must be a part of the same application.
            const std::optional<AtspiFocusTracker::ApplicationPart> part = belongs(next->accessible());
            if (!part) return nullptr;
            next = adoptAtspiElement(static_cast<AtspiAccessible*>(g_object_ref(next->accessible())), part->offsetUnit);
            embedded = true;
        }
        if (embedded && hasState(*next, ATSPI_STATE_FOCUSED) && takesText(*next)) return next;
        current = std::move(next);
    }
    return nullptr;
}

std::shared_ptr<AtspiElement> AtspiElementNavigator::focusedTextInDocument(const AtspiElement& document) {
    const GObjectRef<AtspiCollection> collection(atspi_accessible_get_collection_iface(document.accessible()));
    if (!collection) return nullptr;
    GArray* wanted = g_array_new(FALSE, FALSE, sizeof(AtspiStateType));
    const AtspiStateType focused = ATSPI_STATE_FOCUSED;
    g_array_append_val(wanted, focused);
    const GObjectRef<AtspiStateSet> states(atspi_state_set_new(wanted));
    g_array_free(wanted, TRUE);
    const GObjectRef<AtspiMatchRule> rule(
        atspi_match_rule_new(states.get(), ATSPI_Collection_MATCH_ALL, nullptr, ATSPI_Collection_MATCH_ALL, nullptr,
                             ATSPI_Collection_MATCH_ALL, nullptr, ATSPI_Collection_MATCH_ALL, FALSE));
    constexpr gint kMaximumMatches = 8;
    AtspiCallError error;
    GArray* matches = atspi_collection_get_matches(collection.get(), rule.get(), ATSPI_Collection_SORT_ORDER_CANONICAL,
                                                   kMaximumMatches, TRUE, error.slot());
    std::shared_ptr<AtspiElement> found;
    for (guint index = 0; matches && index < matches->len; ++index) {
        auto match = adoptAtspiElement(g_array_index(matches, AtspiAccessible*, index), document.offsetUnit());
        if (!found && match && takesText(*match)) found = std::move(match);
    }
    if (matches) g_array_free(matches, TRUE);
    throwIfUnresponsive(error);
    return found;
}

AccessibilityElementRef AtspiElementNavigator::focusedWindow(qint32 processIdentifier) {
    const std::shared_ptr<AtspiElement> app = application(processIdentifier);
    if (!app) return nullptr;
    for (auto& window : childElements(*app)) {
        if (hasState(*window, ATSPI_STATE_ACTIVE)) return window;
    }
    return nullptr;
}

QList<AccessibilityElementRef> AtspiElementNavigator::shownWindows(qint32 processIdentifier) {
    QList<AccessibilityElementRef> shown;
    const std::shared_ptr<AtspiElement> app = application(processIdentifier);
    if (!app) return shown;
    // GTK 4 says `showing` of its windows (and only of them); other toolkits of every shown object. A
    // busy application may not answer for a window's states: that window may be the one in front.
    for (auto& window : windowsActiveFirst(*app)) {
        if (!window->states() || hasState(*window, ATSPI_STATE_SHOWING) || hasState(*window, ATSPI_STATE_VISIBLE))
            shown.append(window);
    }
    return shown;
}

AccessibilityElementRef AtspiElementNavigator::parent(const AccessibilityElement& element) {
    const AtspiElement& child = atspiElement(element);
    AtspiCallError error;
    AtspiAccessible* parentObject = atspi_accessible_get_parent(child.accessible(), error.slot());
    throwIfUnresponsive(error);
    if (parentObject && isApplicationRoot(parentObject)) {
        g_object_unref(parentObject);
        return nullptr;
    }
    return adoptAtspiElement(parentObject, child.offsetUnit());
}

QList<AccessibilityElementRef> AtspiElementNavigator::children(const AccessibilityElement& element) {
    QList<AccessibilityElementRef> result;
    // A container that manages its descendants (a table, a tree, a long list) makes them up on
    // request; they are rows and cells, never the field text goes to.
    if (hasState(atspiElement(element), ATSPI_STATE_MANAGES_DESCENDANTS)) return result;
    for (auto& child : childElements(atspiElement(element)))
        result.append(child);
    return result;
}

std::optional<QString> AtspiElementNavigator::readSubrole(const AccessibilityElement& element) {
    AtspiCallError error;
    const auto role = AtspiRole(atspiElement(element).role(error.slot()));
    throwIfUnresponsive(error);
    if (error.failed()) return std::nullopt;
    gchar* roleName = atspi_role_get_name(role);
    // The subrole does not depend on the line count.
    const AXRoleDescription description =
        translateAtspiRole(QString::fromUtf8(roleName ? roleName : ""), /*multiLine=*/false);
    g_free(roleName);
    return description.subrole;
}

bool AtspiElementNavigator::answers(const AccessibilityElement& element) {
    return AtspiConnection::answers(atspiElement(element).accessible());
}

RawFocusedElementMetadata AtspiElementNavigator::readScoringMetadata(const AccessibilityElement& element) {
    AtspiAccessible* accessible = atspiElement(element).accessible();
    AtspiCallError error;
    RawFocusedElementMetadata metadata;

    const AtspiElement& atspi = atspiElement(element);
    const auto role = AtspiRole(atspi.role(error.slot()));
    throwIfUnresponsive(error);
    AtspiElementFacts facts;
    // GTK 4 says `sensitive` only; a disabled widget of any toolkit clears both.
    facts.enabled = hasState(atspi, ATSPI_STATE_ENABLED) || hasState(atspi, ATSPI_STATE_SENSITIVE);
    facts.editable = hasState(atspi, ATSPI_STATE_EDITABLE);
    facts.readOnly = hasState(atspi, ATSPI_STATE_READ_ONLY);
    facts.multiLine = hasState(atspi, ATSPI_STATE_MULTI_LINE);
    facts.hasText = implements(accessible, "Text");
    facts.hasEditableText = implements(accessible, "EditableText") && carriesOutTextWrites(accessible);

    if (!error.failed()) {
        gchar* roleName = atspi_role_get_name(role);
        const AXRoleDescription description =
            translateAtspiRole(QString::fromUtf8(roleName ? roleName : ""), facts.multiLine);
        g_free(roleName);
        metadata.role = description.role;
        metadata.subrole = description.subrole;
    }

    const AXElementFlags flags = translateAtspiFacts(facts);
    metadata.isEnabled = flags.isEnabled;
    metadata.isEditable = flags.isEditable;
    metadata.isValueSettable = flags.isValueSettable;
    metadata.isSelectedTextRangeSettable = flags.isSelectedTextRangeSettable;
    metadata.isFocused = hasState(atspi, ATSPI_STATE_FOCUSED);
    return metadata;
}

bool AtspiElementNavigator::readDescription(const AccessibilityElement& element, RawFocusedElementMetadata& metadata) {
    AtspiAccessible* accessible = atspiElement(element).accessible();
    AtspiCallError error;
    metadata.title = nonEmpty(atspi_accessible_get_name(accessible, error.slot()));
    throwIfUnresponsive(error);
    const bool answered = !error.failed();
    // Toolkits older than the property answer with an error: the identifier counts for nothing here.
    metadata.identifier = nonEmpty(atspi_accessible_get_accessible_id(accessible, error.slot()));
    throwIfUnresponsive(error);

    // Without the Component interface an element has no place (libatspi does not tell an interface
    // list it could not read from one that lacks it).
    const GObjectRef<AtspiComponent> component(atspi_accessible_get_component_iface(accessible));
    if (!component) return answered;
    AtspiRect* extents = atspi_component_get_extents(component.get(), ATSPI_COORD_TYPE_SCREEN, error.slot());
    const bool placed = extents && !error.failed();
    if (placed) {
        metadata.frame = QRectF(extents->x, extents->y, extents->width, extents->height);
        metadata.size = QSizeF(extents->width, extents->height);
    }
    g_free(extents);
    throwIfUnresponsive(error);
    return answered && placed;
}

RawFocusedElementMetadata AtspiElementNavigator::readMetadata(const AccessibilityElement& element) {
    RawFocusedElementMetadata metadata = readScoringMetadata(element);
    readDescription(element, metadata);
    return metadata;
}

}  // namespace quorvelle
