#include "engine/SharedMemoryMap.h"

#include <cstring>

namespace tessel {

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
        auto* block = static_cast<char*>(entry.view.Get());
        std::memcpy(block, text.data(), length);
        block[length] = '\0';
        wrote = true;
    }
    return wrote;
}

std::string CSharedMemoryMap::Read(const std::string& name) const {
    for (const auto& [sequence, entry] : m_entries) {
        if (entry.name != name) {
            continue;
        }
        const auto* block = static_cast<const char*>(entry.view.Get());
        const void* end = std::memchr(block, '\0', kMappingSize);
        if (end == nullptr) {
            return {};
        }
        return std::string(block, static_cast<const char*>(end));
    }
    return {};
}

}  // namespace tessel
