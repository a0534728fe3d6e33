#include "Platform/Linux/X11SelectionServer.h"

#include "Support/CancellationError.h"

#include <QDeadlineTimer>
#include <QMap>

#include <xcb/xcb.h>

#include <poll.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <future>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace quorvelle {

namespace {

constexpr std::chrono::milliseconds kClaimLimit{1000};
// How long the end waits for a clipboard manager to take the clipboard's text.
constexpr std::chrono::milliseconds kHandOverLimit{3000};
// A ChangeProperty request's own fields, before its data.
constexpr quint64 kChangePropertyHeaderBytes = 24;

enum Atom : std::size_t {
    clipboardAtom,
    targetsAtom,
    multipleAtom,
    timestampAtom,
    utf8StringAtom,
    textAtom,
    plainUtf8Atom,
    plainAtom,
    timeProbeAtom,
    stopAtom,
    letAtom,
    judgeAtom,
    clipboardManagerAtom,
    saveTargetsAtom,
    atomCount
};
constexpr std::array<const char*, atomCount> kAtomNames{"CLIPBOARD",
                                                        "TARGETS",
                                                        "MULTIPLE",
                                                        "TIMESTAMP",
                                                        "UTF8_STRING",
                                                        "TEXT",
                                                        "text/plain;charset=utf-8",
                                                        "text/plain",
                                                        "_QUORVELLE_SELECTION_TIME",
                                                        "_QUORVELLE_SELECTION_STOP",
                                                        "_QUORVELLE_SELECTION_LET",
                                                        "_QUORVELLE_SELECTION_JUDGE",
                                                        "CLIPBOARD_MANAGER",
                                                        "SAVE_TARGETS"};

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

std::size_t indexOf(X11SelectionServer::Selection selection) {
    return selection == X11SelectionServer::Selection::clipboard ? 0 : 1;
}

}  // namespace

