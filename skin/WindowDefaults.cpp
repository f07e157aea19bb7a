#include "skin/WindowDefaults.h"

#include <cstdint>

#include "ui/PaintManagerUI.h"

namespace tessel {
namespace {

// The two link colours carry alpha 0 exactly as the product has always set them.
constexpr uint32_t kLinkColor = 0x00444444;
constexpr uint32_t kLinkHoverColor = 0x003E93D9;
constexpr uint32_t kTextColor = 0xFF444444;
constexpr wchar_t kFontFace[] = L"\x5FAE\x8F6F\x96C5\x9ED1";  // "Microsoft YaHei" in Chinese
constexpr int kFontSize = 12;

}  // namespace

void ApplyWindowDefaults(CPaintManagerUI& manager) {
    manager.SetDefaultLinkFontColor(kLinkColor, false);
    manager.SetDefaultLinkHoverFontColor(kLinkHoverColor, false);
    manager.SetDefaultFontColor(kTextColor, false);
    manager.SetDefaultFont(kFontFace, kFontSize, /*bold=*/false, /*underline=*/false,
                           /*italic=*/false, /*shared=*/false);
}

}  // namespace tessel
