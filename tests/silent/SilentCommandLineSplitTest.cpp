// The installer's command line as the silent installer splits it, through the system's own
// splitter (CommandLineToArgvW), and reads it.
#include <gtest/gtest.h>

#include "base/CommandLineArguments.h"
#include "engine/SilentCommandLine.h"
#include "silent/SilentArguments.h"

namespace tessel {
namespace {

// What the installer used to send for "C:\Fault"Test": the quote ends the first field, and the
// fields that follow are shifted. The folder left in the first field is a usable one.
TEST(SilentCommandLineSplitTest, AQuoteInTheFolderShiftsTheFieldsAndIsRefused) {
    SilentInstallOptions options;
    options.installFolder = L"C:\\Fault\"Test\\";
    const std::wstring line = FormatSilentCommandLine(options);
    const std::vector<std::wstring> fields = SplitArguments(line.c_str());
    ASSERT_FALSE(fields.empty());
    EXPECT_EQ(fields[0], L"C:\\Fault");
    EXPECT_NE(fields.size(), 8u);
    EXPECT_FALSE(ParseSilentArguments(fields).has_value());

    // The same folder without the quote: eight fields, read back as sent.
    options.installFolder = L"C:\\FaultTest\\";
    const auto parsed =
        ParseSilentArguments(SplitArguments(FormatSilentCommandLine(options).c_str()));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->options.installFolder, options.installFolder);
    EXPECT_EQ(parsed->channelName, L"Install");
}

}  // namespace
}  // namespace tessel
