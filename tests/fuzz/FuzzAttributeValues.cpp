// Every attribute-value reader of the markup on the same text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/TextConversion.h"
#include "ui/AttributeText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring text =
        tessel::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
    size_t consumed = 0;
    (void)tessel::ParseInt(text, &consumed);
    (void)tessel::ParseIntList(text);
    (void)tessel::ParseRect(text);
    (void)tessel::ParseSize(text);
    (void)tessel::ParseRealList(text);
    (void)tessel::ParseColor(text);
    (void)tessel::ParseBool(text);
    (void)tessel::ExpandLineBreaks(text);
    (void)tessel::ToLowerAscii(text);
    tessel::ForEachAttributePair(text, [](std::wstring_view, std::wstring_view) {});
    return 0;
}
