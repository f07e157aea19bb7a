// Image descriptions and a control's modifier (the input split at its first zero byte), parsed at
// a display scale taken from the first byte.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/TextConversion.h"
#include "ui/ImageDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const int scale = 50 + data[0] * 2;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t split = text.find('\0');
    const std::wstring description = tessel::Utf8ToWide(text.substr(0, split));
    const std::wstring modifier = split == std::string_view::npos
                                      ? std::wstring()
                                      : tessel::Utf8ToWide(text.substr(split + 1));
    tessel::ImageDrawSpec spec;
    spec.Parse(description, modifier, scale);
    return 0;
}
