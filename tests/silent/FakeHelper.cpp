// Stands in for "TESSEL Net Helper.exe" in the driver-step tests, misbehaving as the environment
// variable TESSEL_FAKE_HELPER asks (the step starts it with the test's environment):
//   silent      connects, then says nothing and stays until ended (at most a minute)
//   nodone      writes two progress lines and exits without "done"
//   doneandstay writes "done" and stays running (at most a minute)
//   flood       writes 80 KB without a newline, then one line and "done"
#include <windows.h>

#include <string>

#include "base/CommandLineArguments.h"
#include "base/KernelHandles.h"

namespace {

constexpr DWORD kLingerMs = 60'000;

bool Write(HANDLE pipe, const std::string& text) {
    DWORD written = 0;
    return ::WriteFile(pipe, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const auto fields = tessel::SplitArguments(::GetCommandLineW());
    std::wstring pipeName;
    for (size_t i = 1; i + 1 < fields.size(); ++i) {
        if (fields[i] == L"-setupPipe") {
            pipeName = fields[i + 1];
        }
    }
    char mode[32] = {};
    ::GetEnvironmentVariableA("TESSEL_FAKE_HELPER", mode, sizeof(mode));
    const std::string behaviour = mode;

    const std::wstring path = L"\\\\.\\pipe\\" + pipeName;
    tessel::UniqueFileHandle pipe(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                                nullptr, OPEN_EXISTING, 0, nullptr));
    if (!pipe) {
        return 1;
    }
    if (behaviour == "silent") {
        ::Sleep(kLingerMs);
    } else if (behaviour == "nodone") {
        Write(pipe.Get(), "v:1/2[First]\n");
        Write(pipe.Get(), "v:2/2[Second]\n");
    } else if (behaviour == "doneandstay") {
        Write(pipe.Get(), "v:1/1[Only]\ndone\n");
        ::Sleep(kLingerMs);
    } else if (behaviour == "flood") {
        Write(pipe.Get(), std::string(80 * 1024, 'x'));
        Write(pipe.Get(), "\nv:1/1[After the flood]\ndone\n");
    }
    return 0;
}
