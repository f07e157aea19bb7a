#include "ui/ResourceCache.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <map>
#include <span>
#include <tuple>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "ui/DisplayScale.h"
#include "ui/ImageDecoder.h"
#include "ui/ImageDescription.h"
#include "ui/ImagePrefetch.h"
#include "ui/ImageResample.h"
#include "ui/PixelOps.h"
#include "ui/ResourceLocation.h"

namespace tessel {

struct ResourceCache::Tables {
    std::unordered_map<std::wstring, std::unique_ptr<ImageRecord>> images;
    std::unordered_map<std::wstring, std::unique_ptr<FontRecord>> fonts;
    std::unordered_map<std::wstring, std::wstring> styles;
    std::unordered_map<std::wstring, std::wstring> classDefaults;
    std::unique_ptr<FontRecord> defaultFont;  // null in a window's tables: use the shared one
    DefaultColors colors;                     // read only from the shared tables

    // Kept in a window's tables only, for the window's display scale:
    std::unordered_set<std::wstring> missingVariants;  // variant names the skin does not have
    std::map<std::tuple<std::wstring, int, int, int, int>, std::unique_ptr<ImageRecord>>
        resized;  // (image name, source as written) -> the part resized for the scale
    // Fonts of another table made at another scale, as copies at this window's scale.
    std::unordered_map<const FontRecord*, std::unique_ptr<FontRecord>> scaledCopies;
};

namespace {

// A name starting with a digit, given with a resource type, names a resource of the module.
bool IsModuleResource(std::wstring_view name, std::wstring_view type) {
    return !type.empty() && !name.empty() && name.front() >= L'0' && name.front() <= L'9';
}

HINSTANCE g_resourceModule = nullptr;

LOGFONTW DefaultGuiFontDescription() {
    LOGFONTW description{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(description), &description);
    return description;
}

// The system's GUI font as the shared default, until a skin sets one.
std::unique_ptr<FontRecord> SystemDefaultFont() {
    const LOGFONTW description = DefaultGuiFontDescription();
    auto font = std::make_unique<FontRecord>();
    font->font.Reset(::CreateFontIndirectW(&description));
    font->description = description;
    font->face = description.lfFaceName;
    font->size = description.lfHeight < 0 ? -description.lfHeight : description.lfHeight;
    font->bold = description.lfWeight >= FW_BOLD;
    font->italic = description.lfItalic != 0;
    font->underline = description.lfUnderline != 0;
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (dc && font->font) {
        ScopedSelectObject select(dc.Get(), font->font.Get());
        ::GetTextMetricsW(dc.Get(), &font->metrics);
    }
    return font;
}

// The bytes of resource `number` of `type` in the resource module; empty when there is none.
std::vector<uint8_t> ModuleResourceBytes(std::wstring_view number, std::wstring_view type) {
    const int id = _wtoi(std::wstring(number).c_str());
    if (id <= 0 || id >= 65536) {
        return {};
    }
    HINSTANCE module = ResourceCache::ResourceModule();
    const std::wstring typeName(type);
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(id), typeName.c_str());
    if (resource == nullptr) {
        return {};
    }
    const DWORD size = ::SizeofResource(module, resource);
    const auto* data =
        static_cast<const uint8_t*>(::LockResource(::LoadResource(module, resource)));
    if (data == nullptr || size == 0) {
        return {};
    }
    return {data, data + size};
}

}  // namespace

void GdiplusFontDeleter::operator()(Gdiplus::Font* font) const {
    delete font;
}

ResourceCache::Tables& ResourceCache::Shared() {
    static Tables tables = [] {
        Tables t;
        t.defaultFont = SystemDefaultFont();
        return t;
    }();
    return tables;
}

ResourceCache::ResourceCache(const DisplayScale& scale)
    : m_scale(scale), m_own(std::make_unique<Tables>()), m_colors(Shared().colors) {}

ResourceCache::~ResourceCache() = default;

void ResourceCache::SetResourceModule(HINSTANCE module) {
    g_resourceModule = module;
}

HINSTANCE ResourceCache::ResourceModule() {
    return g_resourceModule != nullptr ? g_resourceModule : ::GetModuleHandleW(nullptr);
}

void ResourceCache::ClearOwn() {
    m_own = std::make_unique<Tables>();
}

