#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/DisplayScale.h"
#include "ui/GdiHandles.h"
#include "ui/Geometry.h"

namespace Gdiplus {
class Font;
}

namespace tessel {

struct GdiplusFontDeleter {
    void operator()(Gdiplus::Font* font) const;
};

// A decoded image: premultiplied pixels in a 32-bit top-down DIB section.
struct ImageRecord {
    DibSection dib;
    bool hasAlpha = false;
    std::wstring resourceType;
    uint32_t mask = 0;
    bool hsl = false;
    std::vector<uint32_t> originalPixels;  // kept only for HSL adjustment

    int Width() const { return dib.width; }
    int Height() const { return dib.height; }
    HBITMAP Bitmap() const { return dib.bitmap.Get(); }
};

// What a font is asked for as; the size in pixels before display scaling.
struct FontRequest {
    std::wstring_view face;  // empty: the system's default face
    int size = 0;
    bool bold = false;
    bool underline = false;
    bool italic = false;
};

struct FontRecord {
    UniqueFont font;
    LOGFONTW description{};  // as created; the height is the scaled size
    int percent = 100;       // the display scale the font was made for
    std::wstring face;
    int size = 0;  // pixels, before display scaling
    bool bold = false;
    bool underline = false;
    bool italic = false;
    TEXTMETRICW metrics{};
    // The same font for GDI+ text, made on first use (making it is costly under every frame).
    mutable std::unique_ptr<Gdiplus::Font, GdiplusFontDeleter> gdiplusFont;
};

// An image as drawn at a display scale: the file chosen for it and the scale that file was drawn
// for (100 for the image itself, 200 for its twice-size variant).
struct ScaledImage {
    const ImageRecord* image = nullptr;
    int percent = 100;
    std::wstring file;  // the name it was read by

    // The image's size in pixels of the image at 100 %, which markup rectangles are written in.
    UiSize SizeAsWritten() const {
        DisplayScale file;
        file.SetPercent(percent);
        return image != nullptr
                   ? UiSize{file.Unscale(image->Width()), file.Unscale(image->Height())}
                   : UiSize{};
    }
};

// The five default text colours, ARGB.
struct DefaultColors {
    uint32_t disabledText = 0xFFA7A6AA;
    uint32_t text = 0xFF000000;
    uint32_t link = 0xFF0000FF;
    uint32_t linkHover = 0xFFD3215F;
    uint32_t selectedBackground = 0xFFBAE4FF;
};

// One window's skin resources: decoded images, fonts, named styles, class defaults and the
// default text colours. Every table exists twice, once for the window and once shared by every
// window of the process; lookups try the window's table first, and a "shared" definition (or
// every definition while shared resources are forced) goes into the process's table.
//
//   images, fonts          a later definition of a name replaces the earlier one
//   styles                 the first definition of a name wins
//   class defaults         a later definition replaces the earlier one
//   default colours        a shared change also moves a window still on the old shared value
//
// Ownership: owns the window's images and fonts; the shared tables own theirs and live until the
// process ends. Records handed out stay valid until their name is defined again or the window's
// tables are cleared.
class ResourceCache {
public:
    // `scale` is the paint manager's; it outlives the cache.
    explicit ResourceCache(const DisplayScale& scale);
    ~ResourceCache();
    ResourceCache(const ResourceCache&) = delete;
    ResourceCache& operator=(const ResourceCache&) = delete;

    // The module whose resources a numbered image names; the program's own when unset.
    static void SetResourceModule(HINSTANCE module);
    static HINSTANCE ResourceModule();

    // Forgets the window's own tables; the shared ones stay.
    void ClearOwn();
    void SetForceShared(bool force) { m_forceShared = force; }
    bool IsForceShared() const { return m_forceShared; }

    // ---- images ----
    const ImageRecord* GetImage(std::wstring_view name) const;
    // The known image, else a newly loaded one in the window's table.
    const ImageRecord* LookUpImage(std::wstring_view name, std::wstring_view type, uint32_t mask,
                                   bool hsl);
    // A name starting with a digit and a non-empty `type` is a resource of the module; any other
    // name a file of the skin. Null when it cannot be read or decoded.
    const ImageRecord* AddImage(std::wstring_view name, std::wstring_view type, uint32_t mask,
                                bool hsl, bool shared);
    // The best file for image `name` at the display scale (ImageVariantsFor): a variant drawn for
    // another scale that the skin lacks is remembered as missing, so it is looked for once. A
    // module resource has no variants.
    ScaledImage LookUpImageForScale(std::wstring_view name, std::wstring_view type, uint32_t mask,
                                    bool hsl);
    // Images resized for the display scale, by the image's name and the description's source
    // rectangle (as written): what FindResized finds was made by Resize, and stays until the scale
    // changes.
    const ImageRecord* FindResized(std::wstring_view name, const UiRect& writtenSource);
    // Part `from` of the file `found` resized to `to` (ResamplePremultiplied); null when it cannot
    // be made. A window's own file that was resized whole is then dropped: only its resized copy
    // is drawn (a background at 150 % keeps 3 MB instead of the 6 MB of its twice-size file too).
    const ImageRecord* Resize(std::wstring_view name, const UiRect& writtenSource,
                              const ScaledImage& found, const UiRect& from, UiSize to);

    // ---- fonts; `measureDc` gives the new font's metrics ----
    // Fonts are made at the display scale of the moment. A font made at another scale (a shared
    // font of a window on another monitor, the system's default font) is looked up as a copy of
    // it at this window's scale, made on first use.
    HFONT AddFont(int id, const FontRequest& request, bool shared, HDC measureDc);
    // The font of `id` (window, then shared), else the default font; negative = default.
    const FontRecord& LookUpFont(int id) const;
    // The GDI+ twin of font `id` (as LookUpFont resolves it), made from `dc` on first use.
    Gdiplus::Font* GetGdiplusFont(int id, HDC dc) const;
    // Bold adds to the default face's weight here instead of replacing it.
    void SetDefaultFont(const FontRequest& request, bool shared, HDC measureDc);
    const FontRecord& GetDefaultFont() const;

    // ---- styles and class defaults ----
    // False when the name was defined already (the first definition stays).
    bool AddStyle(std::wstring_view name, std::wstring_view list, bool shared);
    std::optional<std::wstring_view> GetStyle(std::wstring_view name) const;
    void AddClassDefaults(std::wstring_view className, std::wstring_view list, bool shared);
    std::optional<std::wstring_view> GetClassDefaults(std::wstring_view className) const;

    // ---- display scale ----
    // The display scale has changed: the window's own fonts are made again at the new scale (the
    // records stay where they are; their font handles change), copies and resized images made
    // for the old scale are dropped.
    void OnDisplayScaleChanged(HDC measureDc);

    // ---- default colours ----
    const DefaultColors& Colors() const { return m_colors; }
    void SetDefaultColor(uint32_t DefaultColors::*field, uint32_t color, bool shared);

private:
    struct Tables;
    static Tables& Shared();
    Tables& TablesFor(bool shared);
    // The entry of `key` in the window's table `field`, else in the shared one; null in neither.
    template <auto Field>
    const auto* Find(std::wstring_view key) const;
    std::unique_ptr<FontRecord> CreateFontRecord(const FontRequest& request, bool addBold,
                                                 HDC measureDc) const;
    // `font` as it is, or made again at the current scale.
    const FontRecord& AtCurrentScale(const FontRecord& font) const;

    const DisplayScale& m_scale;  // not owned; the paint manager's
    std::unique_ptr<Tables> m_own;
    DefaultColors m_colors;
    bool m_forceShared = false;
};

}  // namespace tessel
