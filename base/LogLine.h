#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessel {

// What the installation log (InstallLog) decides without Windows: what one line looks like, when
// the file starts over, and how a system error reads. Free of <windows.h>, so the native build
// tests it.

// A local time as the system reports it (SYSTEMTIME's fields).
struct LogTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// The most bytes of text one line carries; a longer text is cut at a character boundary and ends
// in "...". Paths and system messages stay far below it.
inline constexpr size_t kMaxLogTextBytes = 4096;

// "yyyy-mm-dd hh:mm:ss.mmm [pid] text" and CR LF. Each time field is zero-padded to its width and
// clamped into what that width holds (a negative field reads 0), so the columns line up whatever
// the input. Control characters in `text` (line breaks, tabs, NUL) become blanks: one call is one
// line, whatever the text holds. Bytes from 0x80 up pass as they are (the text is UTF-8).
std::string FormatLogLine(const LogTime& time, uint32_t processId, std::string_view text);

// Whether the file must start over before a line of `lineBytes` is appended to a file of
// `fileBytes`: when the line would take it past `limit`. An empty file never does, so a line longer
// than the limit is still written rather than starting over forever.
bool LogNeedsRestart(uint64_t fileBytes, uint64_t lineBytes, uint64_t limit);

// A system message as FormatMessageW gives it, made one line: leading and trailing blanks and line
// breaks removed, each inner run of blanks and line breaks one blank.
std::wstring TrimSystemMessage(std::wstring_view message);

// "Windows error 32: The process cannot access the file ...". Codes above 0xFFFF (HRESULTs, as COM
// calls return them) are written in hexadecimal, "Windows error 0x80070005: ..."; without a text
// only the code is written.
std::wstring FormatWindowsError(uint32_t code, std::wstring_view systemText);

}  // namespace tessel
