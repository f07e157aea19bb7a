// Prints the folders Windows gives a program of this build's architecture, one per argument, as
// UTF-8 lines: "program-files" (what the installer proposes under), "system". A 32-bit program on
// 64-bit Windows is given "C:\Program Files (x86)" and SysWOW64: scripts that check the 32-bit
// installer ask a program of the same architecture instead of assuming either.
#include <windows.h>

#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "base/TextConversion.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        wchar_t folder[MAX_PATH] = {};
        bool found = false;
        if (std::strcmp(argv[i], "program-files") == 0) {
            found = ::SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PROGRAM_FILES, FALSE) != FALSE;
        } else if (std::strcmp(argv[i], "system") == 0) {
            const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
            found = length > 0 && length < MAX_PATH;
        } else {
            std::fprintf(stderr, "unknown folder %s (program-files, system)\n", argv[i]);
            return 2;
        }
        if (!found) {
            std::fprintf(stderr, "Windows gave no %s folder\n", argv[i]);
            return 1;
        }
        std::printf("%s\n", tessel::WideToUtf8(folder).c_str());
    }
    return 0;
}
