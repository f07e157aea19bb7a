#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
    UiRect dest;  // offsets inside the control's rectangle; all 0 = the whole control
    // The next two are as written, in pixels of the image at 100 %: the drawing maps them onto
    // whichever variant of the image it draws from (CRenderEngine::PaintImageSpec).
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

    // `scalePercent` multiplies dest (100 leaves it as written).
    void Parse(std::wstring_view descriptionText, std::wstring_view modifierText,
               int scalePercent = 100);
};

// Scales a length by percent / 100, rounded half away from zero as MulDiv does.
int ScaleByPercent(int value, int percent);
UiRect ScaleByPercent(const UiRect& r, int percent);

// The name of an image's variant for a display scale: every "." becomes "@<percent>." (at 150 %,
// "WndInstall\bk.png" is "WndInstall\bk@150.png"); at 100 % the name itself.
std::wstring ScaledImageName(std::wstring_view name, int percent);

// One image file that may stand for an image at a display scale, and the scale it was drawn for.
struct ImageVariant {
    std::wstring name;
    int percent = 100;

    bool operator==(const ImageVariant&) const = default;
};

// The files to try for `name` at `percent`, best first: the variant drawn for exactly that scale,
// then above 100 % the twice-size one (scaled down, or up beyond 200 %, with good filtering), and
// last the image itself.
std::vector<ImageVariant> ImageVariantsFor(std::wstring_view name, int percent);

}  // namespace tessel
