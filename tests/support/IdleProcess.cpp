// Stays alive until it is ended from outside (at most a minute, so that a failed test leaves
// nothing behind for long). Copied under other names by the process clean-up tests.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ::Sleep(60'000);
    return 0;
}
