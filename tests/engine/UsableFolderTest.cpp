#include "engine/UsableFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessel {
namespace {

struct FolderCase {
    std::wstring folder;
    bool usable;
};

void ExpectEach(const std::vector<FolderCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "case " << (&c - cases.data()) << ", " << c.folder.size() << " characters");
        EXPECT_EQ(IsUsableFolder(c.folder), c.usable);
    }
}

TEST(UsableFolderTest, OrdinaryFoldersAreUsable) {
    ExpectEach({
        {L"C:\\", true},
        {L"c:/", true},
        {L"C:\\Program Files (x86)\\Tessel Assistant", true},
        {L"C:\\Program Files (x86)\\Tessel Assistant\\", true},
        {L"D:/Games//Tessel\\\\x\\", true},  // either separator, doubled ones skipped
        {L"C:\\ leading blank\\.hidden\\a.b.c", true},
        {L"C:\\Apps\\Tessel助手\\ü", true},
        {L"C:\\Apps\\CONSOLE\\NULL\\COM10\\LPT\\COMx\\AUX_\\con-1", true},  // near device names
        {L"C:\\#%&'()+,;=@[]^`{}~!$", true},
    });
}

TEST(UsableFolderTest, OnlyAFullPathOnADriveLetter) {
    ExpectEach({
        {L"", false},
        {L"C", false},
        {L"C:", false},
        {L"C:Apps", false},  // relative to the drive's current folder
        {L"C:Apps\\Tessel", false},
        {L"Apps\\Tessel", false},
        {L"\\Apps", false},
        {L"/Apps", false},
        {L"\\\\server\\share\\Apps", false},
        {L"\\\\?\\C:\\Apps", false},
        {L"\\\\.\\C:\\Apps", false},
        {L"1:\\Apps", false},
        {L"\u00C4:\\Apps", false},
        {L" C:\\Apps", false},  // blanks are the caller's to trim
    });
}

TEST(UsableFolderTest, CharactersNamesCannotHave) {
    // The report that started this: the quote ended the silent installer's first field.
    ExpectEach({{L"C:\\Fault\"Test", false}, {L"C:\\a\"b", false}, {L"C:\\\"", false}});
    for (const wchar_t c : std::wstring(L"\"<>|?*:")) {
        SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<int>(c));
        EXPECT_FALSE(IsUsableFolder(std::wstring(L"C:\\Apps\\a") + c + L"b"));
        EXPECT_FALSE(IsUsableFolder(std::wstring(L"C:\\") + c));
    }
    for (wchar_t c = 1; c < 0x20; ++c) {
        SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<int>(c));
        EXPECT_FALSE(IsUsableFolder(std::wstring(L"C:\\Apps\\a") + c + L"b"));
    }
    ExpectEach({
        {std::wstring(L"C:\\a\0b", 6), false},
        {L"C:\\Apps\\C:\\x", false},  // a colon anywhere but after the drive letter
        {L"C::\\Apps", false},
        {L"C:\\Apps\\\x7F\u00A0", true},  // DEL and no-break space are ordinary characters
    });
}

TEST(UsableFolderTest, NamesEndingInADotOrABlank) {
    ExpectEach({
        {L"C:\\Apps.", false},
        {L"C:\\Apps.\\Tessel", false},
        {L"C:\\Apps \\Tessel", false},
        {L"C:\\Apps\\Tessel ", false},
        {L"C:\\Apps\\Tessel. .", false},
        {L"C:\\Apps\\.\\Tessel", false},
        {L"C:\\Apps\\..\\Tessel", false},
        {L"C:\\..", false},
        {L"C:\\Apps\\Tessel.\\", false},  // a closing separator does not hide the dot
        {L"C:\\Apps\\Tessel\t", false},
        {L"C:\\Apps.x\\ Tessel", true},
    });
}

TEST(UsableFolderTest, DeviceNamesInAnyCaseAndWithAnyExtension) {
    const std::wstring devices[] = {
        L"CON",       L"PRN",       L"AUX", L"NUL", L"COM1", L"COM9",      L"LPT1",   L"LPT9",
        L"COM\u00B9", L"LPT\u00B3", L"con", L"Nul", L"cOm5", L"lpt\u00B2", L"CONIN$", L"conout$"};
    for (const auto& device : devices) {
        for (const auto& name :
             {device, device + L".txt", device + L".tar.gz", device + L" .log", device + L"  .x"}) {
            SCOPED_TRACE(testing::Message() << "name of " << name.size() << " characters, device "
                                            << (&device - devices));
            EXPECT_FALSE(IsUsableFolder(L"C:\\" + name));
            EXPECT_FALSE(IsUsableFolder(L"C:\\Apps\\" + name + L"\\Tessel"));
            EXPECT_FALSE(IsUsableFolder(L"D:/Apps/" + name + L"/"));
        }
    }
    ExpectEach({
        {L"C:\\Apps\\xNUL", true},
        {L"C:\\Apps\\NULx.txt", true},
        {L"C:\\Apps\\.NUL", true},  // the name before the first dot is empty
        {L"C:\\Apps\\COM", true},
        {L"C:\\Apps\\COM0", false},
        {L"C:\\Apps\\LPT\u2074", true},  // only superscript one to three
    });
}

TEST(UsableFolderTest, NamesUpTo255Characters) {
    ExpectEach({
        {L"C:\\" + std::wstring(255, L'a'), true},
        {L"C:\\" + std::wstring(255, L'a') + L"\\" + std::wstring(255, L'b'), true},
        {L"C:\\" + std::wstring(256, L'a'), false},
        {L"C:\\Apps\\" + std::wstring(300, L'a') + L"\\x", false},
    });
}

}  // namespace
}  // namespace tessel
