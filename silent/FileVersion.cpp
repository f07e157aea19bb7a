#include "silent/FileVersion.h"

#include <windows.h>

#include <vector>

namespace tessel {

std::wstring FormatFileVersion(uint32_t versionMs, uint32_t versionLs) {
    auto part = [](uint32_t half, int shift) { return std::to_wstring((half >> shift) & 0xFFFF); };
    return part(versionMs, 16) + L"." + part(versionMs, 0) + L"." + part(versionLs, 16) + L"." +
           part(versionLs, 0);
}

std::optional<std::wstring> ReadOwnFileVersion() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::nullopt;
    }
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<unsigned char> block(size);
    if (!::GetFileVersionInfoW(path, 0, size, block.data())) {
        return std::nullopt;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
        fixed == nullptr || fixedSize < sizeof(VS_FIXEDFILEINFO)) {
        return std::nullopt;
    }
    return FormatFileVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
}

}  // namespace tessel
