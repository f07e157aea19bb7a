#include "base/MemoryZip.h"

#include <unzip.h>

#include <algorithm>
#include <cstring>

namespace tessel {

// Read position over the caller's buffer; minizip sees it as an open "file".
struct MemoryZipStream {
    std::span<const uint8_t> bytes;
    uint64_t position = 0;
};

struct MemoryZip::Located {
    unz64_file_pos position;
};

namespace {

constexpr uint64_t kMinChunkSize = 4 * 1024;
// Each chunk is inflated and then checksummed: a chunk that stays in the processor's cache between
// the two passes reads markedly faster than one of 256 KB (bench/ExtractionBench.cpp).
constexpr uint64_t kMaxChunkSize = 64 * 1024;
constexpr size_t kMaxNameLength = 4096;

voidpf OpenStream(voidpf, const void* stream, int) {
    return const_cast<void*>(stream);
}

uLong ReadStream(voidpf, voidpf opaque, void* buffer, uLong size) {
    auto* stream = static_cast<MemoryZipStream*>(opaque);
    const uint64_t left =
        stream->bytes.size() - std::min<uint64_t>(stream->position, stream->bytes.size());
    const uLong count = static_cast<uLong>(std::min<uint64_t>(size, left));
    if (count > 0) {
        std::memcpy(buffer, stream->bytes.data() + stream->position, count);
        stream->position += count;
    }
    return count;
}

uLong WriteStream(voidpf, voidpf, const void*, uLong) {
    return 0;
}

ZPOS64_T TellStream(voidpf, voidpf opaque) {
    return static_cast<MemoryZipStream*>(opaque)->position;
}

long SeekStream(voidpf, voidpf opaque, ZPOS64_T offset, int origin) {
    auto* stream = static_cast<MemoryZipStream*>(opaque);
    uint64_t base = 0;
    switch (origin) {
        case ZLIB_FILEFUNC_SEEK_SET:
            base = 0;
            break;
        case ZLIB_FILEFUNC_SEEK_CUR:
            base = stream->position;
            break;
        case ZLIB_FILEFUNC_SEEK_END:
            base = stream->bytes.size();
            break;
        default:
            return -1;
    }
    if (offset > stream->bytes.size() || base > stream->bytes.size() - offset) {
        return -1;
    }
    stream->position = base + offset;
    return 0;
}

int CloseStream(voidpf, voidpf) {
    return 0;
}

int ErrorStream(voidpf, voidpf) {
    return 0;
}

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldAscii(x) == FoldAscii(y);
           });
}

MemoryZip::MemoryZip() = default;

MemoryZip::~MemoryZip() {
    if (m_handle != nullptr) {
        unzClose(static_cast<unzFile>(m_handle));
    }
}

std::unique_ptr<MemoryZip> MemoryZip::Open(std::span<const uint8_t> bytes) {
    std::unique_ptr<MemoryZip> zip(new MemoryZip());
    zip->m_stream = std::make_unique<MemoryZipStream>(MemoryZipStream{bytes, 0});

    zlib_filefunc64_def functions = {};
    functions.zopen64_file = OpenStream;
    functions.zread_file = ReadStream;
    functions.zwrite_file = WriteStream;
    functions.ztell64_file = TellStream;
    functions.zseek64_file = SeekStream;
    functions.zclose_file = CloseStream;
    functions.zerror_file = ErrorStream;
    unzFile handle = unzOpen2_64(zip->m_stream.get(), &functions);
    if (handle == nullptr) {
        return nullptr;
    }
    zip->m_handle = handle;

    int status = unzGoToFirstFile(handle);
    while (status == UNZ_OK) {
        unz_file_info64 info = {};
        char name[kMaxNameLength + 1] = {};
        if (unzGetCurrentFileInfo64(handle, &info, name, sizeof(name) - 1, nullptr, 0, nullptr,
                                    0) != UNZ_OK) {
            return nullptr;
        }
        Located located = {};
        if (unzGetFilePos64(handle, &located.position) != UNZ_OK) {
            return nullptr;
        }
        Entry entry;
        entry.name.assign(name,
                          strnlen(name, std::min<size_t>(info.size_filename, kMaxNameLength)));
        entry.uncompressedSize = info.uncompressed_size;
        entry.isDirectory =
            !entry.name.empty() && (entry.name.back() == '/' || entry.name.back() == '\\');
        zip->m_entries.push_back(std::move(entry));
        zip->m_positions.push_back(located);
        status = unzGoToNextFile(handle);
    }
    if (status != UNZ_END_OF_LIST_OF_FILE) {
        return nullptr;
    }
    return zip;
}

const MemoryZip::Entry* MemoryZip::Find(std::string_view name) const {
    for (const Entry& entry : m_entries) {
        if (EqualsIgnoringAsciiCase(entry.name, name)) {
            return &entry;
        }
    }
    return nullptr;
}

MemoryZip::ReadStatus MemoryZip::ReadEntry(
    const Entry& entry, const std::function<bool(std::span<const uint8_t>)>& sink,
    uint64_t maxBytes) {
    const auto index = static_cast<size_t>(&entry - m_entries.data());
    if (index >= m_entries.size() || &m_entries[index] != &entry) {
        return ReadStatus::NotFound;
    }
    auto handle = static_cast<unzFile>(m_handle);
    unz64_file_pos position = m_positions[index].position;
    if (unzGoToFilePos64(handle, &position) != UNZ_OK || unzOpenCurrentFile(handle) != UNZ_OK) {
        return ReadStatus::Corrupt;
    }
    // Sized by the recorded length, which may lie: it only chooses the buffer, never bounds a copy.
    const auto chunkSize =
        static_cast<unsigned>(std::clamp(entry.uncompressedSize, kMinChunkSize, kMaxChunkSize));
    std::unique_ptr<uint8_t[]> chunk(new uint8_t[chunkSize]);
    uint64_t total = 0;
    ReadStatus status = ReadStatus::Ok;
    for (;;) {
        const int count = unzReadCurrentFile(handle, chunk.get(), chunkSize);
        if (count < 0) {
            status = ReadStatus::Corrupt;
            break;
        }
        if (count == 0) {
            break;
        }
        total += static_cast<uint64_t>(count);
        if (total > maxBytes) {
            status = ReadStatus::TooLarge;
            break;
        }
        if (!sink(std::span<const uint8_t>(chunk.get(), static_cast<size_t>(count)))) {
            status = ReadStatus::Refused;
            break;
        }
    }
    // Closing checks the CRC of an entry read to its end.
    const int closed = unzCloseCurrentFile(handle);
    if (status == ReadStatus::Ok && closed != UNZ_OK) {
        status = ReadStatus::Corrupt;
    }
    return status;
}

MemoryZip::ReadStatus MemoryZip::ReadEntry(const Entry& entry, std::vector<uint8_t>& out,
                                           uint64_t maxBytes) {
    out.clear();
    if (entry.uncompressedSize <= maxBytes) {
        out.reserve(static_cast<size_t>(entry.uncompressedSize));
    }
    const ReadStatus status = ReadEntry(
        entry,
        [&out](std::span<const uint8_t> bytes) {
            out.insert(out.end(), bytes.begin(), bytes.end());
            return true;
        },
        maxBytes);
    if (status != ReadStatus::Ok) {
        out.clear();
    }
    return status;
}

}  // namespace tessel
