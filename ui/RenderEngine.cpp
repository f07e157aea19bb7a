#include "ui/RenderEngine.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "base/KernelHandles.h"
#include "base/SystemLibrary.h"
#include "ui/GdiHandles.h"
#include "ui/NinePiece.h"
#include "ui/PaintManagerUI.h"
#include "ui/PixelOps.h"

namespace tessel {
namespace {

using AlphaBlendFn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// msimg32 is looked up at run time, once per process; without it the software stand-ins draw.
// Not a known DLL on Windows 7: by name, it could come from beside the executable.
struct Msimg32 {
    UniqueModule module;
    AlphaBlendFn alphaBlend = nullptr;
    GradientFillFn gradientFill = nullptr;

    Msimg32() : module(LoadSystemLibrary(L"msimg32.dll")) {
        alphaBlend = ProcedureAddress<AlphaBlendFn>(module.Get(), "AlphaBlend");
        gradientFill = ProcedureAddress<GradientFillFn>(module.Get(), "GradientFill");
    }
};

bool g_forceFallbacks = false;

const Msimg32& Library() {
    static Msimg32 library;
    return library;
}

AlphaBlendFn AlphaBlendFunction() {
    return g_forceFallbacks ? nullptr : Library().alphaBlend;
}
GradientFillFn GradientFillFunction() {
    return g_forceFallbacks ? nullptr : Library().gradientFill;
}

COLORREF ToColorRef(uint32_t argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// Blends `source` (in `sourceDc`) onto `dest` in `dc`: stretched, per-pixel alpha, constant alpha
// `fade`. Without AlphaBlend the pixels are stretched into a temporary surface and blended here.
void BlendPiece(HDC dc, const UiRect& dest, HDC sourceDc, const UiRect& source, uint8_t fade,
                bool perPixel) {
    if (AlphaBlendFn alphaBlend = AlphaBlendFunction()) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, fade, static_cast<BYTE>(perPixel ? AC_SRC_ALPHA : 0)};
        alphaBlend(dc, dest.left, dest.top, dest.Width(), dest.Height(), sourceDc, source.left,
                   source.top, source.Width(), source.Height(), blend);
        return;
    }
    DibSection stretched = CreateDibSection(dest.Width(), dest.Height());
    DibSection under = CreateDibSection(dest.Width(), dest.Height());
    UniqueMemoryDc stretchedDc(::CreateCompatibleDC(dc));
    UniqueMemoryDc underDc(::CreateCompatibleDC(dc));
    if (!stretched.bitmap || !under.bitmap || !stretchedDc || !underDc) {
        return;
    }
    ScopedSelectObject selectStretched(stretchedDc.Get(), stretched.bitmap.Get());
    ScopedSelectObject selectUnder(underDc.Get(), under.bitmap.Get());
    ::SetStretchBltMode(stretchedDc.Get(), COLORONCOLOR);
    ::StretchBlt(stretchedDc.Get(), 0, 0, dest.Width(), dest.Height(), sourceDc, source.left,
                 source.top, source.Width(), source.Height(), SRCCOPY);
    ::BitBlt(underDc.Get(), 0, 0, dest.Width(), dest.Height(), dc, dest.left, dest.top, SRCCOPY);
    ::GdiFlush();
    const size_t count = static_cast<size_t>(dest.Width()) * dest.Height();
    std::span<uint32_t> sourcePixels(stretched.pixels, count);
    if (!perPixel) {
        for (uint32_t& p : sourcePixels) {
            p |= 0xFF000000u;
        }
    }
    BlendPremultiplied(sourcePixels, std::span<uint32_t>(under.pixels, count), fade);
    ::BitBlt(dc, dest.left, dest.top, dest.Width(), dest.Height(), underDc.Get(), 0, 0, SRCCOPY);
}

void DrawGradientBands(HDC dc, const UiRect& rect, uint32_t first, uint32_t second, bool vertical,
                       int steps) {
    int shift = 1;
    if (steps >= 64) {
        shift = 6;
    } else if (steps >= 32) {
        shift = 5;
    } else if (steps >= 16) {
        shift = 4;
    } else if (steps > 7) {
        shift = 3;
    } else if (steps > 3) {
        shift = 2;
    }
    const int bands = 1 << shift;
    for (int i = 0; i < bands; ++i) {
        const auto mix = [&](int channelShift) {
            const int a = static_cast<int>((second >> channelShift) & 0xFF);
            const int b = static_cast<int>((first >> channelShift) & 0xFF);
            return static_cast<uint32_t>((a * (bands - i) + b * i) >> shift);
        };
        const uint32_t color = 0xFF000000u | (mix(16) << 16) | (mix(8) << 8) | mix(0);
        UiRect band = rect;
        // Band 0 is the second colour at the far edge; later bands move toward the near edge.
        if (vertical) {
            const long long h = rect.Height();
            band.bottom = rect.bottom - static_cast<int>((i * h) >> shift);
            band.top = rect.bottom - static_cast<int>(((i + 1) * h) >> shift);
        } else {
            const long long w = rect.Width();
            band.right = rect.right - static_cast<int>((i * w) >> shift);
            band.left = rect.right - static_cast<int>(((i + 1) * w) >> shift);
        }
        if (!band.IsEmpty()) {
            UniqueBrush brush(::CreateSolidBrush(ToColorRef(color)));
            const RECT r = ToRECT(band);
            ::FillRect(dc, &r, brush.Get());
        }
    }
}

void DrawGradient(HDC dc, const UiRect& rect, uint32_t first, uint32_t second, bool vertical,
                  int steps) {
    if (GradientFillFn gradientFill = GradientFillFunction()) {
        TRIVERTEX vertices[2] = {};
        const auto fill = [](TRIVERTEX& v, int x, int y, uint32_t c) {
            v.x = x;
            v.y = y;
            v.Red = static_cast<COLOR16>(((c >> 16) & 0xFF) << 8);
            v.Green = static_cast<COLOR16>(((c >> 8) & 0xFF) << 8);
            v.Blue = static_cast<COLOR16>((c & 0xFF) << 8);
            v.Alpha = 0xFF00;
        };
        fill(vertices[0], rect.left, rect.top, first);
        fill(vertices[1], rect.right, rect.bottom, second);
        GRADIENT_RECT mesh{0, 1};
        gradientFill(dc, vertices, 2, &mesh, 1,
                     vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
        return;
    }
    DrawGradientBands(dc, rect, first, second, vertical, steps);
}

// Icon-font glyphs are written as "&#xE001;": the whole text then stands for that one character.
std::wstring GlyphText(std::wstring_view text) {
    const size_t at = text.find(L"&#x");
    if (at == std::wstring_view::npos) {
        return std::wstring(text);
    }
    std::wstring digits(text.substr(at + 3, 4));
    if (!digits.empty() && digits.back() == L' ') {
        digits.pop_back();
    }
    if (!digits.empty() && digits.back() == L';') {
        digits.pop_back();
    }
    const wchar_t glyph = static_cast<wchar_t>(std::wcstoul(digits.c_str(), nullptr, 16));
    return std::wstring(1, glyph);
}

}  // namespace

void CRenderEngine::UseSoftwareFallbacksForTesting(bool useFallbacks) {
    g_forceFallbacks = useFallbacks;
}

bool CRenderEngine::PaintImageSpec(HDC dc, CPaintManagerUI* manager, const UiRect& control,
                                   const UiRect& paint, const ImageDrawSpec& spec, bool hsl) {
    if (manager == nullptr || spec.name.empty()) {
        return false;
    }
    const UiRect dest = ImageDestination(control, spec.dest);
    const int percent = manager->GetDisplayScale().Percent();
    const UiRect corners = ScaleByPercent(spec.corner, percent);
    const ImageRecord* drawn = nullptr;
    UiRect source;
    if (percent != 100) {
        // Resized for this scale at an earlier paint: the file need not be read again.
        drawn = manager->FindResizedImage(spec.name, spec.source);
        if (drawn != nullptr) {
            source = {0, 0, drawn->Width(), drawn->Height()};
        }
    }
    if (drawn == nullptr) {
        const ScaledImage found =
            manager->LookUpImageForScale(spec.name, spec.resourceType, spec.mask, spec.hsl || hsl);
        if (found.image == nullptr) {
            return false;
        }
        const UiSize imageSize{found.image->Width(), found.image->Height()};
        if (found.percent == percent) {
            // The file was drawn for this scale: the description's rectangle is scaled onto it.
            drawn = found.image;
            source = ClampImageSource(ScaleByPercent(spec.source, percent), imageSize);
        } else {
            // Another scale's file: the part the description asks for, resized to this scale.
            const UiRect written = ClampImageSource(spec.source, found.SizeAsWritten());
            const UiRect from = ClampImageSource(ScaleByPercent(written, found.percent), imageSize);
            const UiRect to = ScaleByPercent(written, percent);
            if (from.IsEmpty() || to.IsEmpty()) {
                return true;
            }
            drawn = manager->ResizeImage(spec.name, spec.source, found, from,
                                         {to.Width(), to.Height()});
            if (drawn == nullptr) {
                return false;
            }
            source = {0, 0, to.Width(), to.Height()};
        }
    }
    if (!dest.Intersects(control) || !dest.Intersects(paint)) {
        return true;
    }
    const bool alpha = manager->IsLayered() || drawn->hasAlpha;
    // A destination with negative offsets starts outside the control; it is drawn clipped so
    // that an image never paints over the control's neighbours.
    std::optional<ScopedSaveDc> clip;
    if (dest.Intersect(control) != dest) {
        clip.emplace(dc);
        ::IntersectClipRect(dc, control.left, control.top, control.right, control.bottom);
    }
    BlitNinePiece(dc, drawn->Bitmap(), dest, paint, source, corners, alpha,
                  static_cast<uint8_t>(spec.fade), spec.hole, spec.xTiled, spec.yTiled);
    return true;
}

void CRenderEngine::BlitNinePiece(HDC dc, HBITMAP bitmap, const UiRect& dest, const UiRect& paint,
                                  const UiRect& source, const UiRect& corners, bool alpha,
                                  uint8_t fade, bool hole, bool xTiled, bool yTiled) {
    if (bitmap == nullptr || dc == nullptr) {
        return;
    }
    BITMAP info{};
    if (::GetObjectW(bitmap, sizeof(info), &info) == 0) {
        return;
    }
    UniqueMemoryDc memory(::CreateCompatibleDC(dc));
    if (!memory) {
        return;
    }
    ScopedSelectObject select(memory.Get(), bitmap);
    // Halftone stretching is slow even where nothing is stretched, so the target gets it only
    // for an image that has a piece changing size, and gets its own mode back afterwards.
    struct StretchModeGuard {
        HDC dc;
        int previous = 0;
        ~StretchModeGuard() {
            if (previous != 0) {
                ::SetStretchBltMode(dc, previous);
            }
        }
    } stretchMode{dc};
    const auto prepareStretch = [&](const BlitPiece& piece) {
        if (stretchMode.previous == 0 && (piece.dest.Width() != piece.source.Width() ||
                                          piece.dest.Height() != piece.source.Height())) {
            stretchMode.previous = ::SetStretchBltMode(dc, HALFTONE);
            ::SetBrushOrgEx(dc, 0, 0, nullptr);
        }
    };

    NinePieceInput input;
    input.dest = dest;
    input.paint = paint;
    input.source = source;
    input.corners = corners;
    input.image = {info.bmWidth, std::abs(info.bmHeight)};
    input.hole = hole;
    input.xTiled = xTiled;
    input.yTiled = yTiled;

    if (alpha || fade != 255) {
        ForEachNinePiece(input, [&](const BlitPiece& piece) {
            prepareStretch(piece);
            BlendPiece(dc, piece.dest, memory.Get(), piece.source, fade, alpha);
        });
        return;
    }
    if (dest.Width() == source.Width() && dest.Height() == source.Height() && corners.IsZero() &&
        source.left >= 0 && source.top >= 0 && source.right <= input.image.cx &&
        source.bottom <= input.image.cy) {
        const UiRect visible = dest.Intersect(paint);
        if (!visible.IsEmpty()) {
            ::BitBlt(dc, visible.left, visible.top, visible.Width(), visible.Height(), memory.Get(),
                     source.left + visible.left - dest.left, source.top + visible.top - dest.top,
                     SRCCOPY);
        }
        return;
    }
    ForEachNinePiece(input, [&](const BlitPiece& piece) {
        prepareStretch(piece);
        if (piece.tile) {
            ::BitBlt(dc, piece.dest.left, piece.dest.top, piece.dest.Width(), piece.dest.Height(),
                     memory.Get(), piece.source.left, piece.source.top, SRCCOPY);
        } else {
            ::StretchBlt(dc, piece.dest.left, piece.dest.top, piece.dest.Width(),
                         piece.dest.Height(), memory.Get(), piece.source.left, piece.source.top,
                         piece.source.Width(), piece.source.Height(), SRCCOPY);
        }
    });
}

void CRenderEngine::FillColor(HDC dc, const UiRect& rect, uint32_t color) {
    if (color <= 0x00FFFFFFu || rect.IsEmpty()) {
        return;
    }
    Gdiplus::Graphics graphics(dc);
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    graphics.FillRectangle(&brush, rect.left, rect.top, rect.Width(), rect.Height());
}

void CRenderEngine::FillGradient(HDC dc, const UiRect& rect, uint32_t first, uint32_t second,
                                 bool vertical, int steps) {
    const int alpha = static_cast<int>(((first >> 24) + (second >> 24)) >> 1);
    if (alpha == 0 || rect.IsEmpty()) {
        return;
    }
    if (alpha == 255) {
        DrawGradient(dc, rect, first, second, vertical, steps);
        return;
    }
    DibSection surface = CreateDibSection(rect.Width(), rect.Height());
    UniqueMemoryDc surfaceDc(::CreateCompatibleDC(dc));
    if (!surface.bitmap || !surfaceDc) {
        return;
    }
    ScopedSelectObject select(surfaceDc.Get(), surface.bitmap.Get());
    DrawGradient(surfaceDc.Get(), UiRect{0, 0, rect.Width(), rect.Height()}, first, second,
                 vertical, steps);
    BlendPiece(dc, rect, surfaceDc.Get(), UiRect{0, 0, rect.Width(), rect.Height()},
               static_cast<uint8_t>(alpha), false);
}

void CRenderEngine::StrokeLine(HDC dc, const UiRect& rect, int width, uint32_t color,
                               int penStyle) {
    UniquePen pen(::CreatePen(penStyle, width, ToColorRef(color)));
    ScopedSelectObject select(dc, pen.Get());
    ::MoveToEx(dc, rect.left, rect.top, nullptr);
    ::LineTo(dc, rect.right, rect.bottom);
}

void CRenderEngine::StrokeRect(HDC dc, const UiRect& rect, int width, uint32_t color,
                               int /*penStyle*/) {
    if (rect.IsEmpty()) {
        return;
    }
    Gdiplus::Graphics graphics(dc);
    Gdiplus::Pen pen(Gdiplus::Color(color), static_cast<Gdiplus::REAL>(width));
    pen.SetAlignment(Gdiplus::PenAlignmentInset);
    graphics.DrawRectangle(&pen, rect.left, rect.top, rect.Width() - 1, rect.Height() - 1);
}

void CRenderEngine::StrokeRoundRect(HDC dc, const UiRect& rect, int width, int cornerWidth,
                                    int cornerHeight, uint32_t color, int penStyle) {
    UniquePen pen(::CreatePen(penStyle, width, ToColorRef(color)));
    ScopedSelectObject selectPen(dc, pen.Get());
    ScopedSelectObject selectBrush(dc, ::GetStockObject(NULL_BRUSH));
    ::RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, cornerWidth, cornerHeight);
}

