#pragma once

#include <stdexcept>

namespace quorvelle {

// The paste keys went out, but a Tab or a click reached the application before them: the focus may
// have left the field the last look found, so the words were refused to the paste they started.
class PasteKeysOvertaken : public std::runtime_error {
public:
    PasteKeysOvertaken() : std::runtime_error("a press that may move the focus came before the paste keys") {}
};

}  // namespace quorvelle
