#pragma once

#include <QString>

namespace quorvelle {

inline constexpr const char* kApplicationIdentifier = "com.dovent.Quorvelle";

// Where the program keeps its files on this machine (XDG base directories).
namespace AppPaths {

// $XDG_CONFIG_HOME/com.dovent.Quorvelle (the user defaults live here).
QString configDirectory();

// $XDG_DATA_HOME/com.dovent.Quorvelle (history, local models).
QString applicationSupportDirectory();

// A folder only this user can enter (mode 0700): $XDG_RUNTIME_DIR/com.dovent.Quorvelle, else the
// cache folder. Created on demand; an empty string when it cannot be made private.
QString privateTemporaryDirectory();

}  // namespace AppPaths
}  // namespace quorvelle
