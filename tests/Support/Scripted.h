#pragma once

#include <deque>
#include <exception>
#include <utility>
#include <variant>

namespace quorvelle::test {

// The answers of one faked call: queued answers first (values or failures), then the fallback
// value for every later call.
template <typename T>
class Scripted {
public:
    explicit Scripted(T fallback = T{}) : m_fallback(std::move(fallback)) {}

    void setFallback(T value) { m_fallback = std::move(value); }
    // Forgets the queued answers; the fallback stays.
    void clear() { m_queue.clear(); }
    void push(T value) { m_queue.emplace_back(std::move(value)); }
    template <typename E>
    void pushFailure(E error) {
        m_queue.emplace_back(std::make_exception_ptr(std::move(error)));
    }

    T next() {
        if (m_queue.empty()) return m_fallback;
        auto answer = std::move(m_queue.front());
        m_queue.pop_front();
        if (auto* failure = std::get_if<std::exception_ptr>(&answer)) std::rethrow_exception(*failure);
        return std::get<T>(std::move(answer));
    }

private:
    T m_fallback;
    std::deque<std::variant<T, std::exception_ptr>> m_queue;
};

// The same for calls without a result: each queued entry is a failure or a plain success; without
// one, every call fails as set by failAlways (or succeeds).
class ScriptedOutcome {
public:
    void pushSuccess() { m_queue.emplace_back(nullptr); }
    template <typename E>
    void pushFailure(E error) {
        m_queue.emplace_back(std::make_exception_ptr(std::move(error)));
    }
    template <typename E>
    void failAlways(E error) {
        m_always = std::make_exception_ptr(std::move(error));
    }

    void next() {
        std::exception_ptr failure = m_always;
        if (!m_queue.empty()) {
            failure = m_queue.front();
            m_queue.pop_front();
        }
        if (failure) std::rethrow_exception(failure);
    }

private:
    std::deque<std::exception_ptr> m_queue;
    std::exception_ptr m_always;
};

}  // namespace quorvelle::test
