#pragma once

#include "Support/CurrentValueSubject.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

namespace quorvelle {

// A subscription to a CurrentValueSubject whose values reach the receiver on the receiver's thread,
// each one on a later turn of that thread's event loop, whichever thread sent it. Nothing is
// delivered once the receiver is gone or the subscription is destroyed (which unsubscribes).
template <typename T>
class QueuedSubscription {
public:
    using Handler = std::function<void(const T&)>;

    QueuedSubscription(CurrentValueSubject<T>& subject, QObject* receiver, Handler handler)
        : m_subject(subject), m_active(std::make_shared<bool>(true)) {
        QPointer<QObject> target(receiver);
        std::weak_ptr<bool> active = m_active;
        auto shared = std::make_shared<Handler>(std::move(handler));
        m_token = m_subject.subscribe([target, active, shared](const T& value) {
            if (!target) return;
            QMetaObject::invokeMethod(
                target.data(),
                [active, shared, value] {
                    if (active.lock()) (*shared)(value);
                },
                Qt::QueuedConnection);
        });
    }

    ~QueuedSubscription() {
        m_active.reset();
        m_subject.unsubscribe(m_token);
    }

    QueuedSubscription(const QueuedSubscription&) = delete;
    QueuedSubscription& operator=(const QueuedSubscription&) = delete;

private:
    CurrentValueSubject<T>& m_subject;
    std::shared_ptr<bool> m_active;
    typename CurrentValueSubject<T>::Token m_token = 0;
};

}  // namespace quorvelle
