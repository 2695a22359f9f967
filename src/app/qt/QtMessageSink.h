#pragma once
// The core's message boxes as Qt message boxes over the active window.
#include "common/Messages.h"

namespace kel {

class QtMessageSink : public MessageSink {
public:
    // "Debug" boxes block the whole program; plain boxes carry the program's
    // caption. Either shows the arrow cursor while it waits, even inside a
    // busy command.
    void Show(std::string_view caption, std::string_view text) override;
};

}  // namespace kel
