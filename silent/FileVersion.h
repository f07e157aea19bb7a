#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tessel {

// "major.minor.build.revision" from the two halves of a fixed file version, as the uninstall
// entry's "DisplayVersion" shows it.
std::wstring FormatFileVersion(uint32_t versionMs, uint32_t versionLs);

// The file version of the running executable's version resource; nothing when it has none.
std::optional<std::wstring> ReadOwnFileVersion();

}  // namespace tessel
