#pragma once

#include <QString>

typedef struct _AtspiAccessible AtspiAccessible;
typedef struct _GError GError;

namespace quorvelle {

// The process's link to the accessibility bus through libatspi.
namespace AtspiConnection {

// Every AT-SPI call blocks on another process; a responsive application answers in well under a
// millisecond, so a short limit keeps a hung one from freezing us.
inline constexpr int kCallTimeoutMs = 250;

// Initialises libatspi once with the short call timeout. False when the accessibility bus cannot
// be reached.
bool ensureInitialised();

// For the life of the scope, calls that block on another application give up after `milliseconds`:
// where an application may be held up by us, a short look that fails is better than a long one.
class CallTimeoutScope {
public:
    explicit CallTimeoutScope(int milliseconds);
    ~CallTimeoutScope();
    CallTimeoutScope(const CallTimeoutScope&) = delete;
    CallTimeoutScope& operator=(const CallTimeoutScope&) = delete;
};

// Whether the object's application answers a question about it within the call timeout now, asked
// afresh: libatspi keeps some answers, and may give one without asking.
bool answers(AtspiAccessible* accessible);

}  // namespace AtspiConnection

// Owns the GError of one libatspi call.
class AtspiCallError {
public:
    AtspiCallError() = default;
    ~AtspiCallError();
    AtspiCallError(const AtspiCallError&) = delete;
    AtspiCallError& operator=(const AtspiCallError&) = delete;

    // Clears a previous error and hands out the slot for the next call.
    GError** slot();
    bool failed() const { return m_error != nullptr; }
    // The application did not answer in time (as opposed to refusing or lacking the request).
    bool timedOut() const;
    QString message() const;

private:
    GError* m_error = nullptr;
};

}  // namespace quorvelle
