#include "ui/WindowGeometry.h"

#include <array>

namespace tessel {

FrameHit ClassifyFramePoint(UiPoint p, const UiRect& client, const UiRect& sizeBox,
                            const UiRect& caption, bool maximized) {
    if (!maximized) {
        const bool left = p.x < client.left + sizeBox.left;
        const bool right = p.x > client.right - sizeBox.right;
        if (p.y < client.top + sizeBox.top) {
            return left ? FrameHit::TopLeft : right ? FrameHit::TopRight : FrameHit::Top;
        }
        if (p.y > client.bottom - sizeBox.bottom) {
            return left ? FrameHit::BottomLeft : right ? FrameHit::BottomRight : FrameHit::Bottom;
        }
        if (left) {
            return FrameHit::Left;
        }
        if (right) {
            return FrameHit::Right;
        }
    }
    const int captionBottom = caption.bottom == -1 ? client.bottom : caption.bottom;
    if (p.x >= client.left + caption.left && p.x < client.right - caption.right &&
        p.y >= caption.top && p.y < captionBottom) {
        return FrameHit::Caption;
    }
    return FrameHit::Client;
}

UiPoint CenteredPosition(UiSize size, const UiRect& reference, const UiRect& work) {
    int x = (reference.left + reference.right) / 2 - size.cx / 2;
    int y = (reference.top + reference.bottom) / 2 - size.cy / 2;
    if (x < work.left) {
        x = work.left;
    } else if (x + size.cx > work.right) {
        x = work.right - size.cx;
    }
    if (y < work.top) {
        y = work.top;
    } else if (y + size.cy > work.bottom) {
        y = work.bottom - size.cy;
    }
    return {x, y};
}

bool IsCaptionClass(std::wstring_view lowerClassName) {
    static constexpr std::array<std::wstring_view, 10> kStatic = {L"controlui",
                                                                  L"textui",
                                                                  L"labelui",
                                                                  L"containerui",
                                                                  L"horizontallayoutui",
                                                                  L"verticallayoutui",
                                                                  L"tablayoutui",
                                                                  L"childlayoutui",
                                                                  L"dialoglayoutui",
                                                                  L"progresscontainerui"};
    for (std::wstring_view name : kStatic) {
        if (name == lowerClassName) {
            return true;
        }
    }
    return false;
}

}  // namespace tessel
