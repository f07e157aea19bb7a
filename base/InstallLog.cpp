#include "base/InstallLog.h"

#include <windows.h>

#include <exception>
#include <memory>

#include "base/KernelHandles.h"
#include "base/LogLine.h"
#include "base/TextConversion.h"

namespace tessel {
namespace {

constexpr wchar_t kOldSuffix[] = L".old";
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Far past the end of any log: locking it keeps writers apart and never holds up a reader.
constexpr uint64_t kTurnByte = uint64_t{1} << 62;
// A writer that keeps its turn longer than this (hung, or being debugged) is not waited for: the
// line goes out without a turn rather than holding up the installation.
constexpr ULONGLONG kTurnPatienceMs = 2000;
constexpr DWORD kTurnRetryMs = 1;
// Tries at writing one line: a writer that waited for its turn may find the file started over by
// the one before it, and tries the new one.
constexpr int kWriteAttempts = 3;

struct LocalFreeDeleter {
    void operator()(wchar_t* text) const { ::LocalFree(text); }
};

LogTime LocalNow() {
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    return {now.wYear,   now.wMonth,  now.wDay,         now.wHour,
            now.wMinute, now.wSecond, now.wMilliseconds};
}

// The log as a plain file of its own, or nothing. The silent installer runs elevated and the
// temporary folder can be the user's: a link or a second name put in the log's place must not make
// it append to some other file, so the name is opened itself (not what it points at) and must be a
// file with this one name.
UniqueFileHandle OpenPlainFile(const std::wstring& path, DWORD access, DWORD disposition) {
    UniqueFileHandle file(
        ::CreateFileW(path.c_str(), access | FILE_READ_ATTRIBUTES, kShareAll, nullptr, disposition,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!file || !::GetFileInformationByHandle(file.Get(), &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
        info.nNumberOfLinks > 1) {
        return {};
    }
    return file;
}

// Appending only, so that each write goes to the end whoever wrote last; reading too, which taking
// a turn needs.
UniqueFileHandle OpenForAppend(const std::wstring& path) {
    return OpenPlainFile(path, FILE_APPEND_DATA | FILE_READ_DATA, OPEN_ALWAYS);
}

// The writers of one log, in any process, take turns: each holds an exclusive lock on kTurnByte
// while it looks at the size and appends its line, so that no two lines mix (Wine does not keep
// appends of several handles apart) and no two writers start the file over at once.
class WriterTurn {
public:
    explicit WriterTurn(HANDLE file) noexcept : m_file(file) {
        m_at.Offset = static_cast<DWORD>(kTurnByte);
        m_at.OffsetHigh = static_cast<DWORD>(kTurnByte >> 32);
        const ULONGLONG deadline = ::GetTickCount64() + kTurnPatienceMs;
        for (;;) {
            m_held = TryLock();
            if (m_held || ::GetLastError() != ERROR_LOCK_VIOLATION ||
                ::GetTickCount64() >= deadline) {
                return;
            }
            ::Sleep(kTurnRetryMs);
        }
    }
    ~WriterTurn() {
        if (m_held) {
            ::UnlockFileEx(m_file, 0, 1, 0, &m_at);
        }
    }
    WriterTurn(const WriterTurn&) = delete;
    WriterTurn& operator=(const WriterTurn&) = delete;

private:
    bool TryLock() {
        return ::LockFileEx(m_file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                            &m_at) != FALSE;
    }

    HANDLE m_file;  // not owned; outlives the turn
    OVERLAPPED m_at = {};
    bool m_held = false;
};

// Whether `path` still names the file `file` was opened as: the writer before may have moved it
// to ".old" while this one waited for its turn.
bool IsStillNamed(HANDLE file, const std::wstring& path) {
    const UniqueFileHandle named(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll,
                                               nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                               nullptr));
    BY_HANDLE_FILE_INFORMATION held = {};
    BY_HANDLE_FILE_INFORMATION current = {};
    return named && ::GetFileInformationByHandle(file, &held) &&
           ::GetFileInformationByHandle(named.Get(), &current) &&
           held.dwVolumeSerialNumber == current.dwVolumeSerialNumber &&
           held.nFileIndexHigh == current.nFileIndexHigh &&
           held.nFileIndexLow == current.nFileIndexLow;
}

void WriteLine(HANDLE file, const std::string& line) {
    DWORD written = 0;
    ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

// Called with the turn on the full file held. Its lines move to "<path>.old", and the line starts
// a new file; when the old one cannot be replaced (another program holds it without sharing), the
// file is emptied in place instead, still under the turn. Either way the file starts over.
void StartOverWith(const std::wstring& path, const std::string& line) {
    if (::MoveFileExW(path.c_str(), (path + kOldSuffix).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const UniqueFileHandle fresh = OpenForAppend(path);
        if (fresh) {
            const WriterTurn turn(fresh.Get());
            WriteLine(fresh.Get(), line);
        }
        return;
    }
    const UniqueFileHandle emptied = OpenPlainFile(path, GENERIC_WRITE, TRUNCATE_EXISTING);
    if (emptied) {
        WriteLine(emptied.Get(), line);
    }
}

void AppendLine(const std::wstring& path, uint64_t sizeLimit, const std::string& line) {
    for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
        const UniqueFileHandle file = OpenForAppend(path);
        if (!file) {
            return;
        }
        const WriterTurn turn(file.Get());
        if (!IsStillNamed(file.Get(), path)) {
            continue;
        }
        LARGE_INTEGER size = {};
        if (::GetFileSizeEx(file.Get(), &size) &&
            LogNeedsRestart(static_cast<uint64_t>(size.QuadPart), line.size(), sizeLimit)) {
            StartOverWith(path, line);
        } else {
            WriteLine(file.Get(), line);
        }
        return;
    }
}

// Runs `write`. A line that cannot be made for lack of memory is lost and the run goes on: the
// log never changes what the program does.
template <typename Action>
void Guarded(Action&& write) noexcept {
    try {
        write();
    } catch (const std::exception&) {
    }
}

// "<text>: <the error described>", or the text alone for no error.
std::wstring WithError(std::wstring_view text, uint32_t windowsError) {
    std::wstring line(text);
    if (windowsError != ERROR_SUCCESS) {
        line += L": " + DescribeWindowsError(windowsError);
    }
    return line;
}

}  // namespace

InstallLog::InstallLog(std::wstring path, uint64_t sizeLimit)
    : m_path(std::move(path)), m_sizeLimit(sizeLimit) {}

InstallLog InstallLog::InTemporaryFolder(std::wstring_view fileName) {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) {
        return {};
    }
    return InstallLog(std::wstring(folder, length) + std::wstring(fileName));
}

void InstallLog::Write(std::wstring_view text) const noexcept {
    if (m_path.empty()) {
        return;
    }
    // A line logged between a failing call and the reading of its error must not change that.
    const DWORD lastError = ::GetLastError();
    Guarded([&] {
        AppendLine(m_path, m_sizeLimit,
                   FormatLogLine(LocalNow(), ::GetCurrentProcessId(), WideToUtf8(text)));
    });
    ::SetLastError(lastError);
}

void InstallLog::WriteError(std::wstring_view text, uint32_t windowsError) const noexcept {
    Guarded([&] { Write(WithError(text, windowsError)); });
}

std::wstring DescribeWindowsError(uint32_t code) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const std::unique_ptr<wchar_t, LocalFreeDeleter> owned(buffer);
    const std::wstring_view text =
        length > 0 && buffer != nullptr ? std::wstring_view(buffer, length) : std::wstring_view();
    return FormatWindowsError(code, TrimSystemMessage(text));
}

LogStep::LogStep(const InstallLog& log, const wchar_t* name) noexcept
    : m_log(log), m_name(name), m_start(std::chrono::steady_clock::now()) {
    Write(L"begun");
}

LogStep::~LogStep() {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - m_start);
    Guarded([&] {
        Write(std::wstring(m_failed ? L"failed" : L"ended") + L" after " +
              std::to_wstring(elapsed.count()) + L" ms");
    });
}

void LogStep::Note(std::wstring_view text) const noexcept {
    Write(text);
}

void LogStep::Fail(std::wstring_view reason) noexcept {
    Fail(reason, ERROR_SUCCESS);
}

void LogStep::Fail(std::wstring_view reason, uint32_t windowsError) noexcept {
    m_failed = true;
    Guarded([&] { Write(L"failed: " + WithError(reason, windowsError)); });
}

void LogStep::Write(std::wstring_view text) const noexcept {
    Guarded([&] { m_log.Write(std::wstring(m_name) + L": " + std::wstring(text)); });
}

}  // namespace tessel
