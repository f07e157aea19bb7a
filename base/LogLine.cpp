// The installation log's lines: pure code, built for Windows and for the native sanitizer build.
#include "base/LogLine.h"

#include <algorithm>
#include <cstdio>

namespace tessel {
namespace {

constexpr char kCutMark[] = "...";
constexpr int kYearDigits = 4;
constexpr int kMillisecondDigits = 3;
constexpr int kFieldDigits = 2;

// `value` in exactly `digits` decimal digits, clamped into what they hold.
void AppendField(std::string& out, int value, int digits) {
    int largest = 1;
    for (int i = 0; i < digits; ++i) {
        largest *= 10;
    }
    value = std::clamp(value, 0, largest - 1);
    char buffer[8] = {};
    std::snprintf(buffer, sizeof(buffer), "%0*d", digits, value);
    out += buffer;
}

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

bool IsContinuationByte(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The text up to kMaxLogTextBytes, never ending inside a UTF-8 sequence.
std::string_view CutText(std::string_view text, bool& cut) {
    cut = text.size() > kMaxLogTextBytes;
    if (!cut) {
        return text;
    }
    size_t end = kMaxLogTextBytes - (sizeof(kCutMark) - 1);
    // Back to the lead byte of a sequence the cut would split (at most three steps in UTF-8).
    for (int step = 0; step < 3 && end > 0 && IsContinuationByte(text[end]); ++step) {
        --end;
    }
    return text.substr(0, end);
}

bool IsBlankOrBreak(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

}  // namespace

std::string FormatLogLine(const LogTime& time, uint32_t processId, std::string_view text) {
    bool cut = false;
    const std::string_view kept = CutText(text, cut);

    std::string line;
    line.reserve(kept.size() + 40);
    AppendField(line, time.year, kYearDigits);
    line += '-';
    AppendField(line, time.month, kFieldDigits);
    line += '-';
    AppendField(line, time.day, kFieldDigits);
    line += ' ';
    AppendField(line, time.hour, kFieldDigits);
    line += ':';
    AppendField(line, time.minute, kFieldDigits);
    line += ':';
    AppendField(line, time.second, kFieldDigits);
    line += '.';
    AppendField(line, time.millisecond, kMillisecondDigits);
    line += " [" + std::to_string(processId) + "] ";
    for (const char c : kept) {
        line += IsControl(static_cast<unsigned char>(c)) ? ' ' : c;
    }
    if (cut) {
        line += kCutMark;
    }
    line += "\r\n";
    return line;
}

bool LogNeedsRestart(uint64_t fileBytes, uint64_t lineBytes, uint64_t limit) {
    return fileBytes > 0 && (fileBytes >= limit || lineBytes > limit - fileBytes);
}

std::wstring TrimSystemMessage(std::wstring_view message) {
    std::wstring trimmed;
    trimmed.reserve(message.size());
    bool pendingBlank = false;
    for (const wchar_t c : message) {
        if (IsBlankOrBreak(c)) {
            pendingBlank = !trimmed.empty();
            continue;
        }
        if (pendingBlank) {
            trimmed += L' ';
            pendingBlank = false;
        }
        trimmed += c;
    }
    return trimmed;
}

std::wstring FormatWindowsError(uint32_t code, std::wstring_view systemText) {
    std::wstring text = L"Windows error ";
    if (code > 0xFFFF) {
        wchar_t hex[16] = {};
        std::swprintf(hex, sizeof(hex) / sizeof(hex[0]), L"0x%08X", static_cast<unsigned>(code));
        text += hex;
    } else {
        text += std::to_wstring(code);
    }
    if (!systemText.empty()) {
        text += L": ";
        text += systemText;
    }
    return text;
}

}  // namespace tessel
