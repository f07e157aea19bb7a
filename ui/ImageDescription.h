#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/Geometry.h"

namespace tessel {

// The parsed form of one image description ("file='a.png' dest='0,3,16,19' corner='20,0,20,0'",
// or a bare image name) plus a control's modifier, parsed in that order so the modifier's keys win.
// Free of <windows.h>: the drawing lives in CRenderEngine.
struct ImageDrawSpec {
    std::wstring description;
    std::wstring modifier;

    std::wstring name;
    std::wstring resourceType;
    UiRect dest;    // offsets inside the control's rectangle; all 0 = the whole control
    UiRect source;  // rectangle of the image; all 0 = the whole image
    UiRect corner;  // border widths kept unstretched
    uint32_t mask = 0;
    int fade = 255;
    bool hole = false;
    bool xTiled = false;
    bool yTiled = false;
    bool hsl = false;
    UiSize iconSize;
    std::wstring iconAlign;

    // `scalePercent` multiplies dest, source and corner (100 leaves them as written).
    void Parse(std::wstring_view descriptionText, std::wstring_view modifierText,
               int scalePercent = 100);
};

// Scales a length by percent / 100, rounded half away from zero as MulDiv does.
int ScaleByPercent(int value, int percent);

}  // namespace tessel