class X11SelectionServer::Worker {
public:
    explicit Worker(X11SelectionServer& owner) : m_owner(owner) {
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection)) return;
        const xcb_setup_t* setup = xcb_get_setup(m_connection);
        m_idMask = setup->resource_id_mask;
        const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
        if (!screen) return;
        std::array<xcb_intern_atom_cookie_t, atomCount> cookies{};
        for (std::size_t i = 0; i < atomCount; ++i)
            cookies[i] =
                xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(kAtomNames[i])), kAtomNames[i]);
        for (std::size_t i = 0; i < atomCount; ++i) {
            const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, cookies[i], nullptr));
            if (!reply) return;
            m_atoms[i] = reply->atom;
        }
        // Larger data would make xcb close the connection instead of sending it.
        m_maxDataBytes = quint64(xcb_get_maximum_request_length(m_connection)) * 4 - kChangePropertyHeaderBytes;
        // Never shown: it owns the selections, and its property changes give the server's time.
        m_window = xcb_generate_id(m_connection);
        const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
        xcb_flush(m_connection);
        m_running = true;
        m_thread = std::thread([this] { run(); });
    }

    ~Worker() {
        if (m_thread.joinable()) {
            m_stopping = true;
            wakeThread(stopAtom);
            m_thread.join();
        }
        xcb_disconnect(m_connection);
    }

    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    bool isRunning() const { return m_running; }
    quint32 clientOf(quint32 window) const { return window & ~m_idMask; }

    // Claims the selection with `text` as its contents, or gives it up without.
    bool claim(Selection selection, std::optional<QString> text, quint64 number) {
        // A server that is not running holds nothing to give up.
        if (!m_running) return !text;
        auto entry = std::make_shared<Claim>();
        entry->selection = selection;
        entry->number = number;
        if (text) entry->contents = Contents{true, text->toUtf8(), text->toLatin1(), {}};
        return submit(entry);
    }

    // Serves `contents` (data by MIME type) in place of the claim of that number, while it holds the
    // selection; a text/plain entry is served in every text form.
    Replacement replace(Selection selection, quint64 over, const QMap<QString, QByteArray>& contents, quint64 number) {
        if (!m_running) return Replacement::notOurs;
        Contents served;
        const auto fits = [this](const QByteArray& data) { return quint64(data.size()) <= m_maxDataBytes; };
        for (auto it = contents.constBegin(); it != contents.constEnd(); ++it) {
            if (!fits(it.value())) return Replacement::leftToQt;
            if (it.key() == u"text/plain") {
                served.hasText = true;
                served.utf8 = it.value();
                served.latin1 = QString::fromUtf8(it.value()).toLatin1();
            } else if (it.key().contains(u'/')) {
                // Names without a slash are the toolkit's for the conversions themselves (TARGETS,
                // TIMESTAMP), which we answer on our own.
                const xcb_atom_t atom = internAtom(it.key().toUtf8());
                if (atom != XCB_ATOM_NONE) served.others.emplace_back(atom, it.value());
            }
        }
        // Nothing in a form we can name: left as the toolkit had it.
        if (!served.hasText && served.others.empty()) return Replacement::leftToQt;
        if (served.hasText) {
            std::erase_if(served.others, [this](const auto& other) { return isTextTarget(other.first); });
        }
        auto entry = std::make_shared<Claim>();
        entry->selection = selection;
        entry->contents = std::move(served);
        entry->number = number;
        entry->over = over;
        return submit(entry) ? Replacement::served : Replacement::notOurs;
    }

    std::optional<QString> servedText(Selection selection) const {
        const std::lock_guard lock(m_mutex);
        const Served& served = m_served[indexOf(selection)];
        if (!served.contents || !served.contents->hasText) return std::nullopt;
        return QString::fromUtf8(served.contents->utf8);
    }

    bool serves(Selection selection, quint64 number) const {
        const std::lock_guard lock(m_mutex);
        const Served& served = m_served[indexOf(selection)];
        return served.contents && served.number == number;
    }
    quint32 ownerWindow() const { return m_window; }

    void holdText(quint64 number) {
        const std::lock_guard lock(m_mutex);
        for (Served& served : m_served) {
            if (served.contents && served.number == number) {
                served.gate = Gate::held;
                served.answeredSinceHold = false;
            }
        }
    }

    void letText(bool give) {
        {
            const std::lock_guard lock(m_mutex);
            for (Served& served : m_served) {
                if (served.gate == Gate::held || served.gate == Gate::judged)
                    served.gate = give ? Gate::open : Gate::shut;
            }
        }
        // The requests held meanwhile are answered on the server's thread.
        if (m_running) wakeThread(letAtom);
    }

    void judgeText() {
        {
            const std::lock_guard lock(m_mutex);
            for (Served& served : m_served) {
                if (served.gate == Gate::held) served.gate = Gate::judged;
            }
        }
        // The requests held so far are looked at again under the new gate.
        if (m_running) wakeThread(letAtom);
    }

    void judge(bool give) {
        if (m_running) wakeThread(judgeAtom, give ? 1 : 0);
    }

    bool awaitAnswer(quint64 number, std::chrono::milliseconds bound) {
        std::unique_lock lock(m_mutex);
        const Served& served = m_served[indexOf(Selection::clipboard)];
        // Over once the words are no longer ours to serve, too.
        return m_answered.wait_for(lock, bound, [&] {
            return !m_running || !served.contents || served.number != number || served.answeredSinceHold;
        });
    }

    bool hasAskedTargets(quint32 window) const {
        const std::lock_guard lock(m_mutex);
        return m_askedTargets.contains(clientOf(window));
    }

