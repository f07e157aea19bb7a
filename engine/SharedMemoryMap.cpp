#include "engine/SharedMemoryMap.h"

#include <atomic>
#include <cstdint>
#include <cstring>

namespace tessel {
namespace {

// The first byte says whether the block holds a text; it is the only byte of the text both sides
// touch atomically.
std::atomic_ref<char> FirstByte(char* block) {
    return std::atomic_ref<char>(block[0]);
}

// The last four bytes of the view (aligned) count the writes: odd while one is under way. A text
// read between two equal even counts was not touched while it was copied. The first byte alone
// cannot tell: texts that start alike ("{") would pass for one another when a writer rewrote the
// block between a reader's copy and its check.
size_t SequenceOffset(size_t viewSize) {
    return (viewSize - sizeof(uint32_t)) & ~(alignof(uint32_t) - 1);
}

std::atomic_ref<uint32_t> Sequence(char* block, size_t viewSize) {
    return std::atomic_ref<uint32_t>(
        *reinterpret_cast<uint32_t*>(block + SequenceOffset(viewSize)));
}

// A text and its terminator fit in front of the write count.
bool Fits(size_t length, size_t viewSize) {
    return viewSize > sizeof(uint32_t) && length < SequenceOffset(viewSize);
}

// A reader that finds the first byte set must find the whole text behind it: the first byte is
// cleared before any other byte changes and stored once the rest is in place, all between two
// steps of the write count.
void Publish(char* block, size_t viewSize, std::string_view text) {
    auto sequence = Sequence(block, viewSize);
    sequence.fetch_add(1, std::memory_order_seq_cst);
    FirstByte(block).store('\0', std::memory_order_relaxed);
    // Keeps the writes below from becoming visible before the count and the cleared first byte.
    std::atomic_thread_fence(std::memory_order_seq_cst);
    if (!text.empty()) {
        std::memcpy(block + 1, text.data() + 1, text.size() - 1);
        block[text.size()] = '\0';
        FirstByte(block).store(text[0], std::memory_order_release);
    }
    sequence.fetch_add(1, std::memory_order_seq_cst);
}

// The writer waits for the reader to empty the block before it writes, but only for a while: a
// writer that gave up may be rewriting the block while this copies it. So the copy counts only
// when the write count was even and the same before and after it, and the block still holds
// exactly that text with its first byte set (a program of another build does not count writes).
std::string CopyWholeText(char* block, size_t viewSize) {
    if (viewSize <= sizeof(uint32_t)) {
        return {};
    }
    auto sequence = Sequence(block, viewSize);
    const uint32_t before = sequence.load(std::memory_order_acquire);
    if ((before & 1U) != 0) {
        return {};
    }
    const char first = FirstByte(block).load(std::memory_order_acquire);
    if (first == '\0') {
        return {};
    }
    const void* end = std::memchr(block, '\0', SequenceOffset(viewSize));
    if (end == nullptr) {
        return {};
    }
    std::string text(block, static_cast<const char*>(end) - block);
    std::atomic_thread_fence(std::memory_order_acquire);
    const bool unchanged = text[0] == first && block[text.size()] == '\0' &&
                           std::memcmp(block + 1, text.data() + 1, text.size() - 1) == 0;
    std::atomic_thread_fence(std::memory_order_acquire);
    if (!unchanged || FirstByte(block).load(std::memory_order_relaxed) != first ||
        sequence.load(std::memory_order_relaxed) != before) {
        return {};
    }
    return text;
}

// The size of the view as mapped: the block may have been created by another program, smaller
// than ours.
size_t MappedSize(void* view) {
    MEMORY_BASIC_INFORMATION info{};
    if (::VirtualQuery(view, &info, sizeof(info)) != sizeof(info)) {
        return 0;
    }
    return info.RegionSize;
}

}  // namespace

CSharedMemoryMap::~CSharedMemoryMap() {
    // std::map would destroy in the same ascending order; spelled out because the order is part of
    // the contract (each view before its own handle, entries in the order opened).
    for (auto& [sequence, entry] : m_entries) {
        entry.view.Reset();
        entry.mapping.Reset();
    }
}

void* CSharedMemoryMap::Open(const std::string& name) {
    UniqueHandle mapping(::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str()));
    if (!mapping) {
        mapping.Reset(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                           kMappingSize, name.c_str()));
    }
    if (!mapping) {
        return nullptr;
    }
    UniqueMapView view(::MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!view) {
        return nullptr;
    }
    const size_t viewSize = MappedSize(view.Get());
    if (viewSize == 0) {
        return nullptr;
    }
    void* address = view.Get();
    m_entries.emplace(m_nextSequence++,
                      SharedMemoryEntry{name, std::move(mapping), std::move(view), viewSize});
    return address;
}

bool CSharedMemoryMap::Write(const std::string& name, std::string_view text) {
    const size_t length = std::min(text.size(), text.find('\0'));
    bool wrote = false;
    for (auto& [sequence, entry] : m_entries) {
        if (entry.name != name || !Fits(length, entry.viewSize)) {
            continue;
        }
        Publish(static_cast<char*>(entry.view.Get()), entry.viewSize, text.substr(0, length));
        wrote = true;
    }
    return wrote;
}

std::string CSharedMemoryMap::Read(const std::string& name) const {
    const SharedMemoryEntry* entry = Find(name);
    if (entry == nullptr) {
        return {};
    }
    return CopyWholeText(static_cast<char*>(entry->view.Get()), entry->viewSize);
}

std::string CSharedMemoryMap::Take(const std::string& name) {
    std::string text = Read(name);
    if (!text.empty()) {
        Write(name, {});
    }
    return text;
}

bool CSharedMemoryMap::IsEmpty(const std::string& name) const {
    const SharedMemoryEntry* entry = Find(name);
    return entry == nullptr ||
           FirstByte(static_cast<char*>(entry->view.Get())).load(std::memory_order_acquire) == '\0';
}

const SharedMemoryEntry* CSharedMemoryMap::Find(const std::string& name) const {
    for (const auto& [sequence, entry] : m_entries) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace tessel
