#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tessel {

// The uninstall entry's values that are computed rather than copied, in the forms Add/Remove
// Programs reads them.

// A local calendar date as the system reports it.
struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// "EstimatedSize": whole kilobytes (1024 bytes), rounded up, so that any installed byte counts;
// saturates at the largest REG_DWORD.
uint32_t KilobytesRoundedUp(uint64_t bytes);

// "InstallDate": "yyyymmdd". Nothing for a date no calendar has (month 13, 30 February, 29 February
// outside a leap year) or one outside the years 1601 to 9999, which the system never reports and
// eight digits cannot hold.
std::optional<std::wstring> FormatInstallDate(const CalendarDate& date);

}  // namespace tessel