private:
    struct Contents {
        bool hasText = false;
        QByteArray utf8;
        QByteArray latin1;
        // Further forms, served as they are under their own target.
        std::vector<std::pair<xcb_atom_t, QByteArray>> others;
    };
    struct Claim {
        Selection selection = Selection::clipboard;
        std::optional<Contents> contents;
        quint64 number = 0;
        // Replaces the claim of that number, only while it holds the selection.
        std::optional<quint64> over;
        std::promise<bool> done;
    };
    // Whether requests are answered: held ones wait unanswered, shut ones are refused; judged ones
    // that would carry the contents wait for the owner's verdict on each.
    enum class Gate { open, held, judged, shut };
    struct Served {
        std::optional<Contents> contents;
        quint64 number = 0;
        xcb_timestamp_t since = XCB_CURRENT_TIME;
        Gate gate = Gate::open;
        // Contents sent, or a request refused, since the last hold.
        bool answeredSinceHold = false;
    };

    // A message of that type to the server's thread.
    void wakeThread(Atom type, uint32_t value = 0) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = m_window;
        message.type = m_atoms[type];
        message.data.data32[0] = value;
        // Without an event mask the event goes to the client that made the window: our thread.
        xcb_send_event(m_connection, 0, m_window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
        xcb_flush(m_connection);
    }

    // Hands the claim to the server's thread with a fresh time and waits for it.
    bool submit(const std::shared_ptr<Claim>& entry) {
        std::future<bool> done = entry->done.get_future();
        {
            const std::lock_guard lock(m_mutex);
            m_claims.push_back(entry);
        }
        // The property's notification carries the time the claim is stamped with (ICCCM 2.1).
        xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, m_window, m_atoms[timeProbeAtom], XCB_ATOM_STRING, 8, 0,
                            nullptr);
        xcb_flush(m_connection);
        if (done.wait_for(kClaimLimit) == std::future_status::ready) return done.get();
        const std::lock_guard lock(m_mutex);
        std::erase(m_claims, entry);
        return false;
    }

    void run() {
        while (!m_stopping) {
            const XcbReply<xcb_generic_event_t> event(xcb_wait_for_event(m_connection));
            if (!event) break;  // the display went away
            handle(*event);
        }
        if (m_stopping) handOverClipboard();
        m_running = false;
        const std::lock_guard lock(m_mutex);
        m_answered.notify_all();
        for (const std::shared_ptr<Claim>& claim : m_claims)
            claim->done.set_value(false);
        m_claims.clear();
    }

    void handle(const xcb_generic_event_t& event) {
        switch (event.response_type & 0x7f) {
            case XCB_PROPERTY_NOTIFY: {
                const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
                if (notify.window == m_window && notify.atom == m_atoms[timeProbeAtom]) takeClaims(notify.time);
                break;
            }
            case XCB_SELECTION_REQUEST: answer(reinterpret_cast<const xcb_selection_request_event_t&>(event)); break;
            case XCB_SELECTION_CLEAR: lose(reinterpret_cast<const xcb_selection_clear_event_t&>(event)); break;
            case XCB_CLIENT_MESSAGE: {
                const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(event);
                if (message.window != m_window) break;
                if (message.type == m_atoms[letAtom]) answerHeld();
                if (message.type == m_atoms[judgeAtom]) answerJudged(message.data.data32[0] != 0);
                break;
            }
            default: break;  // errors about requestors' windows that went away, among others
        }
    }

    // A clipboard manager keeps what we served once we are gone, as it would for a toolkit's
    // clipboard (freedesktop.org's ClipboardManager): it fetches the text while we still answer.
    void handOverClipboard() {
        {
            const std::lock_guard lock(m_mutex);
            if (!m_served[0].contents) return;
        }
        const xcb_atom_t manager = m_atoms[clipboardManagerAtom];
        const XcbReply<xcb_get_selection_owner_reply_t> owner(
            xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, manager), nullptr));
        if (!owner || owner->owner == XCB_WINDOW_NONE) return;
        // An empty property asks the manager to keep every target.
        xcb_delete_property(m_connection, m_window, m_atoms[saveTargetsAtom]);
        xcb_convert_selection(m_connection, m_window, manager, m_atoms[saveTargetsAtom], m_atoms[saveTargetsAtom],
                              XCB_CURRENT_TIME);
        xcb_flush(m_connection);
        const QDeadlineTimer deadline(kHandOverLimit);
        while (!deadline.hasExpired() && !xcb_connection_has_error(m_connection)) {
            while (const XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(m_connection)}) {
                if ((event->response_type & 0x7f) == XCB_SELECTION_NOTIFY &&
                    reinterpret_cast<const xcb_selection_notify_event_t*>(event.get())->selection == manager)
                    return;
                handle(*event);
            }
            pollfd descriptor{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            poll(&descriptor, 1, int(std::max<qint64>(1, deadline.remainingTime())));
        }
    }

    xcb_atom_t internAtom(const QByteArray& name) const {
        const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, uint16_t(name.size()), name.constData()), nullptr));
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    bool isTextTarget(xcb_atom_t atom) const {
        return atom == m_atoms[utf8StringAtom] || atom == XCB_ATOM_STRING || atom == m_atoms[textAtom] ||
               atom == m_atoms[plainUtf8Atom] || atom == m_atoms[plainAtom];
    }

    xcb_atom_t atomOf(Selection selection) const {
        return selection == Selection::clipboard ? m_atoms[clipboardAtom] : xcb_atom_t(XCB_ATOM_PRIMARY);
    }
    std::optional<std::size_t> indexOfAtom(xcb_atom_t atom) const {
        if (atom == m_atoms[clipboardAtom]) return 0;
        if (atom == XCB_ATOM_PRIMARY) return 1;
        return std::nullopt;
    }

    void takeClaims(xcb_timestamp_t time) {
        std::vector<std::shared_ptr<Claim>> claims;
        {
            const std::lock_guard lock(m_mutex);
            claims.swap(m_claims);
        }
        for (const std::shared_ptr<Claim>& claim : claims)
            claim->done.set_value(take(*claim, time));
    }

    bool take(const Claim& claim, xcb_timestamp_t time) {
        if (!claim.contents) return giveUp(claim.selection);
        if (claim.over) return takeOver(claim);
        const xcb_atom_t selection = atomOf(claim.selection);
        refuseHeld(claim.selection);
        {
            const std::lock_guard lock(m_mutex);
            m_served[indexOf(claim.selection)] = Served{claim.contents, claim.number, time};
            // Questions asked from now on are about this claim.
            if (claim.selection == Selection::clipboard) m_askedTargets.clear();
        }
        xcb_set_selection_owner(m_connection, m_window, selection, time);
        const XcbReply<xcb_get_selection_owner_reply_t> reply(
            xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, selection), nullptr));
        const bool taken = reply && reply->owner == m_window;
        if (!taken) {
            const std::lock_guard lock(m_mutex);
            m_served[indexOf(claim.selection)].contents.reset();
        }
        return taken;
    }

    // Serves new contents while the claim they replace still holds the selection. The X server is held
    // from the look at the owner to the new claim, and the new claim carries the replaced one's time:
    // another client's copy stamped after our claim wins over it, even one on its way to the server.
    bool takeOver(const Claim& claim) {
        const std::size_t index = indexOf(claim.selection);
        xcb_timestamp_t since = XCB_CURRENT_TIME;
        {
            const std::lock_guard lock(m_mutex);
            const Served& served = m_served[index];
            if (!served.contents || served.number != *claim.over) return false;
            since = served.since;
        }
        const xcb_atom_t atom = atomOf(claim.selection);
        xcb_grab_server(m_connection);
        const XcbReply<xcb_get_selection_owner_reply_t> owner(
            xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, atom), nullptr));
        const bool ours = owner && owner->owner == m_window;
        if (ours) {
            // A paste's keys asked for the words: they get the words or nothing, never what is served
            // in their place.
            refuseHeld(claim.selection);
            {
                const std::lock_guard lock(m_mutex);
                m_served[index] = Served{claim.contents, claim.number, since};
                if (claim.selection == Selection::clipboard) m_askedTargets.clear();
            }
            // The same owner and time: applications that follow the clipboard's owner learn of the change.
            xcb_set_selection_owner(m_connection, m_window, atom, since);
        }
        xcb_ungrab_server(m_connection);
        xcb_flush(m_connection);
        return ours;
    }

    // Gives the selection up while it is still ours. The X server is held from the look at the owner
    // to the claim of nothing, and that claim carries our own claim's time: another client's copy,
    // even one whose clear is still on its way to us, stays theirs.
    bool giveUp(Selection selection) {
        xcb_timestamp_t since = XCB_CURRENT_TIME;
        refuseHeld(selection);
        {
            const std::lock_guard lock(m_mutex);
            Served& served = m_served[indexOf(selection)];
            if (!served.contents) return true;
            since = served.since;
            served.contents.reset();
            if (selection == Selection::clipboard) m_askedTargets.clear();
        }
        const xcb_atom_t atom = atomOf(selection);
        xcb_grab_server(m_connection);
        const XcbReply<xcb_get_selection_owner_reply_t> owner(
            xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, atom), nullptr));
        if (owner && owner->owner == m_window) xcb_set_selection_owner(m_connection, XCB_WINDOW_NONE, atom, since);
        xcb_ungrab_server(m_connection);
        const XcbReply<xcb_get_selection_owner_reply_t> after(
            xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, atom), nullptr));
        return after && after->owner != m_window;
    }

    void lose(const xcb_selection_clear_event_t& clear) {
        const std::optional<std::size_t> index = indexOfAtom(clear.selection);
        if (!index || clear.owner != m_window) return;
        {
            const std::lock_guard lock(m_mutex);
            // A clear from before our latest claim is about an earlier one.
            if (clear.time < m_served[*index].since) return;
        }
        const Selection selection = *index == 0 ? Selection::clipboard : Selection::primary;
        refuseHeld(selection);
        const std::lock_guard lock(m_mutex);
        m_served[*index].contents.reset();
        m_answered.notify_all();
    }

    // What a conversion of the served text to `target` writes.
    struct Conversion {
        xcb_atom_t type = XCB_ATOM_NONE;
        uint8_t format = 8;
        QByteArray data;
        bool isText = false;
    };

    std::optional<Conversion> convert(xcb_atom_t target, const Served& served) const {
        const Contents& contents = *served.contents;
        if (target == m_atoms[targetsAtom]) {
            std::vector<xcb_atom_t> targets{m_atoms[targetsAtom], m_atoms[multipleAtom], m_atoms[timestampAtom]};
            if (contents.hasText)
                targets.insert(targets.end(), {m_atoms[utf8StringAtom], XCB_ATOM_STRING, m_atoms[textAtom],
                                               m_atoms[plainUtf8Atom], m_atoms[plainAtom]});
            for (const auto& other : contents.others)
                targets.push_back(other.first);
            return Conversion{XCB_ATOM_ATOM, 32,
                              QByteArray(reinterpret_cast<const char*>(targets.data()),
                                         qsizetype(targets.size() * sizeof(xcb_atom_t))),
                              false};
        }
        if (target == m_atoms[timestampAtom]) {
            const uint32_t since = served.since;
            return Conversion{XCB_ATOM_INTEGER, 32, QByteArray(reinterpret_cast<const char*>(&since), sizeof since),
                              false};
        }
        for (const auto& [atom, data] : contents.others) {
            if (target == atom) return Conversion{atom, 8, data, true};
        }
        if (!contents.hasText) return std::nullopt;
        if (target == m_atoms[utf8StringAtom] || target == m_atoms[textAtom])
            return Conversion{m_atoms[utf8StringAtom], 8, contents.utf8, true};
        if (target == m_atoms[plainUtf8Atom] || target == m_atoms[plainAtom])
            return Conversion{target, 8, contents.utf8, true};
        if (target == XCB_ATOM_STRING) return Conversion{XCB_ATOM_STRING, 8, contents.latin1, true};
        return std::nullopt;
    }

    // Writes the conversion to the requestor's property; whether it fitted into one request.
    bool write(xcb_window_t requestor, xcb_atom_t property, const Conversion& conversion) const {
        if (quint64(conversion.data.size()) > m_maxDataBytes) return false;
        const auto units = uint32_t(conversion.data.size() / (conversion.format / 8));
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, requestor, property, conversion.type,
                            conversion.format, units, conversion.data.constData());
        return true;
    }

    // What the answers to one request told the requestor.
    struct Outcome {
        bool sentText = false;
        bool toldClipboardTargets = false;
    };

    // Converts one target for the requestor into its property.
    bool answerTarget(const xcb_selection_request_event_t& request, xcb_atom_t target, xcb_atom_t property,
                      const Served& served, Outcome& outcome) {
        const std::optional<Conversion> conversion = convert(target, served);
        if (!conversion || !write(request.requestor, property, *conversion)) return false;
        outcome.sentText = outcome.sentText || conversion->isText;
        if (target == m_atoms[targetsAtom] && request.selection == m_atoms[clipboardAtom])
            outcome.toldClipboardTargets = true;
        return true;
    }

    // MULTIPLE: the requestor's property lists pairs of target and property; a pair that cannot be
    // converted gets None as its property (ICCCM 2.6.2).
    bool answerMultiple(const xcb_selection_request_event_t& request, xcb_atom_t property, const Served& served,
                        Outcome& outcome) {
        const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 0, request.requestor, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
            nullptr));
        if (!reply || reply->format != 32) return false;
        const auto* begin = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
        std::vector<xcb_atom_t> pairs(begin, begin + xcb_get_property_value_length(reply.get()) / 4);
        for (std::size_t i = 0; i + 1 < pairs.size(); i += 2) {
            const bool converted = pairs[i] != m_atoms[multipleAtom] && pairs[i + 1] != XCB_ATOM_NONE &&
                                   answerTarget(request, pairs[i], pairs[i + 1], served, outcome);
            if (!converted) pairs[i + 1] = XCB_ATOM_NONE;
        }
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request.requestor, property, reply->type, 32,
                            uint32_t(pairs.size()), pairs.data());
        return true;
    }

    // The held requests, looked at again under the gate as it stands now.
    void answerHeld() {
        std::vector<xcb_selection_request_event_t> held;
        {
            const std::lock_guard lock(m_mutex);
            held.swap(m_heldRequests);
            m_judgementAsked = false;
        }
        for (const xcb_selection_request_event_t& request : held)
            answer(request);
    }

    // The owner's verdict on the requests held for it: answered, or refused with every one after them.
    void answerJudged(bool give) {
        std::vector<xcb_selection_request_event_t> held;
        {
            const std::lock_guard lock(m_mutex);
            held.swap(m_heldRequests);
            m_judgementAsked = false;
            if (!give) {
                for (Served& served : m_served) {
                    if (served.gate == Gate::judged) served.gate = Gate::shut;
                }
            }
        }
        for (const xcb_selection_request_event_t& request : held)
            answer(request, give);
    }

    // Refuses the requests held for what the selection serves now, before anything else is served in
    // its place.
    void refuseHeld(Selection selection) {
        std::vector<xcb_selection_request_event_t> refused;
        {
            const std::lock_guard lock(m_mutex);
            const xcb_atom_t atom = atomOf(selection);
            const auto moved = std::stable_partition(m_heldRequests.begin(), m_heldRequests.end(),
                                                     [atom](const auto& request) { return request.selection != atom; });
            refused.assign(moved, m_heldRequests.end());
            m_heldRequests.erase(moved, m_heldRequests.end());
        }
        for (const xcb_selection_request_event_t& request : refused)
            answer(request, false);
    }

    // Whether a request for that target would carry the served contents (TARGETS and TIMESTAMP do not).
    bool carriesContents(xcb_atom_t target) const {
        return target != m_atoms[targetsAtom] && target != m_atoms[timestampAtom];
    }

    // `verdict`: answered as given, whatever the gate says.
    void answer(const xcb_selection_request_event_t& request, std::optional<bool> verdict = std::nullopt) {
        // An old client names no property: the target is the property then (ICCCM 2.2).
        const xcb_atom_t property = request.property != XCB_ATOM_NONE ? request.property : request.target;
        const std::optional<std::size_t> index = indexOfAtom(request.selection);
        Served served;
        bool held = false, askJudgement = false;
        if (index) {
            const std::lock_guard lock(m_mutex);
            served = m_served[*index];
            const bool waits =
                served.gate == Gate::held || (served.gate == Gate::judged && carriesContents(request.target));
            held = served.contents && request.owner == m_window && !verdict && waits;
            if (held) {
                m_heldRequests.push_back(request);
                askJudgement = served.gate == Gate::judged && !std::exchange(m_judgementAsked, true);
            }
        }
        if (askJudgement) Q_EMIT m_owner.judgementDue(served.number, request.requestor);
        if (held) return;
        bool answered = false;
        Outcome outcome;
        const bool refused =
            index && served.contents && request.owner == m_window && (verdict ? !*verdict : served.gate == Gate::shut);
        if (index && served.contents && !refused && request.owner == m_window) {
            answered = request.target == m_atoms[multipleAtom]
                           ? answerMultiple(request, property, served, outcome)
                           : answerTarget(request, request.target, property, served, outcome);
        }
        if (outcome.toldClipboardTargets) {
            const std::lock_guard lock(m_mutex);
            m_askedTargets.insert(clientOf(request.requestor));
        }
        xcb_selection_notify_event_t notify{};
        notify.response_type = XCB_SELECTION_NOTIFY;
        notify.time = request.time;
        notify.requestor = request.requestor;
        notify.selection = request.selection;
        notify.target = request.target;
        notify.property = answered ? property : xcb_atom_t(XCB_ATOM_NONE);
        xcb_send_event(m_connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&notify));
        xcb_flush(m_connection);
        // Told once the answer is on its way to the server.
        if ((outcome.sentText || refused) && index) {
            const std::lock_guard lock(m_mutex);
            Served& now = m_served[*index];
            if (now.contents && now.number == served.number) now.answeredSinceHold = true;
            m_answered.notify_all();
        }
        if (outcome.toldClipboardTargets) Q_EMIT m_owner.clipboardTargetsRequested();
        if (outcome.sentText) Q_EMIT m_owner.dataSent(served.number, request.requestor);
        if (refused) Q_EMIT m_owner.refused(served.number, request.requestor);
    }

    X11SelectionServer& m_owner;
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    quint32 m_idMask = 0;
    quint64 m_maxDataBytes = 0;
    std::array<xcb_atom_t, atomCount> m_atoms{};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;

    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<Claim>> m_claims;
    std::array<Served, 2> m_served;
    // Requests that came while the served contents were held, in their order.
    std::vector<xcb_selection_request_event_t> m_heldRequests;
    // The owner was asked for a verdict on the held requests and has not given it yet.
    bool m_judgementAsked = false;
    std::condition_variable m_answered;
    // The clients (by their id base) that asked for the clipboard's targets since its last claim.
    std::set<quint32> m_askedTargets;
};

