#include "engine/FileSystem.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdlib>
#include <vector>

#include "base/KernelHandles.h"

namespace tessel {
namespace {

constexpr size_t kDriveChars = 3;
constexpr size_t kPartChars = 256;

bool IsDotEntry(const wchar_t* name) {
    return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

}  // namespace

std::wstring GetPathDrive(const std::wstring& path) {
    // A part that does not fit its buffer makes the secure splitter call the runtime's
    // invalid-parameter handler, which on Windows ends the process at once (Wine only returns an
    // error). Such a path has no usable drive, so it is answered before the call.
    const PathPartLengths lengths = SplitPathLengths(path.c_str());
    if (lengths.drive >= kDriveChars || lengths.directory >= kPartChars ||
        lengths.name >= kPartChars || lengths.extension >= kPartChars) {
        return {};
    }
    wchar_t drive[kDriveChars] = {};
    wchar_t dir[kPartChars] = {};
    wchar_t name[kPartChars] = {};
    wchar_t ext[kPartChars] = {};
    if (_wsplitpath_s(path.c_str(), drive, kDriveChars, dir, kPartChars, name, kPartChars, ext,
                      kPartChars) != 0) {
        return {};
    }
    if (drive[0] != L'\0' && drive[1] == L':') {
        return std::wstring(drive, 2);
    }
    return {};
}

std::wstring GetLogicalDrivesText() {
    const DWORD needed = ::GetLogicalDriveStringsW(0, nullptr);
    if (needed == 0) {
        return {};
    }
    std::vector<wchar_t> buffer(needed + 1, L'\0');
    const DWORD written = ::GetLogicalDriveStringsW(needed, buffer.data());
    if (written == 0 || written > needed) {
        return {};
    }
    std::wstring roots;
    for (DWORD i = 0; i < written; ++i) {
        if (buffer[i] != L'\0') {
            roots.push_back(buffer[i]);
        }
    }
    return roots;
}

bool EnsureEmptyFolder(std::wstring folder) {
    if (!::PathFileExistsW(folder.c_str())) {
        return CreateDirectoryTree(folder);
    }
    NormalizeFolder(folder);
    const std::wstring pattern = folder + L"*.*";
    WIN32_FIND_DATAW entry = {};
    UniqueFindHandle search(::FindFirstFileW(pattern.c_str(), &entry));
    if (!search) {
        return true;
    }
    do {
        if (!IsDotEntry(entry.cFileName)) {
            return false;
        }
    } while (::FindNextFileW(search.Get(), &entry));
    return true;
}

std::wstring GetProgramFilesFolder() {
    wchar_t buffer[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_PROGRAM_FILES, TRUE)) {
        return {};
    }
    return buffer;
}

}  // namespace tessel
