// The silent installer's fields (the input's lines, read as UTF-8) as its start reads them.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/TextConversion.h"
#include "silent/SilentArguments.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::wstring> fields;
    for (size_t end; (end = text.find('\n')) != std::string_view::npos;
         text.remove_prefix(end + 1)) {
        fields.push_back(tessel::Utf8ToWide(text.substr(0, end)));
    }
    fields.push_back(tessel::Utf8ToWide(text));
    (void)tessel::ParseSilentArguments(fields);
    return 0;
}
