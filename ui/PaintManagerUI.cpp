#include "ui/PaintManagerUI.h"

#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>

#include "ui/ControlUI.h"
#include "ui/ImageDecoder.h"
#include "ui/PixelOps.h"
#include "ui/ResourceLocation.h"
#include "ui/SurfaceDc.h"

namespace tessel {

struct CPaintManagerUI::ResourceTables {
    std::unordered_map<std::wstring, std::unique_ptr<ImageRecord>> images;
    std::unordered_map<std::wstring, std::unique_ptr<FontRecord>> fonts;
    std::unordered_map<std::wstring, std::wstring> styles;
    std::unordered_map<std::wstring, std::wstring> classDefaults;
    std::unique_ptr<FontRecord> defaultFont;  // null: use the shared one
};

namespace {

HINSTANCE g_resourceInstance = nullptr;

struct GdiplusTokenTraits {
    using Type = ULONG_PTR;
    static Type Invalid() noexcept { return 0; }
    static void Close(Type token) noexcept { Gdiplus::GdiplusShutdown(token); }
};
using UniqueGdiplusToken = UniqueResource<GdiplusTokenTraits>;

// GDI+ is started once per process, by the first paint manager, and stays up until the process
// ends. The common controls are loaded when the first tooltip is shown (StartCommonControls).
struct ProcessStart {
    UniqueGdiplusToken gdiplus;
    DefaultColors sharedColors;

    ProcessStart() {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR token = 0;
        if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) {
            gdiplus.Reset(token);
        }
    }
};

ProcessStart& Process() {
    static ProcessStart start;
    return start;
}

using InitCommonControlsExProc = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);

LOGFONTW DefaultGuiFontDescription() {
    LOGFONTW description{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(description), &description);
    return description;
}

}  // namespace

CPaintManagerUI::ResourceTables& CPaintManagerUI::Shared() {
    static ResourceTables tables = [] {
        ResourceTables t;
        const LOGFONTW description = DefaultGuiFontDescription();
        auto font = std::make_unique<FontRecord>();
        font->font.Reset(::CreateFontIndirectW(&description));
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
        t.defaultFont = std::move(font);
        return t;
    }();
    return tables;
}

CPaintManagerUI::CPaintManagerUI() : m_own(std::make_unique<ResourceTables>()) {
    m_colors = Process().sharedColors;
    Shared();
}

CPaintManagerUI::~CPaintManagerUI() {
    std::erase(Managers(), this);
    RemoveAllTimers();
    // The tree goes first: its controls still reach back for names, focus and groups.
    m_root.reset();
    m_delayedCleanup.clear();
}

std::vector<CPaintManagerUI*>& CPaintManagerUI::Managers() {
    static std::vector<CPaintManagerUI*> managers;
    return managers;
}

void CPaintManagerUI::SetResourceInstance(HINSTANCE instance) {
    g_resourceInstance = instance;
}

HINSTANCE CPaintManagerUI::GetResourceInstance() {
    return g_resourceInstance != nullptr ? g_resourceInstance : ::GetModuleHandleW(nullptr);
}

bool CPaintManagerUI::StartCommonControls() {
    // Once per process; the library stays loaded with it (the application manifest's activation
    // context picks version 6).
    static const bool started = [] {
        HMODULE library = ::LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        const auto init = library != nullptr
                              ? reinterpret_cast<InitCommonControlsExProc>(reinterpret_cast<void*>(
                                    ::GetProcAddress(library, "InitCommonControlsEx")))
                              : nullptr;
        if (init == nullptr) {
            return false;
        }
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
        return init(&controls) != FALSE;
    }();
    return started;
}

void CPaintManagerUI::Init(HWND window, const wchar_t* name) {
    m_namedControls.clear();
    m_own = std::make_unique<ResourceTables>();
    m_optionGroups.clear();
    m_windowAttributes.custom.clear();
    RemoveAllTimers();
    m_name = name ? name : L"";
    if (window != m_window) {
        m_windowDc.Reset();
        m_window = window;
        auto& managers = Managers();
        std::erase(managers, this);
        if (window != nullptr) {
            m_windowDc.Reset(window);
            managers.push_back(this);
        }
    }
}