ResourceCache::Tables& ResourceCache::TablesFor(bool shared) {
    return (shared || m_forceShared) ? Shared() : *m_own;
}

template <auto Field>
const auto* ResourceCache::Find(std::wstring_view key) const {
    using Value =
        typename std::remove_cvref_t<decltype(std::declval<Tables&>().*Field)>::mapped_type;
    const std::wstring text(key);
    for (const Tables* tables : {m_own.get(), &Shared()}) {
        const auto& table = tables->*Field;
        if (auto it = table.find(text); it != table.end()) {
            return &it->second;
        }
    }
    return static_cast<const Value*>(nullptr);
}

// ---- images -------------------------------------------------------------------------------

const ImageRecord* ResourceCache::GetImage(std::wstring_view name) const {
    const auto* found = Find<&Tables::images>(name);
    return found != nullptr ? found->get() : nullptr;
}

const ImageRecord* ResourceCache::LookUpImage(std::wstring_view name, std::wstring_view type,
                                              uint32_t mask, bool hsl) {
    if (const ImageRecord* image = GetImage(name)) {
        return image;
    }
    return AddImage(name, type, mask, hsl, false);
}

const ImageRecord* ResourceCache::AddImage(std::wstring_view name, std::wstring_view type,
                                           uint32_t mask, bool hsl, bool shared) {
    if (name.empty()) {
        return nullptr;
    }
    const bool moduleResource = IsModuleResource(name, type);
    std::optional<DecodedImage> decoded;
    if (!moduleResource) {
        decoded = ImagePrefetch::Take(name);
    }
    if (!decoded) {
        const std::vector<uint8_t> bytes =
            moduleResource ? ModuleResourceBytes(name, type) : ReadSkinResourceBytes(name);
        decoded = DecodeImage(bytes);
    }
    if (!decoded) {
        return nullptr;
    }
    auto record = std::make_unique<ImageRecord>();
    record->dib = CreateDibSection(decoded->width, decoded->height);
    if (!record->dib.bitmap) {
        return nullptr;
    }
    const size_t pixelCount = static_cast<size_t>(decoded->width) * decoded->height;
    std::span<uint32_t> pixels(record->dib.pixels, pixelCount);
    record->hasAlpha = ConvertRgbaToPremultiplied(decoded->rgba, pixels, mask);
    record->resourceType = type;
    record->mask = mask;
    record->hsl = hsl;
    if (hsl) {
        record->originalPixels.assign(pixels.begin(), pixels.end());
    }
    auto& slot = TablesFor(shared).images[std::wstring(name)];
    slot = std::move(record);
    return slot.get();
}

ScaledImage ResourceCache::LookUpImageForScale(std::wstring_view name, std::wstring_view type,
                                               uint32_t mask, bool hsl) {
    if (m_scale.Percent() == 100 || IsModuleResource(name, type)) {
        return {LookUpImage(name, type, mask, hsl), 100, std::wstring(name)};
    }
    for (const ImageVariant& variant : ImageVariantsFor(name, m_scale.Percent())) {
        if (variant.percent == 100) {
            return {LookUpImage(variant.name, type, mask, hsl), 100, variant.name};
        }
        if (m_own->missingVariants.contains(variant.name)) {
            continue;
        }
        if (const ImageRecord* image = LookUpImage(variant.name, type, mask, hsl)) {
            return {image, variant.percent, variant.name};
        }
        m_own->missingVariants.insert(variant.name);
    }
    return {};
}

namespace {

std::tuple<std::wstring, int, int, int, int> ResizedKey(std::wstring_view name, const UiRect& r) {
    return {std::wstring(name), r.left, r.top, r.right, r.bottom};
}

}  // namespace

const ImageRecord* ResourceCache::FindResized(std::wstring_view name, const UiRect& writtenSource) {
    if (const auto it = m_own->resized.find(ResizedKey(name, writtenSource));
        it != m_own->resized.end()) {
        return it->second.get();
    }
    if (!writtenSource.IsZero()) {
        return nullptr;
    }
    // The whole image, perhaps resized already while the window was being made.
    std::optional<ImagePrefetch::Resized> made =
        ImagePrefetch::TakeResized(name, m_scale.Percent());
    if (!made) {
        return nullptr;
    }
    auto record = std::make_unique<ImageRecord>();
    record->dib = CreateDibSection(made->size.cx, made->size.cy);
    if (!record->dib.bitmap) {
        return nullptr;
    }
    ::GdiFlush();
    std::copy(made->pixels.begin(), made->pixels.end(), record->dib.pixels);
    record->hasAlpha = made->hasAlpha;
    auto& slot = m_own->resized[ResizedKey(name, writtenSource)];
    slot = std::move(record);
    return slot.get();
}

