#include "engine/SharedMemoryMap.h"

#include <atomic>
#include <cstring>

namespace tessel {
namespace {

// The reader polls without any lock, so a text must never be seen half-written: a torn message is
// not JSON, and that would end the reader. The first byte is cleared first and written last, so a
// reader sees either the empty text or the whole new one.
void Publish(char* block, std::string_view text) {
    std::atomic_ref<char> first(block[0]);
    first.store('\0', std::memory_order_release);
    if (text.empty()) {
        return;
    }
    std::memcpy(block + 1, text.data() + 1, text.size() - 1);
    block[text.size()] = '\0';
    first.store(text[0], std::memory_order_release);
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
    void* address = view.Get();
    m_entries.emplace(m_nextSequence++,
                      SharedMemoryEntry{name, std::move(mapping), std::move(view)});
    return address;
}

bool CSharedMemoryMap::Write(const std::string& name, std::string_view text) {
    const size_t length = std::min(text.size(), text.find('\0'));
    if (length >= kMappingSize) {
        return false;
    }
    bool wrote = false;
    for (auto& [sequence, entry] : m_entries) {
        if (entry.name != name) {
            continue;
        }
        Publish(static_cast<char*>(entry.view.Get()), text.substr(0, length));
        wrote = true;
    }
    return wrote;
}

std::string CSharedMemoryMap::Read(const std::string& name) const {
    for (const auto& [sequence, entry] : m_entries) {
        if (entry.name != name) {
            continue;
        }
        auto* block = static_cast<char*>(entry.view.Get());
        if (std::atomic_ref<char>(block[0]).load(std::memory_order_acquire) == '\0') {
            return {};
        }
        const void* end = std::memchr(block, '\0', kMappingSize);
        if (end == nullptr) {
            return {};
        }
        return std::string(block, static_cast<const char*>(end) - block);
    }
    return {};
}

}  // namespace tessel
