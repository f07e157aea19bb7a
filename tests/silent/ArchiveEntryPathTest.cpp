#include "silent/ArchiveEntryPath.h"

#include <gtest/gtest.h>

#include "engine/FileNameRules.h"

namespace tessel {
namespace {

std::string Narrow(std::wstring_view text) {
    std::string out;
    for (const wchar_t c : text) {
        out += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return out;
}

TEST(ArchiveEntryPathTest, MapsPlainNamesUnderTheFolder) {
    struct Case {
        std::wstring_view name;
        std::wstring_view path;
        bool directory;
    };
    const Case cases[] = {
        {L"Launcher.exe", L"Launcher.exe", false},
        {L"TESSEL Net Helper.exe", L"TESSEL Net Helper.exe", false},
        {L"res/skin/a.png", L"res\\skin\\a.png", false},
        {L"res\\skin\\", L"res\\skin", true},
        {L"res//x.txt", L"res\\x.txt", false},
        {L"./a/./b", L"a\\b", false},
        {L"..x/y..z", L"..x\\y..z", false},
        {L"console.log", L"console.log", false},
        {L"COM10", L"COM10", false},
        {L"数据/文件.dat", L"数据\\文件.dat", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        const auto target = ResolveEntryPath(c.name);
        ASSERT_TRUE(target.has_value());
        EXPECT_EQ(target->relativePath, c.path);
        EXPECT_EQ(target->isDirectory, c.directory);
    }
}

TEST(ArchiveEntryPathTest, RefusesNamesThatCouldLandElsewhere) {
    const std::wstring_view cases[] = {
        L"",
        L"/etc/passwd",
        L"\\Windows\\evil.dll",
        L"\\\\server\\share\\x",
        L"C:/Windows/evil.dll",
        L"C:evil.dll",
        L"../escaped.txt",
        L"..\\escaped.txt",
        L"a/../../escaped.txt",
        L"a/..",
        L"...",
        L"a/.. /b",
        L"trailing./b",
        L"trailing /b",
        L"Launcher.exe:stream",
        L"Launcher.exe::$DATA",
        L"NUL",
        L"nul.txt",
        L"sub/CON",
        L"aux .txt",
        L"COM1",
        L"lpt9.log",
        L"conin$",
        L"bad\x01name",
        L"what?.txt",
        L"a*b",
        L"pipe|x",
        L"quote\"d",
        L".",
        L"./",
        L"//",
    };
    for (const auto name : cases) {
        SCOPED_TRACE(Narrow(name));
        EXPECT_FALSE(ResolveEntryPath(name).has_value());
    }
}

TEST(ArchiveEntryPathTest, DeviceNamesIgnoreCaseAndExtension) {
    EXPECT_TRUE(IsReservedDeviceName(L"Con"));
    EXPECT_TRUE(IsReservedDeviceName(L"prn.tar.gz"));
    EXPECT_TRUE(IsReservedDeviceName(L"Com\u00B9"));
    EXPECT_TRUE(IsReservedDeviceName(L"lpt0 .log"));
    EXPECT_FALSE(IsReservedDeviceName(L"CONFIG"));
    EXPECT_FALSE(IsReservedDeviceName(L"LPT"));
    EXPECT_FALSE(IsReservedDeviceName(L"xNUL"));
}

}  // namespace
}  // namespace tessel
