// The silent installer runs elevated from the temporary folder, where anyone may leave a DLL. The
// loader looks for an imported DLL beside the executable first, except for the system's known DLLs,
// which always come from System32: so the executable may import those only.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
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

TEST(ImageImportsTest, SilentInstallerImportsOnlyKnownSystemDlls) {
    const std::set<std::string> knownDlls = {
        "advapi32.dll", "comdlg32.dll", "gdi32.dll",   "kernel32.dll", "msvcrt.dll",
        "ole32.dll",    "oleaut32.dll", "shell32.dll", "shlwapi.dll",  "user32.dll",
    };
    const auto imports = ImportedDlls(ReadFileBytes(BesideTestProgram(TESSEL_SILENT_EXE)));
    ASSERT_FALSE(imports.empty());
    for (const auto& dll : imports) {
        EXPECT_TRUE(knownDlls.count(dll) != 0) << dll << " would be looked for beside the program";
    }
}

}  // namespace
}  // namespace tessel
