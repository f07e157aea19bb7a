#include "silent/PreviousInstallation.h"

#include <windows.h>
#include <shlobj.h>

#include <array>

#include "base/KernelHandles.h"
#include "engine/PathText.h"
#include "silent/FolderSafety.h"
#include "silent/ProductNames.h"

namespace tessel {
namespace {

std::wstring Lowered(std::wstring text) {
    if (!text.empty()) {
        ::CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    }
    return text;
}

std::wstring FolderKey(std::wstring folder) {
    return Lowered(NormalizeFolder(folder));
}

std::wstring FullFolderPath(const std::wstring& folder) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameW(folder.c_str(), MAX_PATH, buffer, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::wstring(buffer, length);
}

// Where the folder really is once every link on the way has been followed, without the "\\?\"
// prefix; empty when the system cannot tell.
std::wstring FinalFolderPath(const std::wstring& folder) {
    UniqueFileHandle handle(::CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                          nullptr));
    if (!handle) {
        return {};
    }
    wchar_t buffer[MAX_PATH + 8] = {};
    const DWORD length = ::GetFinalPathNameByHandleW(handle.Get(), buffer, MAX_PATH + 8,
                                                     FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= MAX_PATH + 8) {
        return {};
    }
    std::wstring path(buffer, length);
    if (path.starts_with(L"\\\\?\\UNC\\")) {
        path = L"\\\\" + path.substr(8);
    } else if (path.starts_with(L"\\\\?\\")) {
        path = path.substr(4);
    }
    return path;
}

bool IsLinkAttribute(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool IsPlainFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           !IsLinkAttribute(attributes);
}

bool HoldsProduct(const std::wstring& folder) {
    return IsPlainFile(folder + kLauncherFile) || IsPlainFile(folder + kUninstallerFile);
}

// Deletes everything below `folder` (ending in a backslash) and the folder itself. Links are
// removed, never entered. True when nothing is left.
bool DeleteTree(const std::wstring& folder) {
    bool complete = true;
    WIN32_FIND_DATAW entry = {};
    UniqueFindHandle search(::FindFirstFileW((folder + L"*").c_str(), &entry));
    if (search) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring path = folder + name;
            const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            bool removed = false;
            if (IsLinkAttribute(entry.dwFileAttributes)) {
                removed = isFolder ? ::RemoveDirectoryW(path.c_str()) : ::DeleteFileW(path.c_str());
            } else if (isFolder) {
                removed = DeleteTree(path + L"\\");
            } else {
                if ((entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
                    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                }
                removed = ::DeleteFileW(path.c_str());
            }
            complete = complete && removed;
        } while (::FindNextFileW(search.Get(), &entry));
    }
    search.Reset();  // the folder cannot go while a search holds it
    return ::RemoveDirectoryW(folder.c_str()) && complete;
}

std::wstring KnownFolder(int csidl) {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) {
        return {};
    }
    return buffer;
}

std::wstring EnvironmentFolder(const wchar_t* name) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, buffer, MAX_PATH);
    return (length == 0 || length >= MAX_PATH) ? std::wstring() : std::wstring(buffer, length);
}

}  // namespace

bool IsSameFolder(const std::wstring& a, const std::wstring& b) {
    return FolderKey(a) == FolderKey(b);
}

std::vector<std::wstring> ProtectedFolders() {
    static constexpr std::array kFolders = {
        CSIDL_WINDOWS,
        CSIDL_SYSTEM,
        CSIDL_SYSTEMX86,
        CSIDL_PROGRAM_FILES,
        CSIDL_PROGRAM_FILESX86,
        CSIDL_PROGRAM_FILES_COMMON,
        CSIDL_PROGRAM_FILES_COMMONX86,
        CSIDL_PROFILE,
        CSIDL_DESKTOPDIRECTORY,
        CSIDL_COMMON_DESKTOPDIRECTORY,
        CSIDL_PERSONAL,
        CSIDL_COMMON_DOCUMENTS,
        CSIDL_APPDATA,
        CSIDL_LOCAL_APPDATA,
        CSIDL_COMMON_APPDATA,
        CSIDL_STARTMENU,
        CSIDL_COMMON_STARTMENU,
        CSIDL_PROGRAMS,
        CSIDL_COMMON_PROGRAMS,
        CSIDL_STARTUP,
        CSIDL_MYMUSIC,
        CSIDL_MYPICTURES,
        CSIDL_MYVIDEO,
        CSIDL_FONTS,
        CSIDL_TEMPLATES,
        CSIDL_FAVORITES,
        CSIDL_INTERNET_CACHE,
    };
    std::vector<std::wstring> folders;
    for (const int csidl : kFolders) {
        folders.push_back(KnownFolder(csidl));
    }
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD tempLength = ::GetTempPathW(MAX_PATH + 1, temp);
    if (tempLength > 0 && tempLength <= MAX_PATH) {
        folders.emplace_back(temp, tempLength);
    }
    for (const wchar_t* name :
         {L"ProgramFiles", L"ProgramW6432", L"ProgramFiles(x86)", L"USERPROFILE", L"PUBLIC",
          L"ALLUSERSPROFILE", L"SystemRoot", L"TEMP", L"TMP"}) {
        folders.push_back(EnvironmentFolder(name));
    }
    std::vector<std::wstring> keys;
    for (auto& folder : folders) {
        const std::wstring full = folder.empty() ? std::wstring() : FullFolderPath(folder);
        if (!full.empty()) {
            keys.push_back(FolderKey(full));
        }
    }
    return keys;
}

PreviousFolderOutcome RemovePreviousFolder(const std::wstring& folder) {
    const std::wstring full = FullFolderPath(folder);
    if (full.empty()) {
        return PreviousFolderOutcome::Kept;
    }
    std::wstring target = full;
    NormalizeFolder(target);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return PreviousFolderOutcome::Absent;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return PreviousFolderOutcome::Kept;
    }
    const auto guarded = ProtectedFolders();
    if (!IsDeletableFolderText(Lowered(target), guarded)) {
        return PreviousFolderOutcome::Kept;
    }
    if (IsLinkAttribute(attributes)) {
        std::wstring link = target;
        TrimSeparators(link);
        return ::RemoveDirectoryW(link.c_str()) ? PreviousFolderOutcome::Deleted
                                                : PreviousFolderOutcome::Kept;
    }
    // A link further up the path can still lead into a protected folder.
    const std::wstring real = FinalFolderPath(target);
    if (real.empty() || !IsDeletableFolderText(FolderKey(real), guarded) || !HoldsProduct(target)) {
        return PreviousFolderOutcome::Kept;
    }
    return DeleteTree(target) ? PreviousFolderOutcome::Deleted : PreviousFolderOutcome::Partly;
}

}  // namespace tessel