HDC CPaintManagerUI::GetPaintDC() {
    if (m_windowDc.Get() != nullptr) {
        return m_windowDc.Get();
    }
    if (!m_measureDc) {
        m_measureDc.Reset(::CreateCompatibleDC(nullptr));
    }
    return m_measureDc.Get();
}

CPaintManagerUI::ResourceTables& CPaintManagerUI::TablesFor(bool shared) {
    return (shared || m_forceShared) ? Shared() : *m_own;
}

// ---- images -------------------------------------------------------------------------------

const ImageRecord* CPaintManagerUI::GetImage(std::wstring_view name) const {
    const std::wstring key(name);
    if (auto it = m_own->images.find(key); it != m_own->images.end()) {
        return it->second.get();
    }
    const ResourceTables& shared = Shared();
    if (auto it = shared.images.find(key); it != shared.images.end()) {
        return it->second.get();
    }
    return nullptr;
}

const ImageRecord* CPaintManagerUI::LookUpImage(std::wstring_view name, std::wstring_view type,
                                                uint32_t mask, bool hsl) {
    if (const ImageRecord* image = GetImage(name)) {
        return image;
    }
    return AddImage(name, type, mask, hsl, false);
}

const ImageRecord* CPaintManagerUI::AddImage(std::wstring_view name, std::wstring_view type,
                                             uint32_t mask, bool hsl, bool shared) {
    if (name.empty()) {
        return nullptr;
    }
    std::vector<uint8_t> bytes;
    if (!type.empty() && name.front() >= L'0' && name.front() <= L'9') {
        // A resource number of `type` in the module.
        const int number = _wtoi(std::wstring(name).c_str());
        HINSTANCE module = GetResourceInstance();
        const std::wstring typeName(type);
        if (number > 0 && number < 65536) {
            if (HRSRC resource =
                    ::FindResourceW(module, MAKEINTRESOURCEW(number), typeName.c_str())) {
                const DWORD size = ::SizeofResource(module, resource);
                HGLOBAL loaded = ::LoadResource(module, resource);
                const auto* data = static_cast<const uint8_t*>(::LockResource(loaded));
                if (data != nullptr && size > 0) {
                    bytes.assign(data, data + size);
                }
            }
        }
    } else {
        bytes = ReadSkinResourceBytes(name);
    }
    const auto decoded = DecodeImage(bytes);
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

// ---- fonts --------------------------------------------------------------------------------

std::unique_ptr<FontRecord> CPaintManagerUI::CreateFontRecord(std::wstring_view face, int size,
                                                              bool bold, bool underline,
                                                              bool italic, bool addBold) {
    LOGFONTW description = DefaultGuiFontDescription();
    if (!face.empty()) {
        const size_t n = std::min<size_t>(face.size(), LF_FACESIZE - 1);
        std::copy_n(face.data(), n, description.lfFaceName);
        description.lfFaceName[n] = L'\0';
    }
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfHeight = -m_scale.Scale(size);
    if (bold) {
        // Font weights stop at 1000; adding bold to a heavy default must not push past it.
        description.lfWeight =
            addBold ? std::min<LONG>(description.lfWeight + FW_BOLD, 1000) : FW_BOLD;
    }
    description.lfUnderline = underline ? TRUE : FALSE;
    description.lfItalic = italic ? TRUE : FALSE;
    auto record = std::make_unique<FontRecord>();
    record->font.Reset(::CreateFontIndirectW(&description));
    if (!record->font) {
        return nullptr;
    }
    record->face = description.lfFaceName;
    record->size = size;
    record->bold = bold;
    record->underline = underline;
    record->italic = italic;
    if (HDC dc = GetPaintDC()) {
        ScopedSelectObject select(dc, record->font.Get());
        ::GetTextMetricsW(dc, &record->metrics);
    }
    return record;
}

HFONT CPaintManagerUI::AddFont(int id, std::wstring_view face, int size, bool bold, bool underline,
                               bool italic, bool shared) {
    auto record = CreateFontRecord(face, size, bold, underline, italic, false);
    if (!record) {
        return nullptr;
    }
    HFONT handle = record->font.Get();
    TablesFor(shared).fonts[std::to_wstring(id)] = std::move(record);
    return handle;
}

const FontRecord& CPaintManagerUI::LookUpFont(int id) {
    if (id >= 0) {
        const std::wstring key = std::to_wstring(id);
        if (auto it = m_own->fonts.find(key); it != m_own->fonts.end()) {
            return *it->second;
        }
        const ResourceTables& shared = Shared();
        if (auto it = shared.fonts.find(key); it != shared.fonts.end()) {
            return *it->second;
        }
    }
    return GetDefaultFontInfo();
}

void CPaintManagerUI::SetDefaultFont(std::wstring_view face, int size, bool bold, bool underline,
                                     bool italic, bool shared) {
    auto record = CreateFontRecord(face, size, bold, underline, italic, true);
    if (record) {
        TablesFor(shared).defaultFont = std::move(record);
    }
}

const FontRecord& CPaintManagerUI::GetDefaultFontInfo() const {
    if (m_own->defaultFont) {
        return *m_own->defaultFont;
    }
    return *Shared().defaultFont;
}

void GdiplusFontDeleter::operator()(Gdiplus::Font* font) const {
    delete font;
}

Gdiplus::Font* CPaintManagerUI::GetGdiplusFont(int id, HDC dc) {
    const FontRecord& record = LookUpFont(id);
    if (!record.gdiplusFont && record.font) {
        record.gdiplusFont.reset(new Gdiplus::Font(dc, record.font.Get()));
    }
    return record.gdiplusFont.get();
}

// ---- styles and class defaults ------------------------------------------------------------

bool CPaintManagerUI::AddStyle(std::wstring_view name, std::wstring_view list, bool shared) {
    return TablesFor(shared).styles.try_emplace(std::wstring(name), list).second;
}

std::optional<std::wstring_view> CPaintManagerUI::GetStyle(std::wstring_view name) const {
    const std::wstring key(name);
    if (auto it = m_own->styles.find(key); it != m_own->styles.end()) {
        return std::wstring_view(it->second);
    }
    const ResourceTables& shared = Shared();
    if (auto it = shared.styles.find(key); it != shared.styles.end()) {
        return std::wstring_view(it->second);
    }
    return std::nullopt;
}

void CPaintManagerUI::AddClassDefaults(std::wstring_view className, std::wstring_view list,
                                       bool shared) {
    TablesFor(shared).classDefaults[std::wstring(className)] = list;
}

std::optional<std::wstring_view> CPaintManagerUI::GetClassDefaults(
    std::wstring_view className) const {
    const std::wstring key(className);
    if (auto it = m_own->classDefaults.find(key); it != m_own->classDefaults.end()) {
        return std::wstring_view(it->second);
    }
    const ResourceTables& shared = Shared();
    if (auto it = shared.classDefaults.find(key); it != shared.classDefaults.end()) {
        return std::wstring_view(it->second);
    }
    return std::nullopt;
}

// ---- default colours ----------------------------------------------------------------------

void CPaintManagerUI::SetDefaultColor(uint32_t DefaultColors::*field, uint32_t color, bool shared) {
    if (shared) {
        DefaultColors& sharedColors = Process().sharedColors;
        if (m_colors.*field == sharedColors.*field) {
            m_colors.*field = color;
        }
        sharedColors.*field = color;
    } else {
        m_colors.*field = color;
    }
}

void CPaintManagerUI::SetDefaultDisabledColor(uint32_t color, bool shared) {
    SetDefaultColor(&DefaultColors::disabledText, color, shared);
}
void CPaintManagerUI::SetDefaultFontColor(uint32_t color, bool shared) {
    SetDefaultColor(&DefaultColors::text, color, shared);
}
void CPaintManagerUI::SetDefaultLinkFontColor(uint32_t color, bool shared) {
    SetDefaultColor(&DefaultColors::link, color, shared);
}
void CPaintManagerUI::SetDefaultLinkHoverFontColor(uint32_t color, bool shared) {
    SetDefaultColor(&DefaultColors::linkHover, color, shared);
}
void CPaintManagerUI::SetDefaultSelectedBkColor(uint32_t color, bool shared) {
    SetDefaultColor(&DefaultColors::selectedBackground, color, shared);
}

// ---- the tree -----------------------------------------------------------------------------

void CPaintManagerUI::AttachRoot(CControlUI* root) {
    m_focus = nullptr;
    m_hover = nullptr;
    m_click = nullptr;
    m_keyTarget = nullptr;
    if (m_root) {
        AddDelayedCleanup(m_root.release());
    }
    m_root.reset(root);
    m_updateNeeded = true;
    m_firstLayout = true;
    m_focusNeeded = true;
    m_offscreen.reset();
    if (root != nullptr) {
        BindControlTree(root, nullptr);
    }
}

void CPaintManagerUI::BindControlTree(CControlUI* control, CControlUI* parent) {
    if (control == nullptr) {
        return;
    }
    control->SetManager(this, parent, true);
    control->FindControl(
        [](CControlUI* c, void* data) -> CControlUI* {
            static_cast<CPaintManagerUI*>(data)->RegisterControlName(c);
            return nullptr;
        },
        this, 0);
}

void CPaintManagerUI::RegisterControlName(CControlUI* control) {
    if (control != nullptr && !control->GetName().empty()) {
        m_namedControls[control->GetName()] = control;
    }
}

void CPaintManagerUI::ForgetControl(CControlUI* control) {
    if (m_focus == control) {
        m_focus = nullptr;
    }
    // A dying control must not stay a target of later input, timers or painting.
    if (m_hover == control) {
        m_hover = nullptr;
    }
    if (m_click == control) {
        m_click = nullptr;
    }
    if (m_keyTarget == control) {
        m_keyTarget = nullptr;
    }
    RemoveTimersOf(control);
    std::erase(m_mouseLeaveNeeded, control);
    std::erase(m_postPaint, control);
    std::erase_if(m_nativeWindows, [&](const NativeWindow& n) { return n.control == control; });
    if (control != nullptr && !control->GetName().empty()) {
        auto it = m_namedControls.find(control->GetName());
        if (it != m_namedControls.end() && it->second == control) {
            m_namedControls.erase(it);
        }
    }
    for (auto& [group, members] : m_optionGroups) {
        std::erase(members, control);
    }
    for (auto& queued : m_queuedNotifications) {
        if (queued.sender == control) {
            queued.sender = nullptr;
        }
    }
}

CControlUI* CPaintManagerUI::FindControl(std::wstring_view name) const {
    auto it = m_namedControls.find(std::wstring(name));
    return it != m_namedControls.end() ? it->second : nullptr;
}

void CPaintManagerUI::AddDelayedCleanup(CControlUI* control) {
    if (control == nullptr) {
        return;
    }
    ForgetControl(control);
    m_delayedCleanup.emplace_back(control);
    if (m_window != nullptr && !m_notificationPosted) {
        m_notificationPosted = ::PostMessageW(m_window, WM_APP + 1, 0, 0) != FALSE;
    }
}

// ---- option groups ------------------------------------------------------------------------

void CPaintManagerUI::AddOptionGroup(std::wstring_view group, CControlUI* control) {
    auto& members = m_optionGroups[std::wstring(group)];
    if (std::find(members.begin(), members.end(), control) == members.end()) {
        members.push_back(control);
    }
}

const std::vector<CControlUI*>* CPaintManagerUI::GetOptionGroup(std::wstring_view group) const {
    auto it = m_optionGroups.find(std::wstring(group));
    return it != m_optionGroups.end() ? &it->second : nullptr;
}

void CPaintManagerUI::RemoveOptionGroup(std::wstring_view group, CControlUI* control) {
    auto it = m_optionGroups.find(std::wstring(group));
    if (it != m_optionGroups.end()) {
        std::erase(it->second, control);
        if (it->second.empty()) {
            m_optionGroups.erase(it);
        }
    }
}

// ---- updates ------------------------------------------------------------------------------

void CPaintManagerUI::Invalidate(const UiRect& rect) {
    if (m_window == nullptr || rect.IsEmpty()) {
        return;
    }
    if (m_layered) {
        // The system keeps no picture of a layered window: the next frame must repaint this.
        m_layeredUpdate = m_layeredUpdate.IsEmpty()
                              ? rect
                              : UiRect{std::min(m_layeredUpdate.left, rect.left),
                                       std::min(m_layeredUpdate.top, rect.top),
                                       std::max(m_layeredUpdate.right, rect.right),
                                       std::max(m_layeredUpdate.bottom, rect.bottom)};
    }
    const RECT r = ToRECT(rect);
    ::InvalidateRect(m_window, &r, FALSE);
}

void CPaintManagerUI::RequestLayout() {
    m_updateNeeded = true;
    if (m_root) {
        m_root->RequestLayout();
    }
    if (m_window != nullptr) {
        ::InvalidateRect(m_window, nullptr, FALSE);
    }
}

void CPaintManagerUI::SetLayeredInset(const UiRect& inset) {
    m_layeredInset = inset;
    RequestLayout();
}

// ---- focus --------------------------------------------------------------------------------

void CPaintManagerUI::SetFocus(CControlUI* control) {
    if (m_window != nullptr && ::GetFocus() != m_window && control != m_focus) {
        ::SetFocus(m_window);
    }
    if (control == m_focus) {
        return;
    }
    if (m_focus != nullptr) {
        CControlUI* old = m_focus;
        EventRecord event;
        event.kind = EVT_KILLFOCUS;
        event.sender = control;
        event.timestamp = ::GetTickCount();
        old->Event(event);
        SendNotification(old, L"killfocus");
        m_focus = nullptr;
    }
    if (control != nullptr && control->GetManager() == this && control->IsVisible() &&
        control->IsEnabled()) {
        m_focus = control;
        EventRecord event;
        event.kind = EVT_SETFOCUS;
        event.sender = control;
        event.timestamp = ::GetTickCount();
        control->Event(event);
        SendNotification(control, L"setfocus");
    }
}

void CPaintManagerUI::MoveFocusToNext(bool forward) {
    if (m_updateNeeded && forward) {
        m_focusNeeded = true;
        if (m_window != nullptr) {
            ::InvalidateRect(m_window, nullptr, FALSE);
        }
        return;
    }
    m_focusNeeded = false;
    if (!m_root) {
        return;
    }
    std::vector<CControlUI*> stops;
    m_root->FindControl(
        [](CControlUI* c, void* data) -> CControlUI* {
            if ((c->GetControlFlags() & UIFLAG_TABSTOP) != 0) {
                static_cast<std::vector<CControlUI*>*>(data)->push_back(c);
            }
            return nullptr;
        },
        &stops, UIFIND_VISIBLE | UIFIND_ENABLED);
    if (stops.empty()) {
        return;
    }
    auto it = std::find(stops.begin(), stops.end(), m_focus);
    CControlUI* next = nullptr;
    if (it == stops.end()) {
        next = forward ? stops.front() : stops.back();
    } else if (forward) {
        next = (it + 1 == stops.end()) ? stops.front() : *(it + 1);
    } else {
        next = (it == stops.begin()) ? stops.back() : *(it - 1);
    }
    SetFocus(next);
}

// ---- notifications ------------------------------------------------------------------------

void CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
    if (std::find(m_notifiers.begin(), m_notifiers.end(), notifier) == m_notifiers.end()) {
        m_notifiers.push_back(notifier);
    }
}

void CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
    std::erase(m_notifiers, notifier);
}

void CPaintManagerUI::SendNotification(CControlUI* control, std::wstring_view type,
                                       uintptr_t wParam, intptr_t lParam, bool async) {
    NotifyRecord notification;
    notification.type = type;
    notification.sender = control;
    notification.wParam = wParam;
    notification.lParam = lParam;
    SendNotification(notification, async);
}

void CPaintManagerUI::SendNotification(NotifyRecord& notification, bool async) {
    notification.mouse = m_lastMouse;
    notification.timestamp = ::GetTickCount();
    if (async) {
        m_queuedNotifications.push_back(notification);
        if (m_window != nullptr && !m_notificationPosted) {
            m_notificationPosted = ::PostMessageW(m_window, WM_APP + 1, 0, 0) != FALSE;
        }
        return;
    }
    DeliverNotification(notification);
}

void CPaintManagerUI::DeliverNotification(NotifyRecord& notification) {
    if (notification.sender != nullptr) {
        notification.sender->NotifyListeners(notification);
    }
    // A notifier may remove itself (or another) while being told.
    const std::vector<INotifyUI*> notifiers = m_notifiers;
    for (INotifyUI* notifier : notifiers) {
        notifier->Notify(notification);
    }
}

void CPaintManagerUI::DrainNotificationQueue() {
    m_delayedCleanup.clear();
    m_notificationPosted = false;
    while (!m_queuedNotifications.empty()) {
        NotifyRecord notification = std::move(m_queuedNotifications.front());
        m_queuedNotifications.pop_front();
        DeliverNotification(notification);
    }
}

}  // namespace tessel
