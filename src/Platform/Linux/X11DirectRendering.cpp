#include "Platform/Linux/X11DirectRendering.h"

#include "Platform/Linux/X11Connection.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace quorvelle::X11DirectRendering {

namespace {

bool hasExtension(xcb_connection_t* connection, const char* name) {
    std::unique_ptr<xcb_query_extension_reply_t, decltype(&std::free)> reply(
        xcb_query_extension_reply(connection, xcb_query_extension(connection, uint16_t(std::strlen(name)), name),
                                  nullptr),
        &std::free);
    return reply && reply->present;
}

}  // namespace

bool isAvailable() {
    xcb_connection_t* connection = X11Connection::connection();
    return connection && (hasExtension(connection, "DRI3") || hasExtension(connection, "DRI2"));
}

}  // namespace quorvelle::X11DirectRendering
