// Crashes on purpose with the crash handler installed: "crash_probe main" on its main thread,
// "crash_probe worker" on a second thread while the main thread waits for it.
#include <windows.h>

#include <cstring>
#include <thread>

#include "app/CrashDump.h"

namespace {

// Volatile so that the compiler keeps the faulting write.
volatile int* volatile gNowhere = nullptr;

[[noreturn]] void Crash() {
    *gNowhere = 1;
    ::ExitProcess(0);  // not reached: the write above faults
}

}  // namespace

int main(int argc, char** argv) {
    tessel::InstallCrashHandler();
    if (argc < 2) {
        return 2;
    }
    if (std::strcmp(argv[1], "main") == 0) {
        Crash();
    }
    if (std::strcmp(argv[1], "worker") == 0) {
        std::thread worker([]() noexcept { Crash(); });
        worker.join();
        return 3;  // the crash on the worker ends the process before this
    }
    return 2;
}
