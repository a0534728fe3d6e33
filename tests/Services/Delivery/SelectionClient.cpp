#include "SelectionClient.h"

#include <xcb/xcb.h>

#include <poll.h>

#include <QDeadlineTimer>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace quorvelle::test {

namespace {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};

// The first event of that type within the limit; the others before it are dropped.
std::unique_ptr<xcb_generic_event_t, FreeDeleter> nextEvent(xcb_connection_t* connection, quint8 type, int limitMs) {
    const QDeadlineTimer deadline(limitMs);
    while (true) {
        while (std::unique_ptr<xcb_generic_event_t, FreeDeleter> event{xcb_poll_for_event(connection)}) {
            if ((event->response_type & 0x7f) == type) return event;
        }
        if (xcb_connection_has_error(connection) || deadline.hasExpired()) return nullptr;
        pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
        poll(&descriptor, 1, int(std::max<qint64>(1, deadline.remainingTime())));
    }
}

}  // namespace

SelectionClient::SelectionClient() : m_connection(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(m_connection)) return;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    m_window = xcb_generate_id(m_connection);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    xcb_flush(m_connection);
}

SelectionClient::~SelectionClient() {
    xcb_disconnect(m_connection);
}

quint32 SelectionClient::atom(const char* name) {
    const std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> reply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : 0;
}

QList<QByteArray> SelectionClient::atomNames(const QByteArray& atomList) {
    QList<QByteArray> names;
    const auto* atoms = reinterpret_cast<const xcb_atom_t*>(atomList.constData());
    for (qsizetype i = 0; i < atomList.size() / qsizetype(sizeof(xcb_atom_t)); ++i) {
        const std::unique_ptr<xcb_get_atom_name_reply_t, FreeDeleter> reply(
            xcb_get_atom_name_reply(m_connection, xcb_get_atom_name(m_connection, atoms[i]), nullptr));
        if (reply)
            names.append(QByteArray(xcb_get_atom_name_name(reply.get()), xcb_get_atom_name_name_length(reply.get())));
    }
    return names;
}

// The property of the next selection notification within the limit.
std::optional<quint32> SelectionClient::awaitNotification(int limitMs) {
    const auto event = nextEvent(m_connection, XCB_SELECTION_NOTIFY, limitMs);
    if (!event) return std::nullopt;
    return reinterpret_cast<const xcb_selection_notify_event_t*>(event.get())->property;
}

QByteArray SelectionClient::takeProperty(quint32 property, QByteArray* type) {
    const std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> reply(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 1, m_window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 64 * 1024 * 1024),
        nullptr));
    if (!reply) return {};
    if (type) *type = atomNames(QByteArray(reinterpret_cast<const char*>(&reply->type), sizeof reply->type)).value(0);
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

std::optional<SelectionClient::Answer> SelectionClient::read(const char* selection, const char* target, int limitMs) {
    const quint32 property = atom("_QUORVELLE_TEST_READ");
    xcb_convert_selection(m_connection, m_window, atom(selection), atom(target), property, XCB_CURRENT_TIME);
    xcb_flush(m_connection);
    const std::optional<quint32> answered = awaitNotification(limitMs);
    if (!answered) return std::nullopt;
    Answer answer;
    if (*answered == XCB_ATOM_NONE) return answer;
    answer.refused = false;
    answer.data = takeProperty(*answered, &answer.type);
    return answer;
}

