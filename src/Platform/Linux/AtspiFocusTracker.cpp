#include "Platform/Linux/AtspiFocusTracker.h"

#include "Platform/Linux/AtspiConnection.h"
#include "Platform/Linux/AtspiElementKind.h"
#include "Platform/Linux/GObjectRef.h"
#include "Platform/Linux/ProcessAncestry.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"

#include <atspi/atspi.h>
#include <dbus/dbus.h>

#include <QDeadlineTimer>
#include <QHash>
#include <QList>
#include <QSet>

namespace quorvelle::AtspiFocusTracker {

namespace {

using AtspiElementKind::hasState;
using AtspiElementKind::isFocusWaypoint;
using AtspiElementKind::isPane;
using AtspiElementKind::takesText;

// The objects that gained the focus last, newest first, each with a reference of ours. Several are
// kept: after a keyboard grab ends, applications pass the focus through containers (Writer: the
// paragraph, then its root pane) while the field itself keeps its focused state, and Kate names a new
// cell of its hidden lists at each press of the hot key, three or four of them since its editor last
// gained the focus.
constexpr qsizetype kRememberedCount = 12;
QList<AtspiAccessible*> recentlyFocused;
// Those of them that only a loss of the focus named (we never saw them gain it).
QSet<AtspiAccessible*> namedByLossOnly;
// Counts the focus events handled, so that a wait can tell one came.
quint64 eventCount = 0;
QList<FocusGainObserver> observers;
// The application of the newest object to gain the focus, and whether it took the focus away since.
QString focusedBusName;
bool focusAway = false;
// The process of each application that took the focus away or gave it, by bus name (a bus name is
// never reused).
QHash<QString, qint32> processOfBusName;
std::optional<qint32> newestGainProcess;

QString busNameOf(AtspiAccessible* accessible) {
    const AtspiApplication* app = ATSPI_OBJECT(accessible)->app;
    return QString::fromUtf8(app && app->bus_name ? app->bus_name : "");
}

std::optional<qint32> processOf(AtspiAccessible* source, const QString& busName) {
    const auto known = processOfBusName.constFind(busName);
    if (known != processOfBusName.cend()) return known.value();
    // The bus daemon answers this one, so a hung application cannot stall the event.
    AtspiCallError error;
    const guint pid = atspi_accessible_get_process_id(source, error.slot());
    if (error.failed()) return std::nullopt;
    processOfBusName.insert(busName, static_cast<qint32>(pid));
    return static_cast<qint32>(pid);
}

// Called by libatspi from the main loop; must not throw. The event is a copy handed over to us
// (it holds a reference to its source): every focus change on the desktop would leak one otherwise.
void onFocusChanged(const AtspiEvent* event) {
    if (!event) return;
    ++eventCount;
    AtspiAccessible* source = event->source;
    const auto remember = [source](qsizetype position) {
        recentlyFocused.insert(position, static_cast<AtspiAccessible*>(g_object_ref(source)));
        while (recentlyFocused.size() > kRememberedCount) {
            AtspiAccessible* oldest = recentlyFocused.takeLast();
            namedByLossOnly.remove(oldest);
            g_object_unref(oldest);
        }
    };
    if (source && event->detail1 == 1) {
        if (recentlyFocused.removeOne(source)) g_object_unref(source);
        namedByLossOnly.remove(source);
        remember(0);
    } else if (source && !recentlyFocused.contains(source)) {
        // An object we never saw gain the focus had it until now (GTK 4 announces no focus it has at
        // start-up, only its loss when our hot key grabs the keyboard). Another application's object
        // that we saw gain the focus had lost it before; one of the same application took it from this.
        const bool sameApplication =
            !recentlyFocused.isEmpty() && busNameOf(recentlyFocused.first()) == busNameOf(source);
        remember(sameApplication ? 1 : 0);
        namedByLossOnly.insert(source);
    }
    if (source && event->detail1 == 1) {
        focusedBusName = busNameOf(source);
        focusAway = false;
        newestGainProcess = processOf(source, focusedBusName);
        for (const FocusGainObserver& observer : std::as_const(observers))
            observer();
    } else if (source && busNameOf(source) == focusedBusName) {
        focusAway = true;
        processOf(source, focusedBusName);
    }
    g_boxed_free(ATSPI_TYPE_EVENT, const_cast<AtspiEvent*>(event));
}

// libatspi only queues the events it reads off the bus and hands them to us once one of its own calls
// returns (or the main loop next runs): events read while we wait would sit there until the wait is
// over. A call to the registry, which answers at once, has it hand them over now.
void handOverDeferredEvents() {
    AtspiAccessible* desktop = atspi_get_desktop(0);
    if (!desktop) return;
    AtspiCallError error;
    g_free(atspi_accessible_get_localized_role_name(desktop, error.slot()));
    g_object_unref(desktop);
}

std::shared_ptr<AtspiElement> adopted(AtspiAccessible* accessible, AtspiOffsetUnit offsetUnit) {
    return adoptAtspiElement(static_cast<AtspiAccessible*>(g_object_ref(accessible)), offsetUnit);
}

// GTK drops the focused state while another client grabs the keyboard, as our own hot key does
// from its press to its release: the last object to gain the focus still holds it when it can take
// the focus and is on screen, and no other object gained it since.
bool stillFocused(const AtspiElement& element) {
    return hasState(element, ATSPI_STATE_FOCUSED) ||
           (hasState(element, ATSPI_STATE_FOCUSABLE) && hasState(element, ATSPI_STATE_SHOWING));
}

// The application object tops every window.
bool isApplicationRoot(AtspiAccessible* accessible) {
    return g_strcmp0(ATSPI_OBJECT(accessible)->path, "/org/a11y/atspi/accessible/root") == 0;
}

// The top-level window an object sits in (the child of its application); null when out of reach.
std::shared_ptr<AtspiElement> windowOf(const AtspiElement& element) {
    constexpr int kMaximumDepth = 64;
    std::shared_ptr<AtspiElement> current = adopted(element.accessible(), element.offsetUnit());
    AtspiCallError error;
    for (int depth = 0; depth < kMaximumDepth; ++depth) {
        auto parent =
            adoptAtspiElement(atspi_accessible_get_parent(current->accessible(), error.slot()), element.offsetUnit());
        if (!parent || error.failed()) return nullptr;
        if (isApplicationRoot(parent->accessible())) return current;
        current = std::move(parent);
    }
    return nullptr;
}

// GTK 4 reports `showing` for no widget below the window, and during the hot key's grab drops the
// field's `focused` together with its window's `active`. The field lost the focus with its window,
// not to another element of it, when the window does not claim to be active either; a field that
// was hidden (not visible) or whose window is active again without it is not the focus.
bool lostFocusWithItsWindow(const AtspiElement& element) {
    if (!hasState(element, ATSPI_STATE_VISIBLE) || hasState(element, ATSPI_STATE_DEFUNCT) || !takesText(element)) {
        return false;
    }
    const std::shared_ptr<AtspiElement> window = windowOf(element);
    return window && window->states() && !hasState(*window, ATSPI_STATE_ACTIVE);
}

// Whether an object has no room on screen (its extents are empty); false when they cannot be read.
bool hasNoArea(const AtspiElement& element) {
    const GObjectRef<AtspiComponent> component(atspi_accessible_get_component_iface(element.accessible()));
    if (!component) return false;
    AtspiCallError error;
    AtspiRect* extents = atspi_component_get_extents(component.get(), ATSPI_COORD_TYPE_SCREEN, error.slot());
    const bool empty = extents && !error.failed() && (extents->width <= 0 || extents->height <= 0);
    g_free(extents);
    return empty;
}

// An object that is not on screen and takes no text: a cell of a list in a hidden panel. Qt 5 says
// `showing` of such a cell (and `focused` of the list's current one), and at times of the list too,
// while the list has no room or a container above it shows nowhere: the way up to the window tells.
// Where the toolkit says `showing` of no object below a window (GTK 4), nothing tells it.
bool isHiddenNonText(const AtspiElement& element, const ApplicationPart& part) {
    if (!part.reportsShowing || takesText(element)) return false;
    if (!hasState(element, ATSPI_STATE_SHOWING)) return true;
    AtspiCallError error;
    const auto role = AtspiRole(element.role(error.slot()));
    if (error.failed() ||
        (role != ATSPI_ROLE_TABLE_CELL && role != ATSPI_ROLE_LIST_ITEM && role != ATSPI_ROLE_TREE_ITEM))
        return false;
    constexpr int kMaximumDepth = 32;
    auto container =
        adoptAtspiElement(atspi_accessible_get_parent(element.accessible(), error.slot()), element.offsetUnit());
    for (int depth = 0; depth < kMaximumDepth; ++depth) {
        // A cell whose list cannot be read any more (Kate's, made anew at each press) shows nowhere.
        if (!container || error.failed()) return true;
        if (isApplicationRoot(container->accessible())) return false;
        if (!hasState(*container, ATSPI_STATE_SHOWING) || (depth == 0 && hasNoArea(*container))) return true;
        container =
            adoptAtspiElement(atspi_accessible_get_parent(container->accessible(), error.slot()), element.offsetUnit());
    }
    return false;
}

// A shown text element of the window that `hidden` sits in (of the application, where the window
// cannot be told): the newest one the focus events named while it claims or can take the focus, else
// an older one that claims it, else what `searchWindow` finds there; null when there is none.
std::shared_ptr<AtspiElement> shownTextClaimingFocus(const Membership& belongs, const SearchWindow& searchWindow,
                                                     const AtspiElement& hidden) {
    // A cell whose list is gone tells no window: the application's newest text element stands then.
    const std::shared_ptr<AtspiElement> window = windowOf(hidden);
    const auto shownText = [](const AtspiElement& element) {
        return hasState(element, ATSPI_STATE_FOCUSED) && hasState(element, ATSPI_STATE_SHOWING) && takesText(element);
    };
    // Kate drops its editor's focused state while the hot key holds the keyboard, now and then before
    // we look: the newest text element the events named in the window still stands while it shows and
    // can take the focus. Past it, only one that claims the focus does.
    bool newerTextInWindow = false;
    for (qsizetype index = 1; index < recentlyFocused.size(); ++index) {
        const std::optional<ApplicationPart> part = belongs(recentlyFocused.at(index));
        if (!part || !part->ownsWindow) continue;
        auto earlier = adopted(recentlyFocused.at(index), part->offsetUnit);
        if (!earlier->states() || !hasState(*earlier, ATSPI_STATE_SHOWING) || !takesText(*earlier)) continue;
        const bool stands = hasState(*earlier, ATSPI_STATE_FOCUSED) ||
                            (!newerTextInWindow && hasState(*earlier, ATSPI_STATE_FOCUSABLE));
        const std::shared_ptr<AtspiElement> itsWindow = window ? windowOf(*earlier) : nullptr;
        if (window && (!itsWindow || itsWindow->identityKey() != window->identityKey())) continue;
        if (stands) return earlier;
        newerTextInWindow = true;
    }
    if (!searchWindow || !window) return nullptr;
    std::shared_ptr<AtspiElement> found = searchWindow(window);
    return found && shownText(*found) ? found : nullptr;
}

// An object that no longer claims the focus while its window still is the active one did not lose it to
// a grab (which takes the window's focus): the focus moved inside the window, and the application has
// not told us yet (Qt answers a call before it sends the events of a focus it moved just before).
// The element the window's tree names focused then, if any; null where it names none.
std::shared_ptr<AtspiElement> focusMovedInActiveWindow(const SearchWindow& searchWindow, const AtspiElement& left) {
    if (!searchWindow) return nullptr;
    const std::shared_ptr<AtspiElement> window = windowOf(left);
    if (!window || !window->states() || !hasState(*window, ATSPI_STATE_ACTIVE)) return nullptr;
    std::shared_ptr<AtspiElement> found = searchWindow(window);
    return found && hasState(*found, ATSPI_STATE_FOCUSED) ? found : nullptr;
}

// readFocus's one look at the focus, from the newest focus event (see there).
FocusReading readNewestFocus(const Membership& belongs, const LookInside& lookInside,
                             const SearchWindow& searchWindow) {
    if (recentlyFocused.isEmpty()) return {};
    // What a helper process's object says of itself only counts when it claims the focus: the
    // window's own process decides whether its window holds the focus.
    const auto holdsFocus = [](const AtspiElement& element, const ApplicationPart& part, bool grabMayHideFocus) {
        return hasState(element, ATSPI_STATE_FOCUSED) || (part.ownsWindow && grabMayHideFocus && stillFocused(element));
    };
    // Another application's object that only its loss of the focus named does not hide what this one
    // named: the window that was in front before tells of that loss on its own, at times only after the
    // new window's field told of its gain (a GTK 4 entry, which never announces a focus it has, or a field
    // focused since before we listened).
    qsizetype first = 0;
    std::optional<ApplicationPart> newestPart;
    for (; first < recentlyFocused.size(); ++first) {
        newestPart = belongs(recentlyFocused.at(first));
        if (newestPart || !namedByLossOnly.contains(recentlyFocused.at(first))) break;
    }
    if (!newestPart) return {};
    const std::shared_ptr<AtspiElement> newest = adopted(recentlyFocused.at(first), newestPart->offsetUnit);
    if (!newest->states()) return {};
    if (!isFocusWaypoint(*newest)) {
        const bool focused =
            holdsFocus(*newest, *newestPart, true) || (newestPart->ownsWindow && lostFocusWithItsWindow(*newest));
        // Also once it let the focus go again, as Kate's hidden cells and headers do within moments.
        if (isHiddenNonText(*newest, *newestPart)) {
            if (auto shown = shownTextClaimingFocus(belongs, searchWindow, *newest)) return {std::move(shown), false};
        }
        if (focused && newestPart->ownsWindow && !hasState(*newest, ATSPI_STATE_FOCUSED)) {
            if (auto moved = focusMovedInActiveWindow(searchWindow, *newest)) return {std::move(moved), false};
        }
        return {focused ? newest : nullptr, false};
    }
    if (lookInside) {
        if (auto inside = lookInside(newest)) return {std::move(inside), false};
    }
    // A container or a menu of that application took the focus last: the text element that had it
    // before is the one, while it still reports the focus (or, as a grab hides it, while the
    // container does not claim it either: Writer's root pane). Until then, the focus is on its way.
    const bool waypointClaimsFocus = hasState(*newest, ATSPI_STATE_FOCUSED);
    for (qsizetype index = first + 1; index < recentlyFocused.size(); ++index) {
        const std::optional<ApplicationPart> part = belongs(recentlyFocused.at(index));
        if (!part) break;
        auto earlier = adopted(recentlyFocused.at(index), part->offsetUnit);
        if (holdsFocus(*earlier, *part, !waypointClaimsFocus) && takesText(*earlier))
            return {std::move(earlier), false};
    }
    // Calc names the focus on its root pane and panels alone, never on the sheet, and the sheet drops
    // its focused state while our hot key grabs the keyboard (telling so only later): the pane stands
    // for what holds the focus inside its window, and waiting for the focus to come back would be in
    // vain.
    if (searchWindow && newestPart->ownsWindow && isPane(*newest)) {
        if (const std::shared_ptr<AtspiElement> window = windowOf(*newest)) {
            if (auto found = searchWindow(window)) return {std::move(found), false};
        }
    }
    return {nullptr, true};
}

}  // namespace

bool start() {
    static bool listening = false;
    if (listening) return true;
    if (!AtspiConnection::ensureInitialised()) return false;
    AtspiCallError error;
    listening =
        atspi_event_listener_register_no_data(&onFocusChanged, nullptr, "object:state-changed:focused", error.slot());
    return listening;
}

std::optional<qint32> processOfNewestGain() {
    return newestGainProcess;
}

void observeGains(FocusGainObserver observer) {
    observers.append(std::move(observer));
}

bool isFocusAway(std::optional<qint32> frontProcess) {
    if (!focusAway || !frontProcess) return false;
    const auto away = processOfBusName.constFind(focusedBusName);
    // The front window's process owns the application; the object that lost the focus may be drawn
    // by a helper of it (a browser's content process).
    return away != processOfBusName.cend() && ProcessAncestry::isPartOfApplication(*frontProcess, away.value());
}

void catchUp(std::chrono::milliseconds wait) {
    DBusConnection* bus = atspi_get_a11y_bus();
    if (!bus) return;
    const quint64 before = eventCount;
    // What an earlier call already read off the bus waits in the connection's queue, where no wait
    // for new data on the bus sees it.
    const auto dispatchQueued = [bus] {
        constexpr int kMaximumMessages = 256;
        bool dispatched = false;
        for (int handled = 0; handled < kMaximumMessages; ++handled) {
            if (dbus_connection_get_dispatch_status(bus) != DBUS_DISPATCH_DATA_REMAINS) break;
            dispatched = true;
            dbus_connection_dispatch(bus);
        }
        if (dispatched) handOverDeferredEvents();
    };
    QDeadlineTimer deadline(wait);
    dispatchQueued();
    while (eventCount == before) {
        // Blocks for new data only while time is left and no focus event came; a closed bus ends it.
        const bool open = dbus_connection_read_write(bus, static_cast<int>(deadline.remainingTime()));
        dispatchQueued();
        if (!open || deadline.hasExpired()) return;
    }
}

std::shared_ptr<AtspiElement> focusedObject(qint32 processIdentifier, AtspiOffsetUnit offsetUnit) {
    const FocusReading reading = readFocus([&](AtspiAccessible* accessible) -> std::optional<ApplicationPart> {
        AtspiCallError error;
        const guint pid = atspi_accessible_get_process_id(accessible, error.slot());
        if (error.failed() || static_cast<qint32>(pid) != processIdentifier) return std::nullopt;
        return ApplicationPart{offsetUnit, true};
    });
    if (reading.onItsWay) {
        throw FocusedTargetInspectionError(FocusedTargetInspectionError::Case::focusedElementUnavailable);
    }
    return reading.focused;
}

void learnFocus(AtspiAccessible* focused) {
    // An event handled since, even while the tree was asked, knows better.
    if (!focused || eventCount != 0 || !recentlyFocused.isEmpty()) return;
    recentlyFocused.append(static_cast<AtspiAccessible*>(g_object_ref(focused)));
    focusedBusName = busNameOf(focused);
}

FocusReading readFocus(const Membership& belongs, const LookInside& lookInside, const SearchWindow& searchWindow,
                       std::chrono::milliseconds wait) {
    catchUp(wait);
    // Every read is a call into an application, whose answer mostly comes after the focus events it
    // sent before, and libatspi hands us those while it waits: an event handled meanwhile is newer
    // than what was read (the field the focus moved to a moment before the press), and the reading
    // starts over from it.
    constexpr int kMaximumReadings = 4;
    for (int reading = 1;; ++reading) {
        const quint64 before = eventCount;
        FocusReading found = readNewestFocus(belongs, lookInside, searchWindow);
        if (eventCount == before || reading == kMaximumReadings) return found;
    }
}

}  // namespace quorvelle::AtspiFocusTracker
