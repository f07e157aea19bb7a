#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "silent/StepFailure.h"

namespace tessel {

enum class ExtractionResult {
    Done,
    Unreadable,   // not a ZIP archive, or an entry's data is damaged
    UnsafeEntry,  // an entry would land outside the folder: nothing was written
    WriteFailed,  // a folder or file could not be created or written
};

struct ExtractionOutcome {
    ExtractionResult result = ExtractionResult::Done;
    StepFailure failure;  // for WriteFailed: the folder or file, and the system's error code
};

// Called after each entry with the number of entries done and their total.
using ExtractionProgress = std::function<void(size_t done, size_t total)>;

// What to do with a file that another process holds open (a running program, say).
enum class BusyFiles {
    Fail,
    LeaveForNextPass,  // keep the old file; a later extraction, once the program is closed, writes
                       // it
};

// Unpacks a ZIP archive held in memory into `folder` (a full path ending in a backslash), creating
// it when missing. Every entry's target is checked before the first byte is written: one entry
// that would escape the folder refuses the whole archive. Existing files are replaced; a file or
// folder on the way that is a link (junction, symbolic link) is never written through.
ExtractionOutcome ExtractArchive(std::span<const uint8_t> archive, const std::wstring& folder,
                                 const ExtractionProgress& progress,
                                 BusyFiles busyFiles = BusyFiles::Fail);

// True when every entry of the archive has a safe target under `folder`: the check the extraction
// makes first, for callers that must decide before anything else changes on disk.
bool IsArchiveSafeFor(std::span<const uint8_t> archive, const std::wstring& folder);

// The bytes the archive's files take in `folder` as they are now: the size on disk of each file
// entry's target that is a plain file, whatever wrote it. 0 for an archive that is unreadable or
// unsafe for the folder.
uint64_t InstalledFileBytes(std::span<const uint8_t> archive, const std::wstring& folder);

// The product archive carried by the running executable: resource "SETUP" 120.
std::optional<std::span<const uint8_t>> LoadProductArchive();

inline constexpr int kProductArchiveResourceId = 120;
inline constexpr wchar_t kProductArchiveResourceType[] = L"SETUP";

}  // namespace tessel
