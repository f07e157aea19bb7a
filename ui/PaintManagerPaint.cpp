// The layout-then-paint cycle of a paint manager, with the per-pixel-alpha layered mode.
#include <algorithm>
#include <span>

#include "base/SystemLibrary.h"
#include "ui/ContainerUI.h"
#include "ui/ControlUI.h"
#include "ui/PaintManagerUI.h"
#include "ui/PixelOps.h"
#include "ui/RenderEngine.h"
#include "ui/SurfaceDc.h"

namespace tessel {
namespace {

using UpdateLayeredWindowProc = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                              BLENDFUNCTION*, DWORD);

using UpdateLayeredWindowIndirectProc = BOOL(WINAPI*)(HWND, const UPDATELAYEREDWINDOWINFO*);

// Looked up at run time: a system without it cannot show layered windows at all.
UpdateLayeredWindowProc UpdateLayeredWindowFunction() {
    static const auto proc = ProcedureAddress<UpdateLayeredWindowProc>(
        ::GetModuleHandleW(L"user32.dll"), "UpdateLayeredWindow");
    return proc;
}

// The same update told which part changed, so only that part is copied to the screen.
UpdateLayeredWindowIndirectProc UpdateLayeredWindowIndirectFunction() {
    static const auto proc = ProcedureAddress<UpdateLayeredWindowIndirectProc>(
        ::GetModuleHandleW(L"user32.dll"), "UpdateLayeredWindowIndirect");
    return proc;
}

UiRect Union(const UiRect& a, const UiRect& b) {
    if (a.IsEmpty()) {
        return b;
    }
    if (b.IsEmpty()) {
        return a;
    }
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

// Controls waiting for placement, outermost first: a flagged container places its subtree.
void CollectUpdates(CControlUI* control, std::vector<CControlUI*>& found) {
    if (!control->IsVisible()) {
        return;
    }
    if (control->IsUpdateNeeded()) {
        found.push_back(control);
        return;
    }
    auto* container = static_cast<IContainerUI*>(control->QueryInterfaceByName(L"IContainer"));
    if (container == nullptr) {
        return;
    }
    for (int i = 0; i < container->GetCount(); ++i) {
        CollectUpdates(container->GetItemAt(i), found);
    }
}

}  // namespace

void CPaintManagerUI::SetLayered(bool layered) {
    if (layered && UpdateLayeredWindowFunction() == nullptr) {
        return;
    }
    if (m_layered != layered) {
        m_layered = layered;
        m_offscreen.reset();
        if (m_window != nullptr) {
            ::InvalidateRect(m_window, nullptr, FALSE);
        }
    }
}

bool CPaintManagerUI::LayoutPass() {
    if (!m_updateNeeded) {
        return false;
    }
    m_updateNeeded = false;
    RECT client{};
    ::GetClientRect(m_window, &client);
    if (::IsRectEmpty(&client) || ::IsIconic(m_window)) {
        return false;
    }
    if (m_root->IsUpdateNeeded()) {
        m_offscreen.reset();
        UiRect area = FromRECT(client);
        if (m_layered) {
            area = area.Deflate(m_scale.Scale(m_layeredInset));
        }
        m_root->SetPos(area, true);
    } else {
        std::vector<CControlUI*> flagged;
        CollectUpdates(m_root.get(), flagged);
        for (CControlUI* control : flagged) {
            CControlUI* parent = control->GetParent();
            auto* container =
                parent != nullptr
                    ? static_cast<CContainerUI*>(parent->QueryInterfaceByName(L"Container"))
                    : nullptr;
            if (control->IsFloat() && container != nullptr) {
                container->SetFloatPos(container->GetItemIndex(control));
            } else {
                control->SetPos(control->GetPos(), true);
            }
        }
    }
    // Focus waits for the tree to be placed, and goes before "windowinit" so that a handler of it
    // can still put the focus elsewhere.
    if (IsFocusNeeded()) {
        MoveFocusToNext();
    }
    if (m_firstLayout) {
        m_firstLayout = false;
        SendNotification(m_root.get(), L"windowinit");
    }
    return true;
}

void CPaintManagerUI::OnPaint() {
    const HWND window = m_window;
    if (!m_root) {
        ScopedPaint paint(window);
        ::FillRect(paint.Dc(), &paint.Info().rcPaint,
                   static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        return;
    }
    RECT updateRect{};
    ::GetUpdateRect(window, &updateRect, FALSE);
    if (::IsRectEmpty(&updateRect) && (!m_layered || m_layeredUpdate.IsEmpty())) {
        ScopedPaint paint(window);
        return;
    }
    const bool laidOut = LayoutPass();
    // A "windowinit" handler may have destroyed the window, and this manager with it.
    if (laidOut && !::IsWindow(window)) {
        return;
    }
    if (IsFocusNeeded() && !m_updateNeeded) {
        MoveFocusToNext();
    }
    RECT client{};
    ::GetClientRect(window, &client);
    const UiRect clientRect = FromRECT(client);
    // Layout and "windowinit" handlers invalidate too: read the area again.
    ::GetUpdateRect(window, &updateRect, FALSE);
    UiRect update = FromRECT(updateRect);
    if (m_layered) {
        update = Union(update, m_layeredUpdate).Intersect(clientRect);
        m_layeredUpdate = {};
        const LONG_PTR exStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
        if ((exStyle & WS_EX_LAYERED) == 0) {
            ::SetWindowLongPtrW(window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        }
    }
    {
        ScopedPaint paint(window);
        if (!update.IsEmpty() && !clientRect.IsEmpty()) {
            if (!m_offscreen || m_offscreen->dib.width != clientRect.Width() ||
                m_offscreen->dib.height != clientRect.Height()) {
                m_offscreen = std::make_unique<SurfaceDc>(clientRect.Width(), clientRect.Height());
            }
            if (m_offscreen->IsValid()) {
                HDC dc = m_offscreen->dc.Get();
                PaintTreeInto(dc, update, m_layered);
                if (m_layered) {
                    PresentLayered(dc, update);
                } else {
                    ::BitBlt(paint.Dc(), update.left, update.top, update.Width(), update.Height(),
                             dc, update.left, update.top, SRCCOPY);
                    if (m_windowAttributes.showUpdateRect) {
                        CRenderEngine::StrokeRect(paint.Dc(), update, 1, 0xFFFF0000);
                    }
                }
            }
        }
    }
    if (m_updateNeeded) {
        ::InvalidateRect(window, nullptr, FALSE);
    }
    if (laidOut) {
        SendNotification(m_root.get(), L"windowsize", 0, 0, true);
    }
}

void CPaintManagerUI::PaintTreeInto(HDC dc, const UiRect& area, bool layered) {
    if (layered) {
        // Everything drawn here starts fully transparent.
        ::GdiFlush();
        for (int y = area.top; y < area.bottom; ++y) {
            auto row = m_offscreen->Row(y, area.left, area.right);
            std::fill(row.begin(), row.end(), 0u);
        }
    }
    {
        ScopedSaveDc saved(dc);
        ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
        m_root->Paint(dc, area, nullptr);
        if (layered) {
            PaintNativeChildren(dc, area);
        }
        const std::vector<CControlUI*> postPaint = m_postPaint;
        for (CControlUI* control : postPaint) {
            control->PaintAfter(dc, area);
        }
        m_focusIndication.Paint(dc, area);
    }
    if (!layered) {
        return;
    }
    ::GdiFlush();
    const ImageRecord* mask = nullptr;
    if (!m_windowAttributes.layeredImage.empty()) {
        mask = LookUpImage(m_windowAttributes.layeredImage, L"", 0, false);
    }
    for (int y = area.top; y < area.bottom; ++y) {
        auto row = m_offscreen->Row(y, area.left, area.right);
        if (mask == nullptr) {
            MakeGdiPixelsOpaque(row);
        } else if (y < mask->Height()) {
            const int maskRight = std::min(area.right, mask->Width());
            std::span<const uint32_t> maskRow(
                mask->dib.pixels + static_cast<size_t>(y) * mask->Width() + area.left,
                static_cast<size_t>(std::max(0, maskRight - area.left)));
            MultiplyByMaskAlpha(row, maskRow);
        } else {
            std::fill(row.begin(), row.end(), 0u);
        }
    }
}

void CPaintManagerUI::PaintNativeChildren(HDC dc, const UiRect& area) {
    for (const NativeWindow& native : m_nativeWindows) {
        if (!::IsWindowVisible(native.window)) {
            continue;
        }
        RECT r{};
        ::GetWindowRect(native.window, &r);
        ::MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&r), 2);
        const UiRect place = FromRECT(r);
        if (!place.Intersects(area)) {
            continue;
        }
        SurfaceDc child(place.Width(), place.Height());
        if (!child.IsValid()) {
            continue;
        }
        ::SendMessageW(native.window, WM_PRINT, reinterpret_cast<WPARAM>(child.dc.Get()),
                       PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
        ::GdiFlush();
        // GDI drew with alpha 0: whatever it touched is opaque.
        for (int y = 0; y < place.Height(); ++y) {
            for (uint32_t& p : child.Row(y, 0, place.Width())) {
                if (p != 0) {
                    p |= 0xFF000000u;
                }
            }
        }
        ::BitBlt(dc, place.left, place.top, place.Width(), place.Height(), child.dc.Get(), 0, 0,
                 SRCCOPY);
    }
}

bool CPaintManagerUI::PresentLayered(HDC sourceDc, const UiRect& dirty) {
    const auto update = UpdateLayeredWindowFunction();
    if (update == nullptr) {
        return false;
    }
    RECT windowRect{};
    ::GetWindowRect(m_window, &windowRect);
    RECT client{};
    ::GetClientRect(m_window, &client);
    POINT destination{windowRect.left, windowRect.top};
    SIZE size{client.right - client.left, client.bottom - client.top};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0,
                        static_cast<BYTE>(std::clamp(m_windowAttributes.layeredOpacity, 0, 255)),
                        AC_SRC_ALPHA};
    // A first frame, or one after the window moved, must be complete.
    const bool whole = !m_layeredShown || m_layeredShownAt.x != destination.x ||
                       m_layeredShownAt.y != destination.y;
    const auto indirect = UpdateLayeredWindowIndirectFunction();
    bool shown = false;
    if (indirect != nullptr && !whole) {
        const RECT dirtyRect = ToRECT(dirty);
        UPDATELAYEREDWINDOWINFO info{};
        info.cbSize = sizeof(info);
        info.pptDst = &destination;
        info.psize = &size;
        info.hdcSrc = sourceDc;
        info.pptSrc = &source;
        info.pblend = &blend;
        info.dwFlags = ULW_ALPHA;
        info.prcDirty = &dirtyRect;
        shown = indirect(m_window, &info) != FALSE;
    }
    if (!shown) {
        shown = update(m_window, nullptr, &destination, &size, sourceDc, &source, 0, &blend,
                       ULW_ALPHA) != FALSE;
    }
    m_layeredShown = shown;
    m_layeredShownAt = {destination.x, destination.y};
    return shown;
}

void CPaintManagerUI::PrintClient(HDC dc, LPARAM flags) {
    if (!m_root || dc == nullptr) {
        return;
    }
    RECT client{};
    ::GetClientRect(m_window, &client);
    {
        ScopedSaveDc saved(dc);
        m_root->Paint(dc, FromRECT(client), nullptr);
    }
    if ((flags & PRF_CHILDREN) == 0) {
        return;
    }
    for (HWND child = ::GetWindow(m_window, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child)) {
            continue;
        }
        RECT r{};
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&r), 2);
        ScopedSaveDc saved(dc);
        ::SetWindowOrgEx(dc, -r.left, -r.top, nullptr);
        ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                       PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    }
}

}  // namespace tessel
