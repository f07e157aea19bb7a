#include "silent/FolderSafety.h"

#include <gtest/gtest.h>

namespace tessel {
namespace {

const std::vector<std::wstring> kProtected = {
    L"c:\\windows\\",          L"c:\\windows\\system32\\",   L"c:\\program files\\",
    L"c:\\users\\ann\\",       L"c:\\users\\ann\\desktop\\", L"c:\\users\\ann\\appdata\\roaming\\",
    L"c:\\users\\ann\\temp\\",
};

TEST(FolderSafetyTest, ProductFoldersMayGo) {
    const std::wstring_view cases[] = {
        L"c:\\program files\\tessel assistant\\",
        L"d:\\apps\\tessel assistant\\",
        L"c:\\users\\ann\\desktop\\tessel\\",
        L"c:\\users\\ann\\appdata\\roaming\\tessel\\",
        L"\\\\server\\share\\tessel\\",
        L"c:\\windowsapps\\",  // shares a prefix with a protected folder, but is not inside it
    };
    for (const auto folder : cases) {
        SCOPED_TRACE(std::string(folder.begin(), folder.end()));
        EXPECT_TRUE(IsDeletableFolderText(folder, kProtected));
    }
}

TEST(FolderSafetyTest, RootsSystemAndUserFoldersStay) {
    const std::wstring_view cases[] = {
        L"c:\\",
        L"z:\\",
        L"\\\\server\\share\\",
        L"\\\\server\\",
        L"\\\\?\\c:\\tessel\\",
        L"\\\\.\\c:\\tessel\\",
        L"c:\\windows\\",
        L"c:\\windows\\system32\\",
        L"c:\\program files\\",
        L"c:\\users\\",  // holds a profile
        L"c:\\users\\ann\\",
        L"c:\\users\\ann\\desktop\\",
        L"c:\\users\\ann\\appdata\\",  // holds roaming
        L"c:\\users\\ann\\temp\\",
        L"relative\\tessel\\",
        L"\\tessel\\",
        L"c:tessel\\",
        L"c:\\program files\\..\\windows\\",
        L"c:\\tessel",  // not normalised
        L"",
    };
    for (const auto folder : cases) {
        SCOPED_TRACE(std::string(folder.begin(), folder.end()));
        EXPECT_FALSE(IsDeletableFolderText(folder, kProtected));
    }
}

}  // namespace
}  // namespace tessel
