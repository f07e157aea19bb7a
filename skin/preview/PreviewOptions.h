#pragma once

#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace tessel {

// The skin preview's command line. Free of <windows.h>.
//
//   skin-preview <markup> --out <file.png> [--skin <archive>] [--lang CN|TC|EN] [--page N]
//                [--text T] [--caption T] [--arg N] [--folder PATH] [--status T] [--progress N]
//                [--show NAME]... [--hide NAME]... [--hover NAME]... [--disable NAME]...
//                [--unselect NAME]... [--scale PERCENT]
struct PreviewOptions {
    std::wstring markup;                      // a window file of the package: "WndInstall.xml"
    std::wstring output;                      // the PNG to write
    std::wstring skinArchive;                 // empty: the package built into the tool
    std::wstring language = L"EN";            // CN, TC or EN
    std::optional<int> page;                  // tab page to show
    std::optional<std::wstring> messageText;  // message box text (a text id or plain text)
    std::wstring caption;                     // message box caption (a text id or plain text)
    std::optional<long> formatArgument;       // fills "%d" and "%s" of the text
    std::optional<std::wstring> folder;       // edt_Folder's text
    std::optional<std::wstring> status;       // lab_content's text (a text id or plain text)
    std::optional<int> progress;              // pro_Install's value
    std::vector<std::pair<std::wstring, bool>> visibility;  // name, shown
    std::vector<std::wstring> hovered;
    std::vector<std::wstring> disabled;    // controls shown unavailable
    std::vector<std::wstring> unselected;  // check boxes and options shown cleared
    int scale = 100;  // display scale in percent, as a window on a monitor of that scale draws
};

struct PreviewArgumentsResult {
    std::optional<PreviewOptions> options;
    std::wstring error;  // why `options` is empty
};

// `arguments` without the program name.
PreviewArgumentsResult ParsePreviewArguments(std::span<const std::wstring> arguments);

// The language file for a language code: "lan_cn.xml", "lan_tc.xml", "lan_en.xml"; empty for
// anything else. Codes compare without regard to case.
std::wstring LanguageFileForCode(const std::wstring& code);

// `text` with its first "%d" or "%s" replaced by `argument` (as the progress display fills them).
std::wstring FillFormatArgument(const std::wstring& text, long argument);

}  // namespace tessel
