#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "base/KernelHandles.h"

namespace tessel {

// Size of every block this program creates, the same constant in the installer and the silent
// installer. A block another program created first under the same name may be smaller.
inline constexpr uint32_t kMappingSize = 102'400'000;

// One named file mapping and its view of the whole block. Members die in reverse order: the view
// is unmapped before its mapping handle is closed.
struct SharedMemoryEntry {
    std::string name;
    UniqueHandle mapping;
    UniqueMapView view;
    size_t viewSize = 0;  // as the system mapped it, asked of the view itself
};

// A registry of named paging-file blocks, owned by one thread (no locks). Each block holds one
// zero-terminated 8-bit text at offset 0; a zero byte there is the empty text. The last four bytes
// of the block count the writes, so that a reader can tell a text rewritten while it copied it.
// Whichever process opens a name first creates the block; the other opens the same bytes. The
// registry owns every handle and view it registered and releases them, in the order opened, when
// destroyed.
//
// As a channel: the writer writes a text only into the empty block, the reader clears the block
// once it has read a whole text (Take). Nothing reads or writes past a view's real size, whoever
// created the block.
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
    // byte is cleared first and stored last, and the write count steps before and after, so a
    // reader never takes a half-written text for a whole one. A text that does not fit a view with
    // its terminator in front of the write count is not written to it; false when no view took the
    // text.
    bool Write(const std::string& name, std::string_view text);

    // The whole text at offset 0 of the first view registered under `name`; empty for an unknown
    // name, for a block without a zero byte in front of the write count, and for a text that was
    // being written or changed while it was copied (a writer that stopped waiting for the reader):
    // that one is read on a later call.
    std::string Read(const std::string& name) const;

    // Read, and when that found a whole text, the channel cleared for the writer's next one. A
    // text the reader could not read whole is left where it is.
    std::string Take(const std::string& name);

    // True when the first view under `name` holds the empty text (or there is none). Cheaper than
    // Read: only the first byte is looked at.
    bool IsEmpty(const std::string& name) const;

private:
    const SharedMemoryEntry* Find(const std::string& name) const;

    int32_t m_nextSequence = 0;
    std::map<int32_t, SharedMemoryEntry> m_entries;
};

}  // namespace tessel
