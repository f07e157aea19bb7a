#pragma once

// Reading an installation log back in tests: every line in the log's format (a line that is not
// fails the test), and the system's message for an error as a test expects it in the log.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "base/TextConversion.h"

namespace tessel::testing_support {

struct LoggedLine {
    std::string stamp;  // "yyyy-mm-dd hh:mm:ss.mmm"
    uint32_t processId = 0;
    std::string text;
};

inline std::vector<LoggedLine> ReadLogLines(const std::wstring& path) {
    static const std::regex kFormat(
        R"(^(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}) \[(\d+)\] ([^\r\n]*)\r\n)");
    std::ifstream in(path.c_str(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<LoggedLine> lines;
    for (auto at = bytes.cbegin(); at != bytes.cend();) {
        std::smatch match;
        if (!std::regex_search(at, bytes.cend(), match, kFormat)) {
            ADD_FAILURE() << "not a log line: " << std::string(at, bytes.cend()).substr(0, 200);
            break;
        }
        lines.push_back({match[1], static_cast<uint32_t>(std::stoul(match[2])), match[3]});
        at = match[0].second;
    }
    return lines;
}

inline std::vector<std::string> ReadLogTexts(const std::wstring& path) {
    std::vector<std::string> texts;
    for (const auto& line : ReadLogLines(path)) {
        texts.push_back(line.text);
    }
    return texts;
}

// The system's own message for `code` in UTF-8, trimmed at its end only.
inline std::string SystemMessageText(DWORD code) {
    wchar_t buffer[512] = {};
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, code, 0, buffer, 512, nullptr);
    while (length > 0 && std::iswspace(buffer[length - 1])) {
        --length;
    }
    return WideToUtf8(std::wstring_view(buffer, length));
}

// The position of the first text equal to / starting with the given one; texts.size() if none.
inline size_t IndexOf(const std::vector<std::string>& texts, const std::string& text) {
    size_t at = 0;
    while (at < texts.size() && texts[at] != text) {
        ++at;
    }
    return at;
}
inline size_t IndexStartingWith(const std::vector<std::string>& texts, const std::string& prefix) {
    size_t at = 0;
    while (at < texts.size() && !texts[at].starts_with(prefix)) {
        ++at;
    }
    return at;
}

}  // namespace tessel::testing_support
