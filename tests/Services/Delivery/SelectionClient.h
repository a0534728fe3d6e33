#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QtGlobal>

#include <optional>

struct xcb_connection_t;

namespace quorvelle::test {

// Another application on the display, on an X connection of its own: it reads selections as a paste
// does and takes them as a copy does. Any one thread at a time; it never needs our event loop.
class SelectionClient {
public:
    // What the owner answered to a conversion: the property's type and data, or a refusal.
    struct Answer {
        bool refused = true;
        QByteArray type;
        QByteArray data;
    };

    SelectionClient();
    ~SelectionClient();
    SelectionClient(const SelectionClient&) = delete;
    SelectionClient& operator=(const SelectionClient&) = delete;

    quint32 window() const { return m_window; }

    // Asks the selection's owner for `target`; none when no answer came within the limit.
    std::optional<Answer> read(const char* selection, const char* target, int limitMs = 3000);
    // Asks for several targets in one MULTIPLE request; per target, its data or none (refused).
    std::optional<QList<std::optional<QByteArray>>> readMultiple(const char* selection,
                                                                 const QList<QByteArray>& targets, int limitMs = 3000);
    // Names of the atoms of a TARGETS answer.
    QList<QByteArray> atomNames(const QByteArray& atomList);
    // Becomes the selection's owner, stamped with a fresh server time; answers nobody.
    bool take(const char* selection);
    // The server's time now, as the key press a copy answers carries.
    std::optional<quint32> serverTime();
    // Becomes the selection's owner, stamped with that time; answers nobody.
    bool takeAt(const char* selection, quint32 time);
    // Whether it owns the selection now.
    bool owns(const char* selection);
    // As a clipboard manager that hung (once it took CLIPBOARD_MANAGER): whether it was asked to keep
    // the clipboard within the limit. It never answers.
    bool askedToKeepClipboard(int limitMs);
    // As a clipboard manager (once it took CLIPBOARD_MANAGER): when asked to keep the clipboard,
    // reads its text and says it kept it. The text read, or none when nobody asked within the limit.
    std::optional<QByteArray> keepClipboardWhenAsked(int limitMs);

private:
    quint32 atom(const char* name);
    std::optional<quint32> awaitNotification(int limitMs);
    QByteArray takeProperty(quint32 property, QByteArray* type = nullptr);

    xcb_connection_t* m_connection = nullptr;
    quint32 m_window = 0;
};

}  // namespace quorvelle::test
