#include "silent/DriverStep.h"

#include <windows.h>

#include "base/ChildProcess.h"
#include "base/KernelHandles.h"
#include "silent/ProductNames.h"

namespace tessel {
namespace {

constexpr DWORD kPipeBufferSize = 1024;
constexpr DWORD kMaxInstances = 255;
constexpr DWORD kReadPauseMs = 10;

// 0x4000510 without its real-time priority class (0x100): a helper at real-time priority can
// starve the whole machine. What is left: default error mode, Unicode environment, new console.
constexpr DWORD kHelperCreationFlags =
    CREATE_DEFAULT_ERROR_MODE | CREATE_UNICODE_ENVIRONMENT | CREATE_NEW_CONSOLE;

// First instance only: with an instance of the name made by someone else beforehand, the helper
// could connect to that one instead, and that process would read what the helper writes. When the
// system refuses the pipe, `error` gets its reason.
UniqueFileHandle CreateFirstPipeInstance(const std::wstring& pipeName, DWORD& error) {
    const std::wstring path = L"\\\\.\\pipe\\" + pipeName;
    UniqueFileHandle pipe(::CreateNamedPipeW(
        path.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, kMaxInstances,
        kPipeBufferSize, kPipeBufferSize, 0, nullptr));
    if (!pipe) {
        error = ::GetLastError();
        return pipe;
    }
    // Not every system honours the flag (Wine does not): count the instances as well.
    DWORD instances = 0;
    if (pipe &&
        ::GetNamedPipeHandleStateW(pipe.Get(), nullptr, &instances, nullptr, nullptr, nullptr, 0) &&
        instances > 1) {
        pipe.Reset();
    }
    return pipe;
}

// Whether the process at the other end is the helper we started.
bool ConnectedToHelper(HANDLE pipe, const UniqueHandle& helper) {
    ULONG clientId = 0;
    return ::GetNamedPipeClientProcessId(pipe, &clientId) &&
           clientId == ::GetProcessId(helper.Get());
}

UniqueHandle StartHelper(const std::wstring& installFolder, const std::wstring& pipeName) {
    const std::wstring program = installFolder + kNetHelperFile;
    return StartChildProcess(L"\"" + program + L"\" -setup -setupPipe " + pipeName,
                             {.program = program.c_str(),
                              .folder = installFolder.c_str(),
                              .creationFlags = kHelperCreationFlags});
}

bool HasExited(const UniqueHandle& process) {
    return ::WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0;
}

// Waits until the helper has connected. Ends early when the helper exits without connecting.
bool WaitForConnection(HANDLE pipe, const UniqueHandle& helper, DWORD timeoutMs) {
    UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event) {
        return false;
    }
    OVERLAPPED overlapped = {};
    overlapped.hEvent = event.Get();
    if (::ConnectNamedPipe(pipe, &overlapped)) {
        return true;
    }
    switch (::GetLastError()) {
        case ERROR_PIPE_CONNECTED:
            return true;
        case ERROR_IO_PENDING:
            break;
        default:
            return false;
    }
    const HANDLE waits[] = {event.Get(), helper.Get()};
    ::WaitForMultipleObjects(2, waits, FALSE, timeoutMs);
    DWORD ignored = 0;
    if (::GetOverlappedResult(pipe, &overlapped, &ignored, FALSE)) {
        return true;
    }
    // The pending connect refers to `overlapped`: it must be over before the frame goes.
    ::CancelIoEx(pipe, &overlapped);
    ::GetOverlappedResult(pipe, &overlapped, &ignored, TRUE);
    return false;
}

enum class ReadResult { Data, Empty, Broken };

// Reads what is waiting without ever blocking: a byte count from PeekNamedPipe is there to read.
ReadResult ReadAvailable(HANDLE pipe, HANDLE event, std::string& out) {
    DWORD available = 0;
    if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) {
        return ReadResult::Broken;
    }
    if (available == 0) {
        return ReadResult::Empty;
    }
    char buffer[kPipeBufferSize];
    OVERLAPPED overlapped = {};
    overlapped.hEvent = event;
    DWORD read = 0;
    const DWORD wanted = available < kPipeBufferSize ? available : kPipeBufferSize;
    if (!::ReadFile(pipe, buffer, wanted, nullptr, &overlapped) &&
        ::GetLastError() != ERROR_IO_PENDING) {
        return ReadResult::Broken;
    }
    if (!::GetOverlappedResult(pipe, &overlapped, &read, TRUE)) {
        return ReadResult::Broken;
    }
    out.assign(buffer, read);
    return ReadResult::Data;
}

}  // namespace

DriverStepOutcome RunDriverStep(const std::wstring& installFolder,
                                const std::function<void(const DriverLine&)>& onLine,
                                const std::wstring& pipeName, DriverStepTimeouts timeouts,
                                uint32_t* windowsError) {
    DWORD error = ERROR_SUCCESS;
    UniqueFileHandle pipe = CreateFirstPipeInstance(pipeName, error);
    if (!pipe) {
        if (windowsError != nullptr) {
            *windowsError = error;
        }
        return DriverStepOutcome::PipeTaken;
    }
    UniqueHandle helper = StartHelper(installFolder, pipeName);
    if (!helper) {
        // StartChildProcess leaves CreateProcessW's reason as the last error.
        error = ::GetLastError();
        if (windowsError != nullptr) {
            *windowsError = error;
        }
        return DriverStepOutcome::NoHelper;
    }
    if (!WaitForConnection(pipe.Get(), helper, timeouts.connectMs)) {
        return DriverStepOutcome::NotConnected;
    }
    if (!ConnectedToHelper(pipe.Get(), helper)) {
        ::DisconnectNamedPipe(pipe.Get());
        return DriverStepOutcome::NotConnected;
    }
    UniqueHandle readEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!readEvent) {
        ::DisconnectNamedPipe(pipe.Get());
        return DriverStepOutcome::Done;
    }

    DriverLineSplitter splitter;
    DriverStepOutcome outcome = DriverStepOutcome::Done;
    ULONGLONG lastHeard = ::GetTickCount64();
    std::string chunk;
    for (bool running = true; running;) {
        // Looked at before the pipe, so that whatever the helper wrote before it exited is read.
        const bool exited = HasExited(helper);
        const ReadResult result = ReadAvailable(pipe.Get(), readEvent.Get(), chunk);
        if (result == ReadResult::Broken) {
            break;
        }
        if (result == ReadResult::Data) {
            lastHeard = ::GetTickCount64();
            for (const auto& text : splitter.Feed(chunk)) {
                const DriverLine line = ClassifyDriverLine(text);
                if (line.kind == DriverLine::Kind::Done) {
                    running = false;
                    break;
                }
                if (line.kind != DriverLine::Kind::Ignore) {
                    onLine(line);
                }
            }
            if (!running) {
                break;
            }
        } else if (exited) {
            break;  // drained, and nobody is left to write
        } else if (::GetTickCount64() - lastHeard > timeouts.silenceMs) {
            outcome = DriverStepOutcome::Silent;
            break;
        }
        ::Sleep(kReadPauseMs);
    }
    ::DisconnectNamedPipe(pipe.Get());
    return outcome;
}

}  // namespace tessel
