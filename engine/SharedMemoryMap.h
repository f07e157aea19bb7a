#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "engine/KernelHandles.h"

namespace tessel {

// Size of every named block, the same constant in the installer and the silent installer.
inline constexpr uint32_t kMappingSize = 102'400'000;

// One named file mapping and its view of the whole block. Members die in reverse order: the view
// is unmapped before its mapping handle is closed.
struct SharedMemoryEntry {
    std::string name;
    UniqueHandle mapping;
    UniqueMapView view;
};

// A registry of named paging-file blocks, owned by one thread (no locks). Each block holds one
// zero-terminated 8-bit text at offset 0; a zero byte there is the empty text. Whichever process
// opens a name first creates the block; the other opens the same bytes. The registry owns every
// handle and view it registered and releases them, in the order opened, when destroyed.
class CSharedMemoryMap {
public:
    CSharedMemoryMap() = default;
    ~CSharedMemoryMap();
    CSharedMemoryMap(const CSharedMemoryMap&) = delete;
    CSharedMemoryMap& operator=(const CSharedMemoryMap&) = delete;

    // Opens the block `name`, creating it when no process has it yet, and maps all of it. Returns
    // the view, or null when neither opening nor creating nor mapping worked; nothing is registered
    // then, so reads of the name stay empty and writes do nothing. Opening a name twice registers
    // two views of the same block.
    void* Open(const std::string& name);

    // Copies `text` up to its first zero byte, and a terminating zero, to offset 0 of every view
    // registered under `name` (exact, case-sensitive). The empty text clears the channel. The first
    // byte is stored last, so a reader polling the block never sees a half-written text. A text
    // that does not fit the block with its terminator writes nothing; false then, or when no view
    // has that name.
    bool Write(const std::string& name, std::string_view text);

    // The text at offset 0 of the first view registered under `name`; empty for an unknown name.
    // A block holding no zero byte at all holds no complete message: that also reads as empty.
    std::string Read(const std::string& name) const;

private:
    int32_t m_nextSequence = 0;
    std::map<int32_t, SharedMemoryEntry> m_entries;
};

}  // namespace tessel
