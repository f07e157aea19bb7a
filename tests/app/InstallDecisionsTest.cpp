#include <gtest/gtest.h>

#include "app/DriverStepText.h"
#include "app/InstallFolder.h"
#include "app/InstallTexts.h"

namespace tessel {
namespace {

struct StepCase {
    const char* line;
    bool shown;
    int bar;
    const char* name;
};

TEST(DriverStepTextTest, ParsesCountsAndName) {
    const StepCase cases[] = {
        {"v:3/10[Keyboard driver]", true, 37, "[Keyboard driver]"},
        {"v:1/7[x]", true, 22, "[x]"},  // 22.857... cut toward zero
        {"v:10/10[x]", true, 100, "[x]"},
        {"v:12/10[x]", true, 118, "[x]"},  // outside the bar's range; the label still changes
        {"v:1/4[Mouse] trailing", true, 32, "[Mouse] trailing"},
        {"v: 2/ 4[a]", true, 55, "[a]"},
        {"v:-1/200[a]", true, 9, "[a]"},     // -0.45 + 10, cut toward zero as a whole
        {"x:3/10[a]v:", true, 37, "[a]v:"},  // "v:" anywhere; the first two characters go
        {"v:0/10[x]", false, 0, nullptr},
        {"v:5/0[x]", false, 0, nullptr},
        {"v:a/10[x]", false, 0, nullptr},
        {"v:3/10[x", false, 0, nullptr},
        {"v:3/10x]", false, 0, nullptr},
        {"v:310[x]", false, 0, nullptr},
        {"3/10[x]", false, 0, nullptr},
        {"v", false, 0, nullptr},
        {"", false, 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto display = ParseDriverStep(c.line);
        ASSERT_EQ(display.has_value(), c.shown);
        if (c.shown) {
            EXPECT_EQ(display->barValue, c.bar);
            EXPECT_EQ(display->namePart, c.name);
        }
    }
}

TEST(DriverStepTextTest, TotalRunsToTheEndWhenTheBracketComesFirst) {
    // "[" before "/": the total part is everything after the "/".
    const auto display = ParseDriverStep("v:[n]3/10");
    EXPECT_FALSE(display.has_value()) << "current part \"[n]3\" reads as 0";
    const auto other = ParseDriverStep("v:5[n]/10");
    ASSERT_TRUE(other.has_value());
    EXPECT_EQ(other->barValue, 55);
    EXPECT_EQ(other->namePart, "[n]/10");
}

TEST(DriverStepTextTest, HugeCountsStayDefined) {
    const auto display = ParseDriverStep("v:99999999999999999999/1[x]");
    ASSERT_TRUE(display.has_value());
    EXPECT_GT(display->barValue, 100);
}

struct FolderCase {
    const wchar_t* folder;
    const wchar_t* drive;
    bool valid;
};

TEST(InstallFolderTest, FolderMustBeOnAPresentDrive) {
    const wchar_t* drives = L"C:\\D:\\Z:\\";
    const FolderCase cases[] = {
        {L"C:\\Program Files\\Tessel", L"C:", true},
        {L"d:\\apps", L"d:", true},  // drive letters compare without regard to case
        {L"Q:\\Apps", L"Q:", false},
        {L"   ", L"", false},
        {L"", L"", false},
        {L"Apps\\Tessel", L"", false},
        {L"\\\\server\\share", L"", false},
        {L"  C:\\x  ", L"C:", true},
        // On a present drive, but no folder Windows can make: the silent installer's rule.
        {L"C:\\Fault\"Test", L"C:", false},
        {L"C:Apps", L"C:", false},
        {L"C:\\Apps\\nul", L"C:", false},
        {L"  C:\\Apps \t", L"C:", true},  // the blank at the end goes with the trimming
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        std::wstring folder = c.folder;
        EXPECT_EQ(IsInstallFolderValid(folder, c.drive, drives), c.valid);
    }
    std::wstring padded = L"  C:\\x \t";
    IsInstallFolderValid(padded, L"C:", drives);
    EXPECT_EQ(padded, L"C:\\x") << "trimmed in place";
}

TEST(InstallFolderTest, FolderRule) {
    const std::wstring product = L"Tessel Assistant";
    EXPECT_EQ(ApplyFolderRule(L"D:\\Apps\\", true, L"", product), L"D:\\Apps\\");
    EXPECT_EQ(ApplyFolderRule(L"D:\\Apps\\", false, L"", product), L"D:\\Apps\\Tessel Assistant");
    EXPECT_EQ(ApplyFolderRule(L"D:\\", false, L"", product), L"D:\\Tessel Assistant");
    // The previous installation's folder, compared raw and without regard to case.
    EXPECT_EQ(ApplyFolderRule(L"D:\\Apps\\Tessel\\", false, L"d:\\apps\\tessel\\", product),
              L"D:\\Apps\\Tessel\\");
    EXPECT_EQ(ApplyFolderRule(L"D:\\Apps\\Tessel\\", false, L"D:\\Apps\\Tessel", product),
              L"D:\\Apps\\Tessel\\Tessel Assistant");
}

TEST(InstallTextsTest, PlaceholdersAreFilledAsText) {
    EXPECT_EQ(FillPlaceholder(L"Error Code: %d", L"%d", L"-1"), L"Error Code: -1");
    EXPECT_EQ(FillPlaceholder(L"components... %s", L"%s", L"[Mouse]"), L"components... [Mouse]");
    // Only the first placeholder; any other "%" stays as it is and is never interpreted.
    EXPECT_EQ(FillPlaceholder(L"%d%% %d %s %n", L"%d", L"7"), L"7%% %d %s %n");
    EXPECT_EQ(FillPlaceholder(L"no placeholder", L"%s", L"x"), L"no placeholder");
    EXPECT_EQ(FillPlaceholder(L"lan_108", L"%s", L"[x]"), L"lan_108");
    // A value that itself looks like a placeholder is not expanded again.
    EXPECT_EQ(FillPlaceholder(L"a %s b", L"%s", L"%s%s"), L"a %s%s b");
}

}  // namespace
}  // namespace tessel
