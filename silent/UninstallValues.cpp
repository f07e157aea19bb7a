// The uninstall entry's computed values: pure code, built for Windows and for the native build.
#include "silent/UninstallValues.h"

#include <cwchar>
#include <limits>

namespace tessel {
namespace {

constexpr uint64_t kBytesPerKilobyte = 1024;
constexpr int kFirstYear = 1601;
constexpr int kLastYear = 9999;

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

uint32_t KilobytesRoundedUp(uint64_t bytes) {
    const uint64_t kilobytes = bytes / kBytesPerKilobyte + (bytes % kBytesPerKilobyte != 0 ? 1 : 0);
    constexpr uint64_t kLargest = std::numeric_limits<uint32_t>::max();
    return static_cast<uint32_t>(kilobytes < kLargest ? kilobytes : kLargest);
}

std::optional<std::wstring> FormatInstallDate(const CalendarDate& date) {
    if (date.year < kFirstYear || date.year > kLastYear || date.month < 1 || date.month > 12 ||
        date.day < 1 || date.day > DaysInMonth(date.year, date.month)) {
        return std::nullopt;
    }
    wchar_t text[16] = {};
    std::swprintf(text, sizeof(text) / sizeof(text[0]), L"%04d%02d%02d", date.year, date.month,
                  date.day);
    return std::wstring(text);
}

}  // namespace tessel
