// "TESSEL Net Helper.exe": the product's driver-component helper. Started as
//   "TESSEL Net Helper.exe" -setup -setupPipe <name>
// it connects to \\.\pipe\<name> and reports its work one line at a time ("v:<n>/<total>[<what>]",
// then "downloaded" and "done"), pausing between lines as a real download would. Without those
// arguments it has nothing to do and exits at once.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "base/CommandLineArguments.h"
#include "base/KernelHandles.h"
#include "base/SafeDllSearch.h"

namespace {

constexpr DWORD kConnectPatienceMs = 10'000;
constexpr DWORD kRetryMs = 50;
constexpr DWORD kLinePauseMs = 40;

constexpr std::string_view kLines[] = {
    "v:1/4[Keyboard driver]\n",
    "v:2/4[Receiver driver]\n",
    "v:3/4[Media keys driver]\n",
    "v:4/4[Mouse driver]\n",
    "downloaded\n",
    "done\n",
};

// The pipe name after "-setupPipe", when "-setup" is given too.
std::optional<std::wstring> PipeNameFromArguments() {
    const auto fields = tessel::SplitArguments(::GetCommandLineW());
    bool setup = false;
    std::optional<std::wstring> pipe;
    for (size_t i = 1; i < fields.size(); ++i) {
        if (fields[i] == L"-setup") {
            setup = true;
        } else if (fields[i] == L"-setupPipe" && i + 1 < fields.size()) {
            pipe = fields[++i];
        }
    }
    return setup ? pipe : std::nullopt;
}

tessel::UniqueFileHandle ConnectToPipe(const std::wstring& name) {
    const std::wstring path = L"\\\\.\\pipe\\" + name;
    const ULONGLONG deadline = ::GetTickCount64() + kConnectPatienceMs;
    for (;;) {
        tessel::UniqueFileHandle pipe(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                                    nullptr, OPEN_EXISTING, 0, nullptr));
        if (pipe || ::GetTickCount64() >= deadline) {
            return pipe;
        }
        if (::GetLastError() == ERROR_PIPE_BUSY) {
            ::WaitNamedPipeW(path.c_str(), kRetryMs);
        } else {
            ::Sleep(kRetryMs);
        }
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    tessel::RestrictDllSearchToSystem();
    const auto pipeName = PipeNameFromArguments();
    if (!pipeName) {
        return 0;
    }
    const tessel::UniqueFileHandle pipe = ConnectToPipe(*pipeName);
    if (!pipe) {
        return 1;
    }
    for (const std::string_view line : kLines) {
        ::Sleep(kLinePauseMs);
        DWORD written = 0;
        if (!::WriteFile(pipe.Get(), line.data(), static_cast<DWORD>(line.size()), &written,
                         nullptr)) {
            return 1;
        }
    }
    return 0;
}
