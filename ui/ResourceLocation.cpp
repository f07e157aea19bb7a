#include "ui/ResourceLocation.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "base/KernelHandles.h"
#include "base/MemoryZip.h"
#include "base/TextConversion.h"

namespace tessel {
namespace {

constexpr std::wstring_view kMemoryPackageName = L"membuffer";
// Entry names longer than this (with the terminator) are never found, as a fixed name buffer would
// have cut them.
constexpr size_t kMaxEntryNameBytes = 260;
// Decoded images are not held to the markup limit, but a lying archive header must not make us
// allocate without bound either.
constexpr uint64_t kMaxResourceSize = 256ull * 1024 * 1024;

struct SkinLocation {
    std::wstring folder;
    std::wstring packageName;
    std::wstring password;
    bool cached = false;
    std::unique_ptr<MemoryZip> archive;
};

SkinLocation& Location() {
    static SkinLocation location;
    return location;
}

enum class DiskRead { Ok, CannotOpen, Empty, TooLarge, Short };

DiskRead ReadDiskFile(const std::wstring& path, uint64_t limit, std::vector<uint8_t>& out) {
    UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER length{};
    if (!file || !::GetFileSizeEx(file.Get(), &length) || length.QuadPart < 0) {
        return DiskRead::CannotOpen;
    }
    if (length.QuadPart == 0) {
        return DiskRead::Empty;
    }
    if (static_cast<uint64_t>(length.QuadPart) > limit) {
        return DiskRead::TooLarge;
    }
    out.resize(static_cast<size_t>(length.QuadPart));
    DWORD read = 0;
    if (!::ReadFile(file.Get(), out.data(), static_cast<DWORD>(out.size()), &read, nullptr) ||
        read != out.size()) {
        out.clear();
        return DiskRead::Short;
    }
    return DiskRead::Ok;
}

std::string EntryName(std::wstring_view name) {
    std::wstring slashed(name);
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    return WideToUtf8(slashed);
}

}  // namespace

void SetResourceFolder(std::wstring_view folder) {
    Location().folder = folder;
}
const std::wstring& GetResourceFolder() {
    return Location().folder;
}

void OpenSkinPackage(const void* buffer, size_t length, const wchar_t* password) {
    SkinLocation& location = Location();
    if (location.packageName == kMemoryPackageName) {
        return;
    }
    location.archive.reset();
    location.packageName = kMemoryPackageName;
    location.cached = true;
    location.password = password ? password : L"";
    if (buffer != nullptr && length > 0) {
        location.archive =
            MemoryZip::Open(std::span<const uint8_t>(static_cast<const uint8_t*>(buffer), length));
    }
}

bool IsSkinPackageOpen() {
    return Location().archive != nullptr;
}

SkinFileResult ReadSkinFile(std::wstring_view name) {
    SkinLocation& location = Location();
    SkinFileResult result;
    if (location.packageName.empty()) {
        switch (
            ReadDiskFile(location.folder + std::wstring(name), kMaxSkinFileSize, result.bytes)) {
            case DiskRead::Ok:
                break;
            case DiskRead::CannotOpen:
                result.error = L"Error opening file";
                break;
            case DiskRead::Empty:
                result.error = L"File is empty";
                break;
            case DiskRead::TooLarge:
                result.error = L"File too large";
                break;
            case DiskRead::Short:
                result.error = L"Could not read file";
                break;
        }
        return result;
    }
    if (!location.archive) {
        result.error = L"Error opening zip file";
        return result;
    }
    const std::string entryName = EntryName(name);
    const MemoryZip::Entry* entry =
        entryName.size() < kMaxEntryNameBytes ? location.archive->Find(entryName) : nullptr;
    if (entry == nullptr || entry->isDirectory) {
        result.error = L"Could not find ziped file";
        return result;
    }
    if (entry->uncompressedSize == 0) {
        result.error = L"File is empty";
        return result;
    }
    if (entry->uncompressedSize > kMaxSkinFileSize) {
        result.error = L"File too large";
        return result;
    }
    const auto status = location.archive->ReadEntry(*entry, result.bytes, kMaxSkinFileSize);
    if (status != MemoryZip::ReadStatus::Ok) {
        result.bytes.clear();
        result.error =
            status == MemoryZip::ReadStatus::TooLarge ? L"File too large" : L"Could not unzip file";
    }
    return result;
}

std::vector<uint8_t> ReadSkinResourceBytes(std::wstring_view name) {
    SkinLocation& location = Location();
    std::vector<uint8_t> bytes;
    if (location.packageName.empty()) {
        if (ReadDiskFile(location.folder + std::wstring(name), kMaxResourceSize, bytes) ==
            DiskRead::Ok) {
            return bytes;
        }
    } else if (location.archive) {
        const std::string entryName = EntryName(name);
        const MemoryZip::Entry* entry =
            entryName.size() < kMaxEntryNameBytes ? location.archive->Find(entryName) : nullptr;
        if (entry != nullptr && !entry->isDirectory && entry->uncompressedSize > 0 &&
            location.archive->ReadEntry(*entry, bytes, kMaxResourceSize) ==
                MemoryZip::ReadStatus::Ok) {
            return bytes;
        }
    }
    bytes.clear();
    if (ReadDiskFile(std::wstring(name), kMaxResourceSize, bytes) == DiskRead::Ok) {
        return bytes;
    }
    return {};
}

void ResetSkinLocationForTesting() {
    SkinLocation& location = Location();
    location.archive.reset();
    location.packageName.clear();
    location.password.clear();
    location.cached = false;
    location.folder.clear();
}

}  // namespace tessel
