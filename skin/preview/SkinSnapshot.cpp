#include "skin/preview/SkinSnapshot.h"

#include <windows.h>

#include <algorithm>
#include <span>

#include "skin/MessageBoxContent.h"
#include "skin/WindowDefaults.h"
#include "ui/AttributeText.h"
#include "ui/ControlUI.h"
#include "ui/GdiHandles.h"
#include "ui/MarkupBuilder.h"
#include "ui/PaintManagerUI.h"
#include "ui/PixelOps.h"
#include "ui/TabLayoutUI.h"
#include "ui/TextUI.h"

namespace tessel {
namespace {

constexpr uint32_t kOpaqueBlack = 0xFF000000u;

CTabLayoutUI* FirstTabLayout(CControlUI* root) {
    if (root == nullptr) {
        return nullptr;
    }
    CControlUI* found = root->FindControl(
        [](CControlUI* control, void*) -> CControlUI* {
            return control->QueryInterfaceByName(L"TabLayout") != nullptr ? control : nullptr;
        },
        nullptr, UIFIND_ALL);
    return found != nullptr ? static_cast<CTabLayoutUI*>(found->QueryInterfaceByName(L"TabLayout"))
                            : nullptr;
}

}  // namespace

CSkinSnapshot::CSkinSnapshot() : m_manager(std::make_unique<CPaintManagerUI>()) {}

CSkinSnapshot::~CSkinSnapshot() = default;

bool CSkinSnapshot::Load(std::wstring_view markupFile, int scalePercent) {
    m_manager = std::make_unique<CPaintManagerUI>();
    // First: the defaults' and the markup's fonts are made at the scale.
    m_manager->SetDisplayScale(scalePercent);
    ApplyWindowDefaults(*m_manager);
    CMarkupBuilder builder;
    CControlUI* root = builder.Create(markupFile, L"", nullptr, m_manager.get());
    if (root == nullptr) {
        return false;
    }
    // The builder applies window attributes only to a native window; the two this rendering
    // needs are read here, with the builder's name rules (`bktrans` with regard to case).
    const CMarkupElement window = builder.GetMarkup().Root();
    if (EqualsNoCase(window.Name(), L"Window")) {
        for (size_t i = 0; i < window.AttributeCount(); ++i) {
            const std::wstring_view name = window.AttributeName(i);
            const std::wstring_view value = window.AttributeValue(i);
            if (EqualsNoCase(name, L"size")) {
                m_clientSize = m_manager->GetDisplayScale().Scale(ParseSize(value));
            } else if (name == L"bktrans" || name == L"layered") {
                m_manager->SetLayered(ParseBool(value));
            }
        }
    }
    m_manager->AttachRoot(root);
    return true;
}

CControlUI* CSkinSnapshot::Find(std::wstring_view name) const {
    return m_manager->FindControl(name);
}

bool CSkinSnapshot::IsLayered() const {
    return m_manager->IsLayered();
}

bool CSkinSnapshot::SelectPage(int index) {
    CTabLayoutUI* tabs = FirstTabLayout(m_manager->GetRoot());
    return tabs != nullptr && index >= 0 && index < tabs->GetCount() && tabs->SelectItem(index);
}

bool CSkinSnapshot::SetMessage(std::wstring_view text, std::wstring_view caption) {
    const std::optional<UiSize> size = FillMessageBox(*m_manager, text, caption);
    if (!size) {
        return false;
    }
    m_clientSize = *size;
    PlaceMessageBoxButtons(*m_manager, m_clientSize.cx);
    return true;
}

bool CSkinSnapshot::Hover(std::wstring_view name) {
    CControlUI* control = Find(name);
    if (control == nullptr) {
        return false;
    }
    EventRecord event;
    event.kind = EVT_MOUSEENTER;
    event.sender = control;
    control->Event(event);
    return true;
}

void CSkinSnapshot::Layout() {
    if (CControlUI* root = m_manager->GetRoot()) {
        root->SetPos(UiRect{0, 0, m_clientSize.cx, m_clientSize.cy}, false);
    }
    m_manager->ClearUpdateNeeded();
}

SnapshotImage CSkinSnapshot::Render() {
    Layout();
    SnapshotImage image;
    CControlUI* root = m_manager->GetRoot();
    if (root == nullptr || m_clientSize.cx <= 0 || m_clientSize.cy <= 0) {
        return image;
    }
    // Bitmap, DC, then the selection, so the bitmap is deselected before it is deleted.
    DibSection surface = CreateDibSection(m_clientSize.cx, m_clientSize.cy);
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!surface.bitmap || !dc) {
        return image;
    }
    ScopedSelectObject select(dc.Get(), surface.bitmap.Get());
    const size_t count =
        static_cast<size_t>(m_clientSize.cx) * static_cast<size_t>(m_clientSize.cy);
    const std::span<uint32_t> pixels(surface.pixels, count);
    const bool layered = m_manager->IsLayered();
    std::fill(pixels.begin(), pixels.end(), layered ? 0u : kOpaqueBlack);

    root->Paint(dc.Get(), UiRect{0, 0, m_clientSize.cx, m_clientSize.cy}, nullptr);
    ::GdiFlush();
    if (layered) {
        MakeGdiPixelsOpaque(pixels);
    } else {
        // An ordinary window shows every pixel; GDI leaves alpha 0 on what it draws.
        for (uint32_t& p : pixels) {
            p |= kOpaqueBlack;
        }
    }
    image.size = m_clientSize;
    image.pixels.assign(pixels.begin(), pixels.end());
    return image;
}

}  // namespace tessel
