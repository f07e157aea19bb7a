#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

struct MemoryZipStream;

// A ZIP archive read straight out of memory (a resource of the module, say), through minizip's
// unzip layer with an I/O layer over the buffer. The buffer is not copied: it must outlive the
// archive. Free of <windows.h>. Not thread-safe: one reader at a time.
class MemoryZip {
public:
    struct Entry {
        std::string name;  // as stored: "/" or "\" separated, whatever the archiver wrote
        uint64_t uncompressedSize = 0;
        bool isDirectory = false;  // the name ends with a separator
    };

    enum class ReadStatus { Ok, NotFound, TooLarge, Corrupt, Refused };

    ~MemoryZip();
    MemoryZip(const MemoryZip&) = delete;
    MemoryZip& operator=(const MemoryZip&) = delete;

    // Null when the bytes are not a ZIP archive whose central directory can be read in full.
    static std::unique_ptr<MemoryZip> Open(std::span<const uint8_t> bytes);

    const std::vector<Entry>& Entries() const { return m_entries; }

    // The first entry whose name equals `name` without regard to ASCII letter case.
    const Entry* Find(std::string_view name) const;

    // Inflates `entry` chunk by chunk into `sink`; a sink returning false stops with Refused.
    // Corrupt when the data cannot be inflated or its checksum does not match (the sink may then
    // have seen part of it). TooLarge once more than `maxBytes` would be produced.
    ReadStatus ReadEntry(const Entry& entry,
                         const std::function<bool(std::span<const uint8_t>)>& sink,
                         uint64_t maxBytes = UINT64_MAX);

    // The whole entry in memory, at most `maxBytes` long.
    ReadStatus ReadEntry(const Entry& entry, std::vector<uint8_t>& out, uint64_t maxBytes);

private:
    struct Located;
    MemoryZip();

    std::unique_ptr<MemoryZipStream> m_stream;
    void* m_handle = nullptr;  // unzFile
    std::vector<Entry> m_entries;
    std::vector<Located> m_positions;  // parallel to m_entries
};

// ASCII-only case folding, as archive names and skin file names compare.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace tessel
