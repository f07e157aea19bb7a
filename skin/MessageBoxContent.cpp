#include "skin/MessageBoxContent.h"

#include "skin/MessageBoxLayout.h"
#include "ui/ControlUI.h"
#include "ui/PaintManagerUI.h"
#include "ui/TextUI.h"

namespace tessel {
namespace {

constexpr uint32_t kMessageTextColor = 0xFF111111u;
constexpr int kMessageTextFont = 1;
constexpr wchar_t kOkTextId[] = L"lan_52";

}  // namespace

std::optional<UiSize> FillMessageBox(CPaintManagerUI& manager, std::wstring_view text,
                                     std::wstring_view caption) {
    auto* textControl = ControlAs<CTextUI>(manager.FindControl(L"Lab_Content"), L"Text");
    if (textControl == nullptr || manager.FindControl(L"Button1") == nullptr) {
        return std::nullopt;
    }
    // The label keeps its markup's `resourcetext`: a caption that is no text id shows unchanged.
    if (CControlUI* captionLabel = manager.FindControl(L"labCaption")) {
        captionLabel->SetText(caption);
    }
    textControl->SetMaxHeight(kMessageBoxTextMaxHeight);
    textControl->SetText(text);
    textControl->SetMouseEnabled(false);
    textControl->SetTextColor(kMessageTextColor);
    textControl->SetFont(kMessageTextFont);
    const UiSize measured = textControl->MeasureSize(kMessageBoxTextArea);
    return MessageBoxClientSize(measured, textControl->GetPadding(),
                                manager.GetDisplayScale().Percent());
}

void PlaceMessageBoxButtons(CPaintManagerUI& manager, int windowWidth) {
    if (CControlUI* close = manager.FindControl(L"btnClose")) {
        close->SetTag(kMessageBoxButtonResult);
    }
    CControlUI* button = manager.FindControl(L"Button1");
    if (button == nullptr) {
        return;
    }
    button->SetText(kOkTextId);
    button->SetResourceText(true);
    button->SetTag(kMessageBoxButtonResult);
    const DisplayScale& scale = manager.GetDisplayScale();
    const int left = CentredButtonLeft(windowWidth, button->GetFixedWidth());
    button->SetFixedXY({scale.Unscale(left), scale.Unscale(button->GetFixedXY().cy)});
}

}  // namespace tessel
