#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessel {

// What the progress monitor does with one text taken out of the channel. The silent installer
// writes compact JSON objects such as {"Name":"InstallSilence","Style":1,"Param":40}.
struct ProgressAction {
    enum class Kind {
        Ignore,          // consumed without a window message
        StopMonitor,     // not JSON, or a foreign sender: the monitor stops following the channel
        Send,            // send `message` and wait until the window has handled it
        Post,            // post `message`
        PostDriverLine,  // post WM_INSTALL_DRIVER carrying a heap copy of `driverLine`
    };
    Kind kind = Kind::Ignore;
    uint32_t message = 0;
    intptr_t wParam = 0;
    std::string driverLine;
};

inline constexpr char kProgressSenderName[] = "InstallSilence";

// Decides on one message. Never fails: texts that are JSON but break the message rules (a root that
// is no object, a "Name" that is no string, a missing or non-32-bit-integer "Style", a missing or
// wrongly typed "Param" or "sParam" where the Style needs one) are ignored, so one bad message
// cannot end the following of an installation. Invalid JSON and a "Name" other than
// "InstallSilence" (case matters) stop the monitor.
ProgressAction InterpretProgressMessage(std::string_view text);

}  // namespace tessel
