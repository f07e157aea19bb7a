#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "ui/Geometry.h"
#include "ui/ImageDescription.h"

namespace tessel {

class CPaintManagerUI;

// Stateless drawing operations the controls paint with. Coordinates are client pixels of the
// target DC; colours are ARGB. The run-time msimg32 functions are looked up once per process.
class CRenderEngine {
public:
    // Draws one image description inside `control`, clipped to `paint`. False only when the
    // image cannot be found or decoded.
    static bool PaintImageSpec(HDC dc, CPaintManagerUI* manager, const UiRect& control,
                               const UiRect& paint, const ImageDrawSpec& spec, bool hsl = false);

    static void BlitNinePiece(HDC dc, HBITMAP bitmap, const UiRect& dest, const UiRect& paint,
                              const UiRect& source, const UiRect& corners, bool alpha, uint8_t fade,
                              bool hole, bool xTiled, bool yTiled);

    static void FillColor(HDC dc, const UiRect& rect, uint32_t color);
    static void FillGradient(HDC dc, const UiRect& rect, uint32_t first, uint32_t second,
                             bool vertical, int steps);
    static void StrokeLine(HDC dc, const UiRect& rect, int width, uint32_t color,
                           int penStyle = PS_SOLID);
    static void StrokeRect(HDC dc, const UiRect& rect, int width, uint32_t color,
                           int penStyle = PS_SOLID);
    static void StrokeRoundRect(HDC dc, const UiRect& rect, int width, int cornerWidth,
                                int cornerHeight, uint32_t color, int penStyle = PS_SOLID);

    // Draws `text` in `rect`, or with DT_CALCRECT only measures it (rect then receives the
    // measured extent). GDI in plain windows; GDI+ in layered windows or with GDI+ text.
    static void RenderText(HDC dc, CPaintManagerUI* manager, UiRect& rect, std::wstring_view text,
                           uint32_t color, int font, unsigned format);

    // Tests force the software stand-ins for the msimg32 functions.
    static void UseSoftwareFallbacksForTesting(bool useFallbacks);
};

}  // namespace tessel
