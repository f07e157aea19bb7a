// The driver helper's byte stream, cut into pipe reads at the sizes the first byte gives, then
// each line classified and shown as the install window would show it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/DriverStepText.h"
#include "silent/DriverLineSplitter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const size_t chunk = 1 + data[0];
    std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);
    tessel::DriverLineSplitter splitter;
    while (!stream.empty()) {
        const std::string_view piece = stream.substr(0, chunk);
        stream.remove_prefix(piece.size());
        for (const std::string& line : splitter.Feed(piece)) {
            const tessel::DriverLine classified = tessel::ClassifyDriverLine(line);
            if (classified.kind == tessel::DriverLine::Kind::Progress) {
                (void)tessel::ParseDriverStep(classified.progress);
            }
        }
    }
    return 0;
}