void CRenderEngine::RenderText(HDC dc, CPaintManagerUI* manager, UiRect& rect,
                               std::wstring_view text, uint32_t color, int font, unsigned format) {
    if (manager == nullptr || dc == nullptr) {
        return;
    }
    HFONT hfont = manager->GetFont(font);
    if (!manager->IsLayered() && !manager->IsUseGdiplusText()) {
        ScopedSaveDc saved(dc);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ToColorRef(color));
        ::SelectObject(dc, hfont);
        std::wstring shown = GlyphText(text);
        RECT r = ToRECT(rect);
        // DT_MODIFYSTRING would let DrawText write an ellipsis past the end of the copy.
        ::DrawTextW(dc, shown.data(), static_cast<int>(shown.size()), &r,
                    format & ~DT_MODIFYSTRING);
        if ((format & DT_CALCRECT) != 0) {
            rect = FromRECT(r);
        }
        return;
    }

    Gdiplus::Graphics graphics(dc);
    graphics.SetTextRenderingHint(static_cast<Gdiplus::TextRenderingHint>(
        std::clamp(manager->GetWindowAttributes().textRenderingHint, 0, 5)));
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    Gdiplus::Font* gdiplusFont = manager->GetGdiplusFont(font, dc);
    if (gdiplusFont == nullptr) {
        return;
    }
    std::unique_ptr<Gdiplus::StringFormat> stringFormat(
        Gdiplus::StringFormat::GenericTypographic()->Clone());
    if (!stringFormat) {
        return;
    }
    if ((format & DT_END_ELLIPSIS) != 0) {
        stringFormat->SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    }
    // The typographic format lays out whole lines only; a single line in a rectangle lower than
    // the font's line height (a 13-pixel label in a 16-pixel font) would vanish, where GDI draws
    // it centred and clipped. Partial lines are allowed, as GDI shows them.
    INT flags = stringFormat->GetFormatFlags() & ~Gdiplus::StringFormatFlagsLineLimit;
    if ((format & DT_NOCLIP) != 0) {
        flags |= Gdiplus::StringFormatFlagsNoClip;
    }
    if ((format & DT_SINGLELINE) != 0) {
        flags |= Gdiplus::StringFormatFlagsNoWrap;
    }
    stringFormat->SetFormatFlags(flags);
    if ((format & DT_CENTER) != 0) {
        stringFormat->SetAlignment(Gdiplus::StringAlignmentCenter);
    } else if ((format & DT_RIGHT) != 0) {
        stringFormat->SetAlignment(Gdiplus::StringAlignmentFar);
    } else {
        stringFormat->SetAlignment(Gdiplus::StringAlignmentNear);
    }
    if ((format & DT_VCENTER) != 0) {
        stringFormat->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    } else if ((format & DT_BOTTOM) != 0) {
        stringFormat->SetLineAlignment(Gdiplus::StringAlignmentFar);
    } else {
        stringFormat->SetLineAlignment(Gdiplus::StringAlignmentNear);
    }
    const Gdiplus::RectF layout(
        static_cast<Gdiplus::REAL>(rect.left), static_cast<Gdiplus::REAL>(rect.top),
        static_cast<Gdiplus::REAL>(rect.Width()), static_cast<Gdiplus::REAL>(rect.Height()));
    const std::wstring shown(text);
    if ((format & DT_CALCRECT) != 0) {
        Gdiplus::RectF bounds;
        graphics.MeasureString(shown.c_str(), static_cast<INT>(shown.size()), gdiplusFont, layout,
                               stringFormat.get(), &bounds);
        rect.right = rect.left + static_cast<int>(bounds.Width) + 1;
        rect.bottom = rect.top + static_cast<int>(bounds.Height) + 1;
        return;
    }
    // The text brush stays one step short of opaque (alpha 0xFE).
    Gdiplus::SolidBrush brush{Gdiplus::Color((0xFEu << 24) | (color & 0x00FFFFFFu))};
    graphics.DrawString(shown.c_str(), static_cast<INT>(shown.size()), gdiplusFont, layout,
                        stringFormat.get(), &brush);
}

}  // namespace tessel
