#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tessel {

// "major.minor.build.revision" from the two halves of a fixed file version, as the uninstall
// entry's "DisplayVersion" shows it.
std::wstring FormatFileVersion(uint32_t versionMs, uint32_t versionLs);

// The fixed file version inside a VS_VERSIONINFO block (the bytes of an RT_VERSION resource), as
// "major.minor.build.revision"; nothing when the block is not one.
std::optional<std::wstring> FileVersionFromResource(std::span<const uint8_t> block);

// The file version of the running executable's version resource; nothing when it has none. Read
// straight from the resource: version.dll is not a system-protected DLL, and importing it would
// let a planted copy beside the elevated executable (or the installer in a download folder) be
// loaded.
std::optional<std::wstring> ReadOwnFileVersion();

}  // namespace tessel
