#pragma once

#include <glib-object.h>

namespace quorvelle {

// Owns one GObject reference (libatspi hands out interfaces and state sets this way) and drops it on
// scope exit.
template <typename T>
class GObjectRef {
public:
    explicit GObjectRef(T* adopted = nullptr) : object_(adopted) {}
    ~GObjectRef() {
        if (object_) g_object_unref(object_);
    }
    GObjectRef(const GObjectRef&) = delete;
    GObjectRef& operator=(const GObjectRef&) = delete;

    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_;
};

}  // namespace quorvelle
