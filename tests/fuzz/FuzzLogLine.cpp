// Any text, from any source (a path, a driver helper's line, a system message), makes exactly one
// log line within the length limit, and a system message one line too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/LogLine.h"
#include "base/TextConversion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string line = tessel::FormatLogLine({2024, 3, 5, 7, 8, 9, 45}, 42, text);
    // The stamp, "[42] ", the text (cut with its mark) and CR LF.
    constexpr size_t kFrame = 24 + 5 + 2;
    if (line.size() > kFrame + tessel::kMaxLogTextBytes || line.find('\n') != line.size() - 1 ||
        line.find('\r') != line.size() - 2) {
        std::abort();
    }
    const std::wstring message = tessel::TrimSystemMessage(tessel::Utf8ToWide(text));
    if (message.find_first_of(L"\r\n") != std::wstring::npos ||
        (!message.empty() && (message.front() == L' ' || message.back() == L' '))) {
        std::abort();
    }
    return 0;
}
