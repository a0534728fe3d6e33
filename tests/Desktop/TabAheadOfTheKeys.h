#pragma once

#include <chrono>
#include <optional>

namespace quorvelle::test {

// A Tab that reaches the X server after the app's last look at the focus and ahead of its paste keys,
// as it does when a busy machine pauses the app in between. Armed, the next key press this program
// posts through XTest (the app's chord once its look let the keys go) is preceded by a Tab sent from
// a connection of its own and handled by the server first. Linking this file puts its
// XTestFakeKeyEvent in place of libXtst's for the whole program.
namespace TabAheadOfTheKeys {

void arm(bool armed);
// How many Tabs went ahead of keys so far.
int sent();
// When this program first posted a press of the key of that X name ("Control_L") at or after
// `since`, as its call began: the app's own paste keys, for a race judged from outside.
std::optional<std::chrono::steady_clock::time_point> pressedAfter(const char* keyName,
                                                                  std::chrono::steady_clock::time_point since);

}  // namespace TabAheadOfTheKeys
}  // namespace quorvelle::test
