#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <utility>

namespace quorvelle {

// Holds the latest value and hands every new one to its subscribers, on the thread that sends it.
// Subscribers that live on another thread must hop there themselves. Sending never holds the lock
// while a subscriber runs, so a subscriber may send or unsubscribe.
template <typename T>
class CurrentValueSubject {
public:
    using Subscriber = std::function<void(const T&)>;
    using Token = unsigned long;

    explicit CurrentValueSubject(T initial) : value_(std::move(initial)) {}

    T value() const {
        std::lock_guard guard(mutex_);
        return value_;
    }

    void send(const T& value) {
        std::map<Token, Subscriber> receivers;
        {
            std::lock_guard guard(mutex_);
            value_ = value;
            receivers = subscribers_;
        }
        for (auto& [token, receiver] : receivers) receiver(value);
    }

    // The subscriber receives the current value at once, then every value sent.
    Token subscribe(Subscriber subscriber) {
        T current;
        Token token;
        {
            std::lock_guard guard(mutex_);
            token = ++lastToken_;
            subscribers_.emplace(token, subscriber);
            current = value_;
        }
        subscriber(current);
        return token;
    }

    void unsubscribe(Token token) {
        std::lock_guard guard(mutex_);
        subscribers_.erase(token);
    }

private:
    mutable std::mutex mutex_;
    T value_;
    std::map<Token, Subscriber> subscribers_;
    Token lastToken_ = 0;
};

}  // namespace quorvelle
