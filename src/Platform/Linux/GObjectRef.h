#pragma once

#include <glib-object.h>

namespace quorvelle {

// Owns one GObject reference (libatspi hands out interfaces and state sets this way) and drops it on
// scope exit.
template <typename T>
class GObjectRef {
public:
    explicit GObjectRef(T* adopted = nullptr) : m_object(adopted) {}
    ~GObjectRef() {
        if (m_object) g_object_unref(m_object);
    }
    GObjectRef(const GObjectRef&) = delete;
    GObjectRef& operator=(const GObjectRef&) = delete;

    T* get() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object;
};

}  // namespace quorvelle
