#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <utility>

namespace quorvelle {

// Holds the latest value and hands every new one to its subscribers, on the thread that sends it.
// Subscribers that live on another thread must hop there themselves, without waiting on that thread.
//
// Deliveries are serialised, and unsubscribe() waits for a delivery in progress: once it returns,
// the subscriber is never called again, so its owner may go away. A subscriber may send,
// subscribe or unsubscribe from inside its own call.
template <typename T>
class CurrentValueSubject {
public:
    using Subscriber = std::function<void(const T&)>;
    using Token = unsigned long;

    explicit CurrentValueSubject(T initial) : m_value(std::move(initial)) {}

    T value() const {
        std::lock_guard guard(m_valueMutex);
        return m_value;
    }

    void send(const T& value) {
        std::lock_guard delivering(m_deliveryMutex);
        {
            std::lock_guard guard(m_valueMutex);
            m_value = value;
        }
        const std::map<Token, Subscriber> receivers = m_subscribers;
        for (const auto& [token, receiver] : receivers) {
            // One that unsubscribed during this delivery is skipped.
            if (m_subscribers.count(token) != 0) receiver(value);
        }
    }

    // The subscriber receives the current value at once, then every value sent.
    Token subscribe(Subscriber subscriber) {
        std::lock_guard delivering(m_deliveryMutex);
        const Token token = ++m_lastToken;
        m_subscribers.emplace(token, subscriber);
        subscriber(value());
        return token;
    }

    void unsubscribe(Token token) {
        std::lock_guard delivering(m_deliveryMutex);
        m_subscribers.erase(token);
    }

private:
    mutable std::mutex m_valueMutex;
    T m_value;
    // Held for a whole delivery; recursive so a subscriber can act on the subject from its call.
    std::recursive_mutex m_deliveryMutex;
    std::map<Token, Subscriber> m_subscribers;
    Token m_lastToken = 0;
};

}  // namespace quorvelle
