#include "silent/ArchiveExtractor.h"

#include <windows.h>

#include <set>
#include <vector>

#include "base/FileWrite.h"
#include "base/KernelHandles.h"
#include "base/MemoryZip.h"
#include "base/ModuleResource.h"
#include "engine/FileSystem.h"
#include "silent/ArchiveEntryPath.h"

namespace tessel {
namespace {

constexpr UINT kZipLegacyCodePage = 437;

struct PlannedEntry {
    const MemoryZip::Entry* entry = nullptr;
    EntryTarget target;
};

// Archive names are UTF-8 when the archiver says so and code page 437 otherwise; the flag is not
// exposed, but a legacy name that happens to be valid UTF-8 is rare enough to decide by content.
std::wstring WidenEntryName(const std::string& name) {
    if (name.empty()) {
        return {};
    }
    const int size = static_cast<int>(name.size());
    for (const UINT codePage : {static_cast<UINT>(CP_UTF8), kZipLegacyCodePage}) {
        const DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
        const int needed = ::MultiByteToWideChar(codePage, flags, name.data(), size, nullptr, 0);
        if (needed <= 0) {
            continue;
        }
        std::wstring wide(static_cast<size_t>(needed), L'\0');
        ::MultiByteToWideChar(codePage, flags, name.data(), size, wide.data(), needed);
        return wide;
    }
    return {};
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return {};
    }
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return {};
    }
    full.resize(length);
    return full;
}

bool StartsWithIgnoringCase(const std::wstring& text, const std::wstring& prefix) {
    return text.size() >= prefix.size() &&
           ::CompareStringOrdinal(text.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                  static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

// The rules on names first, then what the system makes of the joined path: it must still name
// something strictly inside the folder.
std::optional<std::vector<PlannedEntry>> Plan(const MemoryZip& zip, const std::wstring& folder) {
    const std::wstring fullFolder = FullPath(folder);
    if (fullFolder.empty() || fullFolder.back() != L'\\') {
        return std::nullopt;
    }
    std::vector<PlannedEntry> plan;
    plan.reserve(zip.Entries().size());
    for (const auto& entry : zip.Entries()) {
        auto target = ResolveEntryPath(WidenEntryName(entry.name));
        if (!target) {
            return std::nullopt;
        }
        const std::wstring full = FullPath(fullFolder + target->relativePath);
        if (full.size() <= fullFolder.size() || !StartsWithIgnoringCase(full, fullFolder) ||
            full.compare(fullFolder.size(), std::wstring::npos, target->relativePath) != 0) {
            return std::nullopt;
        }
        plan.push_back({&entry, std::move(*target)});
    }
    return plan;
}

bool IsLink(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::wstring Quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

// Creates the folders of one relative path below `root`, refusing to pass through anything that
// is not a plain folder. `known` remembers what has been checked already in this extraction.
bool EnsureFolders(const std::wstring& root, const std::wstring& relative,
                   std::set<std::wstring>& known, StepFailure& failure) {
    size_t at = 0;
    while (at <= relative.size()) {
        size_t end = relative.find(L'\\', at);
        if (end == std::wstring::npos) {
            end = relative.size();
        }
        const std::wstring path = root + relative.substr(0, end);
        at = end + 1;
        if (known.count(path) != 0) {
            continue;
        }
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            if (!::CreateDirectoryW(path.c_str(), nullptr)) {
                const DWORD error = ::GetLastError();
                if (error != ERROR_ALREADY_EXISTS) {
                    failure = {L"cannot create the folder " + Quoted(path), error};
                    return false;
                }
            }
        } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || IsLink(attributes)) {
            failure = {L"a file or link stands where the folder " + Quoted(path) + L" belongs", 0};
            return false;
        }
        known.insert(path);
    }
    return true;
}

enum class WriteOutcome { Written, Busy, Failed, Damaged };

// Busy and Failed leave the reason in `failure`.
WriteOutcome WriteEntry(MemoryZip& zip, const MemoryZip::Entry& entry, const std::wstring& path,
                        StepFailure& failure) {
    const DWORD existing = ::GetFileAttributesW(path.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES) {
        if ((existing & FILE_ATTRIBUTE_DIRECTORY) != 0 || IsLink(existing)) {
            failure = {L"a folder or link stands where the file " + Quoted(path) + L" belongs", 0};
            return WriteOutcome::Failed;
        }
        if ((existing & FILE_ATTRIBUTE_READONLY) != 0) {
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }
    UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        failure = {L"cannot write " + Quoted(path), error};
        return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION
                   ? WriteOutcome::Busy
                   : WriteOutcome::Failed;
    }
    DWORD writeError = ERROR_SUCCESS;
    const auto status = zip.ReadEntry(
        entry,
        [&](std::span<const uint8_t> chunk) {
            writeError = WriteAll(file.Get(), chunk);
            return writeError == ERROR_SUCCESS;
        },
        entry.uncompressedSize);
    if (status == MemoryZip::ReadStatus::Ok) {
        return WriteOutcome::Written;
    }
    if (writeError != ERROR_SUCCESS) {
        failure = {L"cannot write " + Quoted(path), writeError};
        return WriteOutcome::Failed;
    }
    return WriteOutcome::Damaged;
}

std::optional<std::wstring> ParentOf(const std::wstring& relative) {
    const size_t split = relative.rfind(L'\\');
    if (split == std::wstring::npos) {
        return std::nullopt;
    }
    return relative.substr(0, split);
}

}  // namespace