std::optional<QList<std::optional<QByteArray>>> SelectionClient::readMultiple(const char* selection,
                                                                              const QList<QByteArray>& targets,
                                                                              int limitMs) {
    std::vector<xcb_atom_t> pairs;
    for (qsizetype i = 0; i < targets.size(); ++i) {
        pairs.push_back(atom(targets[i].constData()));
        pairs.push_back(atom(QByteArray("_QUORVELLE_TEST_PART_" + QByteArray::number(i)).constData()));
    }
    const quint32 property = atom("_QUORVELLE_TEST_MULTIPLE");
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window, property, atom("ATOM_PAIR"), 32,
                        uint32_t(pairs.size()), pairs.data());
    xcb_convert_selection(m_connection, m_window, atom(selection), atom("MULTIPLE"), property, XCB_CURRENT_TIME);
    xcb_flush(m_connection);
    const std::optional<quint32> answered = awaitNotification(limitMs);
    if (!answered || *answered == XCB_ATOM_NONE) return std::nullopt;
    const QByteArray written = takeProperty(*answered);
    const auto* answeredPairs = reinterpret_cast<const xcb_atom_t*>(written.constData());
    QList<std::optional<QByteArray>> parts;
    for (qsizetype i = 0; i < targets.size() && 2 * i + 1 < written.size() / 4; ++i) {
        if (answeredPairs[2 * i + 1] == XCB_ATOM_NONE) {
            parts.append(std::nullopt);
        } else {
            parts.append(takeProperty(answeredPairs[2 * i + 1]));
        }
    }
    return parts;
}

bool SelectionClient::take(const char* selection) {
    const std::optional<quint32> time = serverTime();
    return time && takeAt(selection, *time);
}

std::optional<quint32> SelectionClient::serverTime() {
    // A zero-length append gives the server's time in its notification (ICCCM 2.1).
    const quint32 probe = atom("_QUORVELLE_TEST_TIME");
    xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, m_window, probe, XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(m_connection);
    while (const auto event = nextEvent(m_connection, XCB_PROPERTY_NOTIFY, 3000)) {
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
        if (notify->atom == probe) return notify->time;
    }
    return std::nullopt;
}

bool SelectionClient::takeAt(const char* selection, quint32 time) {
    const xcb_atom_t selectionAtom = atom(selection);
    xcb_set_selection_owner(m_connection, m_window, selectionAtom, time);
    const std::unique_ptr<xcb_get_selection_owner_reply_t, FreeDeleter> reply(
        xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, selectionAtom), nullptr));
    return reply && reply->owner == m_window;
}

}  // namespace quorvelle::test

namespace quorvelle::test {

bool SelectionClient::owns(const char* selection) {
    const xcb_atom_t selectionAtom = atom(selection);
    const std::unique_ptr<xcb_get_selection_owner_reply_t, FreeDeleter> reply(
        xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, selectionAtom), nullptr));
    return reply && reply->owner == m_window;
}

bool SelectionClient::askedToKeepClipboard(int limitMs) {
    const quint32 saveTargets = atom("SAVE_TARGETS");
    const QDeadlineTimer deadline(limitMs);
    while (const auto event = nextEvent(m_connection, XCB_SELECTION_REQUEST, int(deadline.remainingTime()))) {
        if (reinterpret_cast<const xcb_selection_request_event_t*>(event.get())->target == saveTargets) return true;
    }
    return false;
}

std::optional<QByteArray> SelectionClient::keepClipboardWhenAsked(int limitMs) {
    const quint32 saveTargets = atom("SAVE_TARGETS");
    const QDeadlineTimer deadline(limitMs);
    while (const auto event = nextEvent(m_connection, XCB_SELECTION_REQUEST, int(deadline.remainingTime()))) {
        const auto request = *reinterpret_cast<const xcb_selection_request_event_t*>(event.get());
        if (request.target != saveTargets) continue;
        const std::optional<Answer> kept = read("CLIPBOARD", "UTF8_STRING");
        xcb_selection_notify_event_t notify{};
        notify.response_type = XCB_SELECTION_NOTIFY;
        notify.time = request.time;
        notify.requestor = request.requestor;
        notify.selection = request.selection;
        notify.target = request.target;
        notify.property = request.property;
        xcb_send_event(m_connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&notify));
        xcb_flush(m_connection);
        if (!kept || kept->refused) return std::nullopt;
        return kept->data;
    }
    return std::nullopt;
}

}  // namespace quorvelle::test
