#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace tessel {

// Writes all of `bytes` at the file's position. Returns ERROR_SUCCESS, or the error of the failing
// call; a short write the system reported no error for counts as a full disk.
DWORD WriteAll(HANDLE file, std::span<const uint8_t> bytes);

}  // namespace tessel
