#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessel {

// The installation log both programs keep for support (file names in ProductFacts.h): UTF-8 lines
// "yyyy-mm-dd hh:mm:ss.mmm [pid] text" appended to a file in the temporary folder, kept after the
// run. The file is opened for each line with every sharing mode and closed again, so the installer,
// the silent installer and later runs append to one file side by side, and nothing holds it in
// between. A file that a line would take past its size limit starts over; what it held moves to
// "<file>.old", replacing the one before.
//
// Logging never changes what the program does: nothing here throws, the thread's last error is left
// as it was, and a line that cannot be written (no temporary folder, a read-only file, a link in
// the log's place) is lost without a word. A default-constructed log writes nothing. Copyable: it
// holds its path only.
class InstallLog {
public:
    static constexpr uint64_t kDefaultSizeLimit = 1024 * 1024;

    InstallLog() = default;
    explicit InstallLog(std::wstring path, uint64_t sizeLimit = kDefaultSizeLimit);

    // `fileName` in the temporary folder (GetTempPathW); a log that writes nothing when the system
    // names no usable temporary folder.
    static InstallLog InTemporaryFolder(std::wstring_view fileName);

    const std::wstring& Path() const { return m_path; }

    void Write(std::wstring_view text) const noexcept;
    // "<text>: Windows error <code>: <system message>"; for code 0 (no call failed) the text alone.
    void WriteError(std::wstring_view text, uint32_t windowsError) const noexcept;

private:
    std::wstring m_path;  // empty: writes nothing
    uint64_t m_sizeLimit = kDefaultSizeLimit;
};

// The system's message for `code` made one line, after the code: see FormatWindowsError.
std::wstring DescribeWindowsError(uint32_t code);

// One step of a run in the log: "<name>: begun" when it is made, and when it goes "<name>: ended
// after <n> ms", or "<name>: failed after <n> ms" once Fail was called.
class LogStep {
public:
    // `name` is a string literal; `log` outlives the step.
    LogStep(const InstallLog& log, const wchar_t* name) noexcept;
    ~LogStep();
    LogStep(const LogStep&) = delete;
    LogStep& operator=(const LogStep&) = delete;

    // "<name>: <text>": something met on the way.
    void Note(std::wstring_view text) const noexcept;
    // Marks the step failed, with why: "<name>: failed: <reason>", and after it the system's code
    // and message when a call of the system failed (`windowsError` not 0).
    void Fail(std::wstring_view reason) noexcept;
    void Fail(std::wstring_view reason, uint32_t windowsError) noexcept;

private:
    void Write(std::wstring_view text) const noexcept;

    const InstallLog& m_log;  // not owned
    const wchar_t* m_name;
    std::chrono::steady_clock::time_point m_start;
    bool m_failed = false;
};

}  // namespace tessel
