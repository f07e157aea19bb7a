#pragma once

#include <string_view>

#include "ui/Geometry.h"

namespace tessel {

// Window-frame decisions of a skinned window, free of <windows.h> so they can be tested alone.

enum class FrameHit {
    Client,
    Caption,  // inside the caption band; whether it drags depends on the control there
    Left,
    Right,
    Top,
    TopLeft,
    TopRight,
    Bottom,
    BottomLeft,
    BottomRight,
};

// Where a client point falls: the sizing borders (not while maximised), then the caption band.
// A caption bottom of -1 reaches the client bottom. All client pixels, already scaled.
FrameHit ClassifyFramePoint(UiPoint point, const UiRect& client, const UiRect& sizeBox,
                            const UiRect& caption, bool maximized);

// Top-left of a window of `size` centred on `reference`, then pushed inside `workArea` (left and
// top edges first, then right and bottom).
UiPoint CenteredPosition(UiSize size, const UiRect& reference, const UiRect& workArea);

// Whether controls of this class (lower case) let the window be dragged by them.
bool IsCaptionClass(std::wstring_view lowerClassName);

}  // namespace tessel
