#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tessel {

// Where the `size` bytes at `address` inside the loaded image `module` lie in the module's file,
// from its section table: nothing when the module's headers are not those of a PE image, or the
// bytes are not wholly inside the file data of one section (headers, zero-filled memory, or
// outside the image).
std::optional<uint64_t> ImageFileOffset(HMODULE module, const void* address, size_t size);

}  // namespace tessel
