#include "base/FileVersion.h"

#include <windows.h>

#include <cstring>

#include "base/ModuleResource.h"

namespace tessel {
namespace {

constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr char16_t kVersionKey[] = u"VS_VERSION_INFO";
// wLength, wValueLength and wType, then the key with its terminator.
constexpr size_t kHeaderBytes = 3 * sizeof(uint16_t);
constexpr size_t kKeyBytes = sizeof(kVersionKey);
constexpr size_t kFixedInfoBytes = 13 * sizeof(uint32_t);

uint16_t Read16(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

uint32_t Read32(std::span<const uint8_t> bytes, size_t at) {
    return Read16(bytes, at) | (static_cast<uint32_t>(Read16(bytes, at + 2)) << 16);
}

}  // namespace

std::wstring FormatFileVersion(uint32_t versionMs, uint32_t versionLs) {
    auto part = [](uint32_t half, int shift) { return std::to_wstring((half >> shift) & 0xFFFF); };
    return part(versionMs, 16) + L"." + part(versionMs, 0) + L"." + part(versionLs, 16) + L"." +
           part(versionLs, 0);
}

std::optional<std::wstring> FileVersionFromResource(std::span<const uint8_t> block) {
    if (block.size() < kHeaderBytes + kKeyBytes) {
        return std::nullopt;
    }
    const size_t length = Read16(block, 0);
    const size_t valueLength = Read16(block, 2);
    if (length > block.size() || valueLength < kFixedInfoBytes ||
        std::memcmp(block.data() + kHeaderBytes, kVersionKey, kKeyBytes) != 0) {
        return std::nullopt;
    }
    // The value starts on the next 32-bit boundary after the key.
    const size_t value = (kHeaderBytes + kKeyBytes + 3) & ~size_t{3};
    if (value + kFixedInfoBytes > length || Read32(block, value) != kFixedInfoSignature) {
        return std::nullopt;
    }
    return FormatFileVersion(Read32(block, value + 8), Read32(block, value + 12));
}

std::optional<std::wstring> ReadOwnFileVersion() {
    const auto block = FindModuleResource(nullptr, RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO));
    return block ? FileVersionFromResource(*block) : std::nullopt;
}

}  // namespace tessel
