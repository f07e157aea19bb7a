// The uninstall entry's computed values: the size rounded up to whole kilobytes, the install date
// as eight digits, and what becomes of values no system reports.
#include "silent/UninstallValues.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace tessel {
namespace {

TEST(UninstallValuesTest, SizeIsWholeKilobytesRoundedUp) {
    constexpr uint64_t kLargest = std::numeric_limits<uint32_t>::max();
    const struct {
        uint64_t bytes;
        uint32_t kilobytes;
    } cases[] = {
        {0, 0},
        {1, 1},
        {1023, 1},
        {1024, 1},
        {1025, 2},
        {2048, 2},
        {10 * 1024 * 1024 + 1, 10 * 1024 + 1},
        {kLargest * 1024, static_cast<uint32_t>(kLargest)},
        {kLargest * 1024 - 1, static_cast<uint32_t>(kLargest)},
        {kLargest * 1024 + 1, static_cast<uint32_t>(kLargest)},  // saturates
        {std::numeric_limits<uint64_t>::max(), static_cast<uint32_t>(kLargest)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(KilobytesRoundedUp(c.bytes), c.kilobytes);
    }
}

TEST(UninstallValuesTest, DateIsEightDigits) {
    EXPECT_EQ(FormatInstallDate({2024, 3, 5}), L"20240305");
    EXPECT_EQ(FormatInstallDate({2024, 12, 31}), L"20241231");
    EXPECT_EQ(FormatInstallDate({1601, 1, 1}), L"16010101");
    EXPECT_EQ(FormatInstallDate({9999, 12, 31}), L"99991231");
}

TEST(UninstallValuesTest, DatesNoCalendarHasGiveNothing) {
    const struct {
        CalendarDate date;
        bool exists;
    } cases[] = {
        {{2024, 2, 29}, true},   // a leap year
        {{2023, 2, 29}, false},  // not one
        {{2000, 2, 29}, true},   // divisible by 400
        {{1900, 2, 29}, false},  // by 100 only
        {{2023, 4, 31}, false},  {{2023, 4, 30}, true},   {{2023, 1, 32}, false},
        {{2023, 0, 1}, false},   {{2023, 13, 1}, false},  {{2023, 1, 0}, false},
        {{2023, -1, -1}, false}, {{1600, 12, 31}, false},  // before the system's calendar
        {{10000, 1, 1}, false},                            // more than eight digits
        {{0, 0, 0}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.date.year << "-" << c.date.month << "-" << c.date.day);
        EXPECT_EQ(FormatInstallDate(c.date).has_value(), c.exists);
    }
}

}  // namespace
}  // namespace tessel
