#pragma once

#include <algorithm>

#include "ui/Geometry.h"
#include "ui/ImageDescription.h"

namespace tessel {

// The skinned message box's geometry rules, shared by the box itself and the offscreen preview.
// Free of <windows.h>. The constants are markup pixels (at 100 %); sizes passed in and out are
// pixels at the display scale.
//
//   +--------------------------------------+  ^
//   | caption                          [x] |  | 50  header row
//   |        /!\ text ...................  |  | text row: the text's own height
//   |              [  Button1  ]           |  | 52  button row
//   +--------------------------------------+  v      (plus the rest of the chrome)
//
// The width follows the text (plus its padding) and never drops below the markup's 342; the
// height is the text's height plus 115 of chrome and never drops below 202.

inline constexpr UiSize kMessageBoxMinimumSize{342, 202};
inline constexpr int kMessageBoxChromeHeight = 115;
inline constexpr int kMessageBoxTextMaxHeight = 600;
// What the text may use when it is measured; the box never wraps it, so only the height matters.
inline constexpr UiSize kMessageBoxTextArea{700, 0};

// The client size for a measured text (`textSize`, its height not yet limited) with the text
// control's padding in its row, at display scale `percent`.
inline UiSize MessageBoxClientSize(UiSize textSize, const UiRect& textPadding, int percent = 100) {
    const int height = std::min(textSize.cy, ScaleByPercent(kMessageBoxTextMaxHeight, percent));
    return {std::max(textSize.cx + textPadding.left + textPadding.right,
                     ScaleByPercent(kMessageBoxMinimumSize.cx, percent)),
            std::max(height + ScaleByPercent(kMessageBoxChromeHeight, percent),
                     ScaleByPercent(kMessageBoxMinimumSize.cy, percent))};
}

// The button's left edge, centred in the window: each half truncated toward zero.
inline int CentredButtonLeft(int windowWidth, int buttonWidth) {
    return windowWidth / 2 - buttonWidth / 2;
}

}  // namespace tessel
