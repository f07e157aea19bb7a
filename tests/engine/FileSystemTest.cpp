#include "engine/FileSystem.h"

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "tests/support/TestProcess.h"

namespace tessel {
namespace {

using testing_support::MakeTempFolder;

bool Exists(const std::wstring& path) {
    return ::PathFileExistsW(path.c_str()) != FALSE;
}

TEST(FileSystemTest, PathDriveIsTheDriveLetterOrNothing) {
    struct Case {
        const wchar_t* path;
        const wchar_t* drive;
    } cases[] = {
        {L"C:\\Program Files", L"C:"},
        {L"D:\\Games", L"D:"},
        {L"d:", L"d:"},
        {L"Program Files", L""},
        {L"\\\\server\\share\\x", L""},
        {L"\\Apps", L""},
        {L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EXPECT_EQ(GetPathDrive(c.path), c.drive);
    }
}

// The splitter's buffers hold 255 characters and the terminator. On Windows a longer part would
// end the process in the runtime's invalid-parameter handler, so a failure there is a crash.
TEST(FileSystemTest, PathDriveOfOverlongPartsIsEmpty) {
    // Each shape gives a path whose directory, name or extension is `length` characters long.
    struct Shape {
        const char* part;
        std::wstring (*path)(size_t length);
    };
    const Shape shapes[] = {
        {"directory", [](size_t n) { return L"C:\\" + std::wstring(n - 2, L'd') + L"\\x.txt"; }},
        {"directory of many folders",
         [](size_t n) {
             std::wstring dir;
             while (dir.size() + 2 <= n) {
                 dir += L"\\a";
             }
             dir.resize(n - 1, L'b');
             return L"C:" + dir + L"\\x";
         }},
        {"name", [](size_t n) { return L"C:\\Apps\\" + std::wstring(n, L'n'); }},
        {"name before an extension",
         [](size_t n) { return L"C:\\Apps\\" + std::wstring(n, L'n') + L".txt"; }},
        {"extension", [](size_t n) { return L"C:\\Apps\\x." + std::wstring(n - 1, L'e'); }},
    };
    const struct {
        size_t length;
        const wchar_t* drive;
    } lengths[] = {{200, L"C:"}, {255, L"C:"}, {256, L""}, {257, L""}, {300, L""}, {5000, L""}};
    for (const auto& shape : shapes) {
        for (const auto& c : lengths) {
            SCOPED_TRACE(testing::Message() << shape.part << " of " << c.length);
            EXPECT_EQ(GetPathDrive(shape.path(c.length)), c.drive);
        }
    }
}

TEST(FileSystemTest, LogicalDrivesAreJoinedRoots) {
    const std::wstring drives = GetLogicalDrivesText();
    // Rebuild the expectation from the drive bit mask.
    std::wstring expected;
    const DWORD mask = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (mask & (1u << i)) {
            expected += static_cast<wchar_t>(L'A' + i);
            expected += L":\\";
        }
    }
    EXPECT_EQ(drives, expected);
    EXPECT_NE(drives.find(L"C:\\"), std::wstring::npos);
}

TEST(FileSystemTest, CreateDirectoryTreeCreatesEveryMissingParent) {
    const std::wstring root = MakeTempFolder(L"tree");
    const std::wstring deep = root + L"\\a\\b/c\\";
    EXPECT_TRUE(CreateDirectoryTree(deep));
    EXPECT_TRUE(Exists(root + L"\\a"));
    EXPECT_TRUE(Exists(root + L"\\a\\b"));
    EXPECT_TRUE(Exists(root + L"\\a\\b\\c"));
    EXPECT_TRUE(CreateDirectoryTree(deep)) << "an existing folder is fine";
    EXPECT_TRUE(CreateDirectoryTree(L""));
    // A folder that cannot be made (its parent is a file) is not reported.
    const std::wstring file = root + L"\\file";
    UniqueFileHandle(
        ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_TRUE(CreateDirectoryTree(file + L"\\child"));
    EXPECT_FALSE(Exists(file + L"\\child"));
}

TEST(FileSystemTest, EnsureEmptyFolderCreatesOrInspects) {
    const std::wstring root = MakeTempFolder(L"empty");
    const std::wstring missing = root + L"\\x\\y\\";
    EXPECT_TRUE(EnsureEmptyFolder(missing));
    EXPECT_TRUE(Exists(missing));
    EXPECT_TRUE(EnsureEmptyFolder(missing)) << "exists and empty";
    EXPECT_TRUE(EnsureEmptyFolder(root + L"\\x\\y")) << "without the trailing backslash";

    const std::wstring withFile = root + L"\\withFile";
    ::CreateDirectoryW(withFile.c_str(), nullptr);
    UniqueFileHandle(::CreateFileW((withFile + L"\\f.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, 0, nullptr));
    EXPECT_FALSE(EnsureEmptyFolder(withFile));

    const std::wstring withFolder = root + L"\\withFolder";
    ::CreateDirectoryW(withFolder.c_str(), nullptr);
    ::CreateDirectoryW((withFolder + L"\\sub").c_str(), nullptr);
    EXPECT_FALSE(EnsureEmptyFolder(withFolder + L"\\"));

    EXPECT_TRUE(EnsureEmptyFolder(withFile + L"\\f.txt")) << "a file: its search finds nothing";
}

TEST(FileSystemTest, ProgramFilesFolderIsAnAbsolutePath) {
    const std::wstring folder = GetProgramFilesFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(GetPathDrive(folder), L"C:");
    EXPECT_TRUE(Exists(folder));
}

}  // namespace
}  // namespace tessel
