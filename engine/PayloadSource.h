#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>

#include "base/KernelHandles.h"

namespace tessel {

// The payload resource's bytes, read a piece at a time. They come from the module's own file
// where the resource lies in it (found from the section table, and its first and last bytes
// checked against the mapped resource): read that way the pages of the mapped image are never
// touched, so they never join the working set (Windows counts the image pages a process touches;
// Wine reads an image whose sections are not page-aligned in its file into private memory). Where
// the file cannot be opened or does not hold the resource, the mapped resource itself is read.
//
// The file is no less to be trusted than the mapping: Windows refuses writes to the file of a
// running image, and whoever could rename it and put another in its place could as well have
// replaced the installer before it was started.
class PayloadSource {
public:
    PayloadSource(HMODULE module, std::span<const uint8_t> resource);

    uint64_t Size() const { return m_resource.size(); }
    // True when the bytes come from the file rather than the mapped image.
    bool ReadsFile() const { return static_cast<bool>(m_file); }
    // Fills `out` with the bytes from `offset` on (the range lies within Size()): ERROR_SUCCESS or
    // the failing call's error code.
    DWORD Read(uint64_t offset, std::span<uint8_t> out) const;

private:
    DWORD ReadFromFile(uint64_t offset, std::span<uint8_t> out) const;

    std::span<const uint8_t> m_resource;
    UniqueFileHandle m_file;    // empty: read from m_resource
    uint64_t m_fileOffset = 0;  // of the resource's first byte
};

}  // namespace tessel
