// Both programs start from folders where anyone may leave a DLL: the silent installer runs elevated
// from the temporary folder, the installer from a download folder. The loader looks for an imported
// DLL beside the executable first, except for the system's known DLLs, which always come from
// System32: so the executables may import those only. Any other DLL is loaded at run time from the
// system folder by its full path (GDI+ through the delay-load hook, winmm, dbghelp, msimg32).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/silent/SilentTestSupport.h"

namespace tessel {
namespace {

using namespace testing_support;

// The names in the import directory of a PE file of this program's own architecture.
std::vector<std::string> ImportedDlls(const std::string& image) {
    std::vector<std::string> names;
    if (image.size() < sizeof(IMAGE_DOS_HEADER)) {
        return names;
    }
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    if (dos->e_magic != IMAGE_DOS_SIGNATURE ||
        static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS) > image.size()) {
        return names;
    }
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image.data() + dos->e_lfanew);
    const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
    auto offsetOf = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const auto& section = sections[i];
            if (rva >= section.VirtualAddress &&
                rva < section.VirtualAddress + section.Misc.VirtualSize) {
                return rva - section.VirtualAddress + section.PointerToRawData;
            }
        }
        return image.size();
    };
    const DWORD importRva =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (size_t at = offsetOf(importRva); at + sizeof(IMAGE_IMPORT_DESCRIPTOR) <= image.size();
         at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto* descriptor =
            reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(image.data() + at);
        if (descriptor->Name == 0) {
            break;
        }
        const size_t name = offsetOf(descriptor->Name);
        if (name >= image.size()) {
            break;
        }
        std::string dll(image.c_str() + name);
        std::transform(dll.begin(), dll.end(), dll.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        names.push_back(dll);
    }
    return names;
}

// Known DLLs on every Windows the programs support, Windows 7 being the one with the fewest.
// Not among them there: gdiplus, dbghelp, winmm, version, msimg32, comctl32.
const std::set<std::string>& KnownDlls() {
    static const std::set<std::string> known = {
        "advapi32.dll", "comdlg32.dll", "gdi32.dll",  "imagehlp.dll", "kernel32.dll",
        "msvcrt.dll",   "ole32.dll",    "oleaut32.dll", "psapi.dll",  "rpcrt4.dll",
        "setupapi.dll", "shell32.dll",  "shlwapi.dll",  "user32.dll", "ws2_32.dll",
    };
    return known;
}

TEST(ImageImportsTest, BothProgramsImportOnlyKnownSystemDlls) {
    const std::pair<const char*, std::wstring> programs[] = {
        {"silent installer", TESSEL_SILENT_EXE},
        {"installer", TESSEL_INSTALLER_EXE},
    };
    for (const auto& [name, path] : programs) {
        SCOPED_TRACE(name);
        const auto imports = ImportedDlls(ReadFileBytes(BesideTestProgram(path)));
        ASSERT_FALSE(imports.empty());
        for (const auto& dll : imports) {
            EXPECT_TRUE(KnownDlls().count(dll) != 0)
                << dll << " would be looked for beside the program";
        }
    }
}

}  // namespace
}  // namespace tessel
