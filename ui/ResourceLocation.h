#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// The process-wide place skin files come from: a resource folder on disk (empty in this product)
// or a skin package (a ZIP archive) opened once from memory and kept open for the life of the
// process. User-interface thread only; nothing here is locked.

struct SkinFileResult {
    std::vector<uint8_t> bytes;
    std::wstring error;  // empty on success; one of the fixed failure texts otherwise
};

void SetResourceFolder(std::wstring_view folder);
const std::wstring& GetResourceFolder();

// Opens the archive in `buffer`, which is not copied and must stay valid. A second call once a
// package has been opened does nothing. A package that fails to open leaves every later read
// failing with "Error opening zip file". `password` may be null (no password).
void OpenSkinPackage(const void* buffer, size_t length, const wchar_t* password);
bool IsSkinPackageOpen();

// Markup files: fixed failure texts and a 4 MiB limit. "\" in `name` is read as "/" and entries
// match without regard to case.
SkinFileResult ReadSkinFile(std::wstring_view name);
inline constexpr size_t kMaxSkinFileSize = 4 * 1024 * 1024;

// Images and font files: no texts and no 4 MiB limit; when the package (or resource folder) does
// not have it, `name` is tried as a plain path relative to the current directory. Empty on failure.
std::vector<uint8_t> ReadSkinResourceBytes(std::wstring_view name);

// Forgets the package and the folder so a test can start over.
void ResetSkinLocationForTesting();

}  // namespace tessel