ExtractionOutcome ExtractArchive(std::span<const uint8_t> archive, const std::wstring& folder,
                                 const ExtractionProgress& progress, BusyFiles busyFiles) {
    auto zip = MemoryZip::Open(archive);
    if (!zip) {
        return {ExtractionResult::Unreadable, {}};
    }
    const auto plan = Plan(*zip, folder);
    if (!plan) {
        return {ExtractionResult::UnsafeEntry, {}};
    }
    const std::wstring root = FullPath(folder);
    CreateDirectoryTree(root);
    DWORD rootAttributes = ::GetFileAttributesW(root.c_str());
    if (rootAttributes == INVALID_FILE_ATTRIBUTES) {
        // The tree's creation reports nothing; creating the folder itself once more says why.
        if (!::CreateDirectoryW(root.c_str(), nullptr)) {
            const DWORD error = ::GetLastError();
            return {ExtractionResult::WriteFailed,
                    {L"cannot create the folder " + Quoted(root), error}};
        }
        rootAttributes = FILE_ATTRIBUTE_DIRECTORY;
    }
    if ((rootAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return {ExtractionResult::WriteFailed,
                {L"a file stands where the folder " + Quoted(root) + L" belongs", 0}};
    }

    ExtractionOutcome failed{ExtractionResult::WriteFailed, {}};
    std::set<std::wstring> knownFolders;
    size_t done = 0;
    for (const auto& [entry, target] : *plan) {
        if (target.isDirectory) {
            if (!EnsureFolders(root, target.relativePath, knownFolders, failed.failure)) {
                return failed;
            }
        } else {
            const auto parent = ParentOf(target.relativePath);
            if (parent && !EnsureFolders(root, *parent, knownFolders, failed.failure)) {
                return failed;
            }
            const WriteOutcome outcome =
                WriteEntry(*zip, *entry, root + target.relativePath, failed.failure);
            if (outcome == WriteOutcome::Damaged) {
                return {ExtractionResult::Unreadable, {}};
            }
            if (outcome == WriteOutcome::Failed ||
                (outcome == WriteOutcome::Busy && busyFiles == BusyFiles::Fail)) {
                return failed;
            }
        }
        ++done;
        if (progress) {
            progress(done, plan->size());
        }
    }
    return {ExtractionResult::Done, {}};
}

bool IsArchiveSafeFor(std::span<const uint8_t> archive, const std::wstring& folder) {
    auto zip = MemoryZip::Open(archive);
    return zip && Plan(*zip, folder).has_value();
}

uint64_t InstalledFileBytes(std::span<const uint8_t> archive, const std::wstring& folder) {
    auto zip = MemoryZip::Open(archive);
    const auto plan = zip ? Plan(*zip, folder) : std::nullopt;
    if (!plan) {
        return 0;
    }
    const std::wstring root = FullPath(folder);
    uint64_t bytes = 0;
    for (const auto& [entry, target] : *plan) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (target.isDirectory ||
            !::GetFileAttributesExW((root + target.relativePath).c_str(), GetFileExInfoStandard,
                                    &data) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            IsLink(data.dwFileAttributes)) {
            continue;
        }
        bytes += (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return bytes;
}

std::optional<std::span<const uint8_t>> LoadProductArchive() {
    return FindModuleResource(nullptr, kProductArchiveResourceType,
                              MAKEINTRESOURCEW(kProductArchiveResourceId));
}

}  // namespace tessel
