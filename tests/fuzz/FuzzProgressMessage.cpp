// One text taken out of the progress channel, as the monitor decides on it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/ProgressMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)tessel::InterpretProgressMessage(
        std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