X11SelectionServer::X11SelectionServer(QObject* parent) : QObject(parent), m_worker(std::make_unique<Worker>(*this)) {
    connect(this, &X11SelectionServer::clipboardTargetsRequested, this, [this] { m_targetsWaits.wakeAll(); });
}

X11SelectionServer::~X11SelectionServer() {
    // The thread ends before the signals it emits lose their object.
    m_worker.reset();
}

bool X11SelectionServer::isRunning() const {
    return m_worker->isRunning();
}

bool X11SelectionServer::claim(Selection selection, const QString& text, quint64 claimNumber) {
    return m_worker->claim(selection, text, claimNumber);
}

X11SelectionServer::Replacement X11SelectionServer::replace(Selection selection, quint64 claimNumber,
                                                            const QMap<QString, QByteArray>& contents,
                                                            quint64 newClaimNumber) {
    return m_worker->replace(selection, claimNumber, contents, newClaimNumber);
}

bool X11SelectionServer::release(Selection selection) {
    return m_worker->claim(selection, std::nullopt, 0);
}

bool X11SelectionServer::serves(Selection selection, quint64 claimNumber) const {
    return m_worker->serves(selection, claimNumber);
}

void X11SelectionServer::holdText(quint64 claimNumber) {
    m_worker->holdText(claimNumber);
}

