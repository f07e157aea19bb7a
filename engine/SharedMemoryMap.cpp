#include "engine/SharedMemoryMap.h"

#include <atomic>
#include <cstring>

namespace tessel {
namespace {

// The first byte says whether the block holds a text; it is the only byte both sides touch
// atomically.
std::atomic_ref<char> FirstByte(char* block) {
    return std::atomic_ref<char>(block[0]);
}

// A reader that finds the first byte set must find the whole text behind it: the first byte is
// cleared before any other byte changes and stored once the rest is in place.
void Publish(char* block, std::string_view text) {
    FirstByte(block).store('\0', std::memory_order_relaxed);
    // Keeps the writes below from becoming visible before the cleared first byte.
    std::atomic_thread_fence(std::memory_order_release);
    if (text.empty()) {
        return;
    }
    std::memcpy(block + 1, text.data() + 1, text.size() - 1);
    block[text.size()] = '\0';
    FirstByte(block).store(text[0], std::memory_order_release);
}

// The writer waits for the reader to empty the block before it writes, but only for a while: a
// writer that gave up may be rewriting the block while this copies it. So the copy counts only
// when, afterwards, the block still holds exactly that text with its first byte set.
std::string CopyWholeText(char* block, size_t viewSize) {
    const char first = FirstByte(block).load(std::memory_order_acquire);
    if (first == '\0') {
        return {};
    }
    const void* end = std::memchr(block, '\0', viewSize);
    if (end == nullptr || end == block) {
        return {};
    }
    std::string text(block, static_cast<const char*>(end) - block);
    std::atomic_thread_fence(std::memory_order_acquire);
    const bool unchanged = text[0] == first && block[text.size()] == '\0' &&
                           std::memcmp(block + 1, text.data() + 1, text.size() - 1) == 0;
    std::atomic_thread_fence(std::memory_order_acquire);
    if (!unchanged || FirstByte(block).load(std::memory_order_relaxed) != first) {
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
        if (entry.name != name || length >= entry.viewSize) {
            continue;
        }
        Publish(static_cast<char*>(entry.view.Get()), text.substr(0, length));
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
           FirstByte(static_cast<char*>(entry->view.Get())).load(std::memory_order_acquire) ==
               '\0';
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
