// Crashes on purpose with the crash handler installed, in the way its argument names:
//   main, worker                 a faulting write on the main thread or on a second thread
//   escape-main, escape-worker   a C++ exception escaping a noexcept function, on either thread
//   terminate, abort             std::terminate or abort called directly
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <exception>
#include <functional>
#include <stdexcept>
#include <thread>

#include "base/CrashDump.h"

namespace {

// Volatile so that the compiler keeps the faulting write.
volatile int* volatile gNowhere = nullptr;

[[noreturn]] void Crash() {
    *gNowhere = 1;
    ::ExitProcess(0);  // not reached: the write above faults
}

// Out of line, so that the throw is not seen inside the noexcept caller.
[[gnu::noinline]] void Throw() {
    throw std::runtime_error("escapes");
}

void LeakException() noexcept {
    Throw();
}

// A second thread runs `body` while the main thread waits for it.
int OnWorker(const std::function<void()>& body) {
    std::thread worker([&body]() noexcept { body(); });
    worker.join();
    return 3;  // the crash on the worker ends the process before this
}

}  // namespace

// A windowed program's entry, as the installer and the silent installer have: the runtime takes
// it for a windowed program and would show its abort message in a message box.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR argumentText, int) {
    tessel::InstallCrashHandler();
    const auto is = [&](const wchar_t* mode) { return std::wcscmp(argumentText, mode) == 0; };
    if (is(L"main")) {
        Crash();
    }
    if (is(L"worker")) {
        return OnWorker(Crash);
    }
    if (is(L"escape-main")) {
        LeakException();
        return 3;
    }
    if (is(L"escape-worker")) {
        return OnWorker(LeakException);
    }
    if (is(L"terminate")) {
        std::terminate();
    }
    if (is(L"abort")) {
        std::abort();
    }
    return 2;
}
