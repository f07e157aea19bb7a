#pragma once

#include <optional>
#include <string_view>

#include "ui/Geometry.h"

namespace tessel {

class CPaintManagerUI;

// Filling the skinned message box's built tree, shared by the live box and the offscreen preview.

// The result both of the box's buttons close it with.
inline constexpr int kMessageBoxButtonResult = 5;

// Sets the caption label and the message text (its height limit, colour and font) and measures
// the text: the client size the box takes for it. Empty when the tree lacks "Lab_Content" or
// "Button1".
std::optional<UiSize> FillMessageBox(CPaintManagerUI& manager, std::wstring_view text,
                                     std::wstring_view caption);

// Gives "Button1" its looked-up text, tags both buttons with their result and centres "Button1"
// in a window `windowWidth` pixels wide, keeping its vertical position.
void PlaceMessageBoxButtons(CPaintManagerUI& manager, int windowWidth);

}  // namespace tessel
