#pragma once

// Helpers of the silent installer's integration tests: real processes, the real channel, the
// registry and shortcut files of the Wine prefix the tests run in.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <timeapi.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/ChildProcess.h"
#include "base/ComHandles.h"
#include "base/KernelHandles.h"
#include "engine/SharedMemoryMap.h"

namespace tessel::testing_support {

// The folder of the running test program, ending in a backslash.
inline std::wstring TestProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.rfind(L'\\') + 1);
}

// A path relative to the test program's folder, made full.
inline std::wstring BesideTestProgram(const std::wstring& relative) {
    const std::wstring joined = TestProgramFolder() + relative;
    wchar_t full[MAX_PATH] = {};
    ::GetFullPathNameW(joined.c_str(), MAX_PATH, full, nullptr);
    return full;
}

struct ProcessResult {
    bool started = false;
    bool exited = false;
    DWORD exitCode = 0;
};

// Starts `program` with `arguments` (the text after the program's own quoted name) and waits for
// it to end; one that does not end in time is ended.
inline ProcessResult RunProgram(const std::wstring& program, const std::wstring& arguments,
                                DWORD timeoutMs = 60'000) {
    ProcessResult result;
    const UniqueHandle process =
        StartChildProcess(L"\"" + program + L"\" " + arguments, {.program = program.c_str()});
    if (!process) {
        return result;
    }
    result.started = true;
    const auto code = WaitForExitCode(process, timeoutMs);
    if (!code) {
        ::TerminateProcess(process.Get(), 99);
        return result;
    }
    result.exited = true;
    result.exitCode = *code;
    return result;
}

// Starts a program and leaves it running; the caller owns the process handle.
inline UniqueHandle StartProgram(const std::wstring& program, const std::wstring& arguments = {}) {
    return StartChildProcess(L"\"" + program + L"\" " + arguments, {.program = program.c_str()});
}

// Takes each message out of the channel, looking every millisecond, and keeps every message in the
// order taken. The silent installer waits for each message to be taken before the next, and for
// the last before it ends, so once its process has ended everything has been collected.
class ChannelCollector {
public:
    explicit ChannelCollector(std::string name) : m_name(std::move(name)) {
        ::timeBeginPeriod(1);
        m_channel.Open(m_name);
        m_thread = std::thread([this] { Poll(); });
    }
    ~ChannelCollector() {
        Stop();
        ::timeEndPeriod(1);
    }
    ChannelCollector(const ChannelCollector&) = delete;
    ChannelCollector& operator=(const ChannelCollector&) = delete;

    // Stops reading (after one last look) and returns everything collected.
    const std::vector<std::string>& Stop() {
        if (m_thread.joinable()) {
            m_stop = true;
            m_thread.join();
        }
        return m_messages;
    }

private:
    void Poll() {
        for (bool last = false; !last;) {
            last = m_stop;
            std::string text = m_channel.Take(m_name);
            if (!text.empty()) {
                m_messages.push_back(std::move(text));
            }
            ::Sleep(1);
        }
    }

    std::string m_name;
    CSharedMemoryMap m_channel;  // used by the polling thread only, once started
    std::vector<std::string> m_messages;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};

inline std::optional<std::wstring> ReadRegistryString(const std::wstring& keyPath,
                                                      const std::wstring& name,
                                                      DWORD* byteLength = nullptr) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, &opened) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    UniqueRegKey key(opened);
    wchar_t value[1024] = {};
    DWORD bytes = sizeof(value) - sizeof(wchar_t);
    DWORD type = 0;
    if (::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value),
                           &bytes) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    if (byteLength != nullptr) {
        *byteLength = bytes;
    }
    return std::wstring(value);
}

inline std::optional<DWORD> ReadRegistryNumber(const std::wstring& keyPath,
                                               const std::wstring& name) {
    DWORD number = 0;
    DWORD bytes = sizeof(number);
    DWORD type = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, keyPath.c_str(), name.c_str(), RRF_RT_ANY, &type, &number,
                       &bytes) != ERROR_SUCCESS ||
        type != REG_DWORD || bytes != sizeof(number)) {
        return std::nullopt;
    }
    return number;
}

inline bool RegistryKeyExists(const std::wstring& keyPath) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &opened) !=
        ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(opened);
    return true;
}

inline void WriteRegistryString(const std::wstring& keyPath, const std::wstring& name,
                                const std::wstring& value) {
    HKEY created = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &created, nullptr) != ERROR_SUCCESS) {
        return;
    }
    UniqueRegKey key(created);
    ::RegSetValueExW(key.Get(), name.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

inline void DeleteRegistryValue(const std::wstring& keyPath, const std::wstring& name) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_SET_VALUE, &opened) ==
        ERROR_SUCCESS) {
        UniqueRegKey key(opened);
        ::RegDeleteValueW(key.Get(), name.c_str());
    }
}

struct ShortcutInfo {
    std::wstring target;
    std::wstring workingFolder;
};

// What a shell link points at, as the shell resolves it.
inline std::optional<ShortcutInfo> ReadShortcut(const std::wstring& linkPath) {
    IShellLinkW* rawLink = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&rawLink)))) {
        return std::nullopt;
    }
    UniqueCom<IShellLinkW> link(rawLink);
    IPersistFile* rawFile = nullptr;
    if (FAILED(link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)))) {
        return std::nullopt;
    }
    UniqueCom<IPersistFile> file(rawFile);
    if (FAILED(file.Get()->Load(linkPath.c_str(), STGM_READ))) {
        return std::nullopt;
    }
    wchar_t target[MAX_PATH] = {};
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(link.Get()->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) ||
        FAILED(link.Get()->GetWorkingDirectory(folder, MAX_PATH))) {
        return std::nullopt;
    }
    return ShortcutInfo{target, folder};
}

inline std::wstring SpecialFolderPath(int csidl) {
    wchar_t buffer[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, buffer, csidl, TRUE);
    return buffer;
}

inline bool PathExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
}

// Polls `condition` until it holds or `timeoutMs` has passed.
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs = 10'000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace tessel::testing_support
