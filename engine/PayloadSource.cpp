#include "engine/PayloadSource.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/ImageFileOffset.h"

namespace tessel {
namespace {

// Enough to tell another build of the program apart at both ends of the resource.
constexpr size_t kCheckedBytes = 4096;

std::wstring ModuleFilePath(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

PayloadSource::PayloadSource(HMODULE module, std::span<const uint8_t> resource)
    : m_resource(resource) {
    if (module == nullptr) {
        module = ::GetModuleHandleW(nullptr);
    }
    const auto offset = ImageFileOffset(module, resource.data(), resource.size());
    const std::wstring path = offset ? ModuleFilePath(module) : std::wstring();
    if (path.empty()) {
        return;
    }
    UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        return;
    }
    m_file = std::move(file);
    m_fileOffset = *offset;
    const size_t checked = std::min(kCheckedBytes, resource.size());
    std::vector<uint8_t> head(checked);
    std::vector<uint8_t> tail(checked);
    if (ReadFromFile(0, head) != ERROR_SUCCESS ||
        ReadFromFile(resource.size() - checked, tail) != ERROR_SUCCESS ||
        std::memcmp(head.data(), resource.data(), checked) != 0 ||
        std::memcmp(tail.data(), resource.data() + resource.size() - checked, checked) != 0) {
        m_file.Reset();
    }
}

DWORD PayloadSource::Read(uint64_t offset, std::span<uint8_t> out) const {
    if (m_file) {
        return ReadFromFile(offset, out);
    }
    const uint8_t* piece = m_resource.data() + offset;
    std::memcpy(out.data(), piece, out.size());
    // Not needed again: on Windows this takes the pages out of the working set (the range was
    // never locked, so nothing else happens).
    ::VirtualUnlock(const_cast<uint8_t*>(piece), out.size());
    return ERROR_SUCCESS;
}

DWORD PayloadSource::ReadFromFile(uint64_t offset, std::span<uint8_t> out) const {
    const uint64_t at = m_fileOffset + offset;
    OVERLAPPED position = {};
    position.Offset = static_cast<DWORD>(at);
    position.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD read = 0;
    if (!::ReadFile(m_file.Get(), out.data(), static_cast<DWORD>(out.size()), &read, &position)) {
        return ::GetLastError();
    }
    return read == out.size() ? ERROR_SUCCESS : ERROR_HANDLE_EOF;
}

}  // namespace tessel
