// An archive entry name (read as UTF-8) mapped onto a path under the install folder.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/TextConversion.h"
#include "silent/ArchiveEntryPath.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring name =
        tessel::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
    if (const auto target = tessel::ResolveEntryPath(name)) {
        // What was accepted must be accepted again, unchanged: the mapping is idempotent.
        const auto again = tessel::ResolveEntryPath(target->relativePath);
        if (!again || again->relativePath != target->relativePath) {
            __builtin_trap();
        }
    }
    return 0;
}