const ImageRecord* ResourceCache::Resize(std::wstring_view name, const UiRect& writtenSource,
                                         const ScaledImage& found, const UiRect& from, UiSize to) {
    if (found.image == nullptr || to.cx <= 0 || to.cy <= 0) {
        return nullptr;
    }
    const ImageRecord& image = *found.image;
    auto record = std::make_unique<ImageRecord>();
    record->dib = CreateDibSection(to.cx, to.cy);
    if (!record->dib.bitmap || image.dib.pixels == nullptr) {
        return nullptr;
    }
    ::GdiFlush();
    const UiSize size{image.Width(), image.Height()};
    const size_t sourceCount = static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy);
    const size_t targetCount = static_cast<size_t>(to.cx) * static_cast<size_t>(to.cy);
    if (!ResamplePremultiplied({image.dib.pixels, sourceCount}, size, from,
                               {record->dib.pixels, targetCount}, to)) {
        return nullptr;
    }
    record->hasAlpha = image.hasAlpha;
    record->resourceType = image.resourceType;
    record->mask = image.mask;
    const bool whole = from == UiRect{0, 0, size.cx, size.cy};
    auto& slot = m_own->resized[ResizedKey(name, writtenSource)];
    slot = std::move(record);
    if (whole && !image.hsl) {
        m_own->images.erase(found.file);  // `image` is gone from here on
    }
    return slot.get();
}

// ---- fonts --------------------------------------------------------------------------------

namespace {

// A font of `description` at `size` unscaled pixels for display scale `percent`; null when the
// system cannot make it.
std::unique_ptr<FontRecord> MakeScaledFont(LOGFONTW description, int size, int percent,
                                           HDC measureDc) {
    description.lfHeight = -ScaleByPercent(size, percent);
    auto record = std::make_unique<FontRecord>();
    record->font.Reset(::CreateFontIndirectW(&description));
    if (!record->font) {
        return nullptr;
    }
    record->description = description;
    record->percent = percent;
    record->face = description.lfFaceName;
    record->size = size;
    record->bold = description.lfWeight >= FW_BOLD;
    record->underline = description.lfUnderline != 0;
    record->italic = description.lfItalic != 0;
    if (measureDc != nullptr) {
        ScopedSelectObject select(measureDc, record->font.Get());
        ::GetTextMetricsW(measureDc, &record->metrics);
    }
    return record;
}

// Whether `copy` was made from `font` (a record freed and made again at the same address is
// not the font its copy was made from).
bool IsCopyOf(const FontRecord& copy, const FontRecord& font) {
    LOGFONTW a = copy.description;
    LOGFONTW b = font.description;
    a.lfHeight = 0;
    b.lfHeight = 0;
    return copy.size == font.size && std::memcmp(&a, &b, sizeof(a)) == 0;
}

}  // namespace

const FontRecord& ResourceCache::AtCurrentScale(const FontRecord& font) const {
    if (font.percent == m_scale.Percent() || !font.font) {
        return font;
    }
    auto& copy = m_own->scaledCopies[&font];
    if (!copy || copy->percent != m_scale.Percent() || !IsCopyOf(*copy, font)) {
        UniqueMemoryDc measureDc(::CreateCompatibleDC(nullptr));
        copy = MakeScaledFont(font.description, font.size, m_scale.Percent(), measureDc.Get());
        if (!copy) {
            m_own->scaledCopies.erase(&font);
            return font;
        }
        // The copy keeps the requested flags of the original (bold may have been added weight).
        copy->bold = font.bold;
        copy->underline = font.underline;
        copy->italic = font.italic;
    }
    return *copy;
}

void ResourceCache::OnDisplayScaleChanged(HDC measureDc) {
    m_own->scaledCopies.clear();
    m_own->resized.clear();
    m_own->missingVariants.clear();
    const auto remake = [&](std::unique_ptr<FontRecord>& font) {
        if (!font || font->percent == m_scale.Percent()) {
            return;
        }
        if (auto made =
                MakeScaledFont(font->description, font->size, m_scale.Percent(), measureDc)) {
            made->bold = font->bold;
            made->underline = font->underline;
            made->italic = font->italic;
            // Same record, new font: references handed out stay valid.
            *font = std::move(*made);
        }
    };
    for (auto& [id, font] : m_own->fonts) {
        remake(font);
    }
    remake(m_own->defaultFont);
}