void X11SelectionServer::letText(bool give) {
    m_worker->letText(give);
}

void X11SelectionServer::judgeText() {
    m_worker->judgeText();
}

void X11SelectionServer::judge(bool give) {
    m_worker->judge(give);
}

bool X11SelectionServer::awaitAnswer(quint64 claimNumber, std::chrono::milliseconds bound) {
    return m_worker->awaitAnswer(claimNumber, bound);
}

quint32 X11SelectionServer::ownerWindow() const {
    return m_worker->ownerWindow();
}

std::optional<QString> X11SelectionServer::servedText(Selection selection) const {
    return m_worker->servedText(selection);
}

QCoro::Task<bool> X11SelectionServer::targetsRequested(quint32 window, std::chrono::milliseconds limit,
                                                       std::stop_token stop) {
    const QDeadlineTimer deadline(limit);
    while (!m_worker->hasAskedTargets(window)) {
        if (stop.stop_requested()) throw CancellationError();
        // Nobody can ask a server that is not running.
        const qint64 left = m_worker->isRunning() ? deadline.remainingTime() : 0;
        if (left <= 0) co_return false;
        // A named task: no temporary inside the co_await (GCC 12).
        QCoro::Task<void> pause = m_targetsWaits.sleep(double(left) / 1000.0, stop);
        co_await pause;
    }
    co_return true;
}

}  // namespace quorvelle
