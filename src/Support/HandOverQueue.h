// HandOverQueue: values handed from any thread to one worker thread without a lock. A lock the
// worker shares, however briefly it holds it, makes the thread that hands over wait for as long as
// the system keeps the worker off the processor, which on a busy machine is tens of milliseconds;
// here handing over is a single atomic exchange (and, when the worker may sleep, a semaphore post).
#pragma once

#include <semaphore.h>

#include <atomic>
#include <cerrno>
#include <utility>
#include <vector>

namespace quorvelle {

template <typename T>
class HandOverQueue {
public:
    HandOverQueue() { ::sem_init(&m_wake, 0, 0); }
    ~HandOverQueue() {
        release(m_head.exchange(nullptr, std::memory_order_acquire));
        ::sem_destroy(&m_wake);
    }
    HandOverQueue(const HandOverQueue&) = delete;
    HandOverQueue& operator=(const HandOverQueue&) = delete;

    // Never waits.
    void push(T value) {
        auto* node = new Node{std::move(value), nullptr};
        Node* head = m_head.load(std::memory_order_relaxed);
        do {
            node->next = head;
        } while (!m_head.compare_exchange_weak(head, node, std::memory_order_release, std::memory_order_relaxed));
        // Once in the queue the node is the worker's, who may have taken and freed it already: only
        // what was there before it is looked at. The worker sleeps only once it found the queue
        // empty: the first value after that wakes it.
        if (!head) wake();
    }

    // Everything handed over so far, in the order it was handed over, leaving the queue empty.
    std::vector<T> takeAll() {
        Node* node = m_head.exchange(nullptr, std::memory_order_acquire);
        // The newest is in front: turned around into the order of handing over.
        Node* oldestFirst = nullptr;
        std::size_t count = 0;
        while (node) {
            Node* next = node->next;
            node->next = oldestFirst;
            oldestFirst = node;
            node = next;
            ++count;
        }
        std::vector<T> values;
        values.reserve(count);
        while (oldestFirst) {
            Node* next = oldestFirst->next;
            values.push_back(std::move(oldestFirst->value));
            delete oldestFirst;
            oldestFirst = next;
        }
        return values;
    }

    bool empty() const { return m_head.load(std::memory_order_acquire) == nullptr; }

    // For the worker: returns once something may have been handed over since the queue was last
    // found empty, or after wake(). It may return with nothing there.
    void wait() {
        while (::sem_wait(&m_wake) != 0 && errno == EINTR) {
        }
    }
    // Lets the worker's wait() return, to see a change of its own state (a stop).
    void wake() { ::sem_post(&m_wake); }

private:
    struct Node {
        T value;
        Node* next;
    };

    static void release(Node* node) {
        while (node) {
            Node* next = node->next;
            delete node;
            node = next;
        }
    }

    // The newest value first.
    std::atomic<Node*> m_head = nullptr;
    sem_t m_wake;
};

}  // namespace quorvelle