std::unique_ptr<FontRecord> ResourceCache::CreateFontRecord(const FontRequest& request,
                                                            bool addBold, HDC measureDc) const {
    LOGFONTW description = DefaultGuiFontDescription();
    if (!request.face.empty()) {
        const size_t n = std::min<size_t>(request.face.size(), LF_FACESIZE - 1);
        std::copy_n(request.face.data(), n, description.lfFaceName);
        description.lfFaceName[n] = L'\0';
    }
    description.lfCharSet = DEFAULT_CHARSET;
    if (request.bold) {
        // Font weights stop at 1000; adding bold to a heavy default must not push past it.
        description.lfWeight =
            addBold ? std::min<LONG>(description.lfWeight + FW_BOLD, 1000) : FW_BOLD;
    }
    description.lfUnderline = request.underline ? TRUE : FALSE;
    description.lfItalic = request.italic ? TRUE : FALSE;
    auto record = MakeScaledFont(description, request.size, m_scale.Percent(), measureDc);
    if (!record) {
        return nullptr;
    }
    record->bold = request.bold;
    record->underline = request.underline;
    record->italic = request.italic;
    return record;
}

HFONT ResourceCache::AddFont(int id, const FontRequest& request, bool shared, HDC measureDc) {
    auto record = CreateFontRecord(request, /*addBold=*/false, measureDc);
    if (!record) {
        return nullptr;
    }
    HFONT handle = record->font.Get();
    TablesFor(shared).fonts[std::to_wstring(id)] = std::move(record);
    return handle;
}

const FontRecord& ResourceCache::LookUpFont(int id) const {
    if (id >= 0) {
        if (const auto* found = Find<&Tables::fonts>(std::to_wstring(id))) {
            return AtCurrentScale(**found);
        }
    }
    return GetDefaultFont();
}

Gdiplus::Font* ResourceCache::GetGdiplusFont(int id, HDC dc) const {
    const FontRecord& record = LookUpFont(id);
    if (!record.gdiplusFont && record.font) {
        record.gdiplusFont.reset(new Gdiplus::Font(dc, record.font.Get()));
    }
    return record.gdiplusFont.get();
}

void ResourceCache::SetDefaultFont(const FontRequest& request, bool shared, HDC measureDc) {
    if (auto record = CreateFontRecord(request, /*addBold=*/true, measureDc)) {
        TablesFor(shared).defaultFont = std::move(record);
    }
}

const FontRecord& ResourceCache::GetDefaultFont() const {
    return AtCurrentScale(m_own->defaultFont ? *m_own->defaultFont : *Shared().defaultFont);
}

// ---- styles and class defaults ------------------------------------------------------------

bool ResourceCache::AddStyle(std::wstring_view name, std::wstring_view list, bool shared) {
    return TablesFor(shared).styles.try_emplace(std::wstring(name), list).second;
}

std::optional<std::wstring_view> ResourceCache::GetStyle(std::wstring_view name) const {
    if (const std::wstring* list = Find<&Tables::styles>(name)) {
        return std::wstring_view(*list);
    }
    return std::nullopt;
}

void ResourceCache::AddClassDefaults(std::wstring_view className, std::wstring_view list,
                                     bool shared) {
    TablesFor(shared).classDefaults[std::wstring(className)] = list;
}

std::optional<std::wstring_view> ResourceCache::GetClassDefaults(
    std::wstring_view className) const {
    if (const std::wstring* list = Find<&Tables::classDefaults>(className)) {
        return std::wstring_view(*list);
    }
    return std::nullopt;
}

// ---- default colours ----------------------------------------------------------------------

void ResourceCache::SetDefaultColor(uint32_t DefaultColors::*field, uint32_t color, bool shared) {
    if (!shared) {
        m_colors.*field = color;
        return;
    }
    DefaultColors& sharedColors = Shared().colors;
    if (m_colors.*field == sharedColors.*field) {
        m_colors.*field = color;
    }
    sharedColors.*field = color;
}

}  // namespace tessel
