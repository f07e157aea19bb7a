// Stands in for the silent installer in the payload tests: writes the fields of its argument text,
// split as the silent installer splits them, one per line (UTF-8), to "<its own path>.args". The
// file is written under another name and renamed into place, so a reader never sees half of it.
#include <windows.h>

#include <fstream>
#include <string>

#include "base/CommandLineArguments.h"
#include "base/TextConversion.h"

namespace {

// The argument text: the command line after the program's own (possibly quoted) name.
const wchar_t* ArgumentText(const wchar_t* line) {
    bool quoted = false;
    for (; *line != L'\0'; ++line) {
        if (*line == L'"') {
            quoted = !quoted;
        } else if ((*line == L' ' || *line == L'\t') && !quoted) {
            break;
        }
    }
    while (*line == L' ' || *line == L'\t') {
        ++line;
    }
    return line;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring outPath = std::wstring(self) + L".args";
    const std::wstring partPath = outPath + L".part";
    const wchar_t* arguments = ArgumentText(::GetCommandLineW());
    {
        std::ofstream out(partPath.c_str(), std::ios::binary);
        for (const std::wstring& field : tessel::SplitArguments(arguments)) {
            out << tessel::WideToUtf8(field) << '\n';
        }
        if (!out.flush()) {
            return 1;
        }
    }
    return ::MoveFileExW(partPath.c_str(), outPath.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
