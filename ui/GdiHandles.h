#pragma once

#include <windows.h>

#include <cstdint>

#include "base/UniqueResource.h"
#include "ui/Geometry.h"

namespace tessel {

// Owners for the GDI objects the framework creates, and guards that undo a change of DC state.

template <typename Handle>
struct GdiObjectTraits {
    using Type = Handle;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DeleteObject(h); }
};
using UniqueFont = UniqueResource<GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueResource<GdiObjectTraits<HBITMAP>>;
using UniqueBrush = UniqueResource<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueResource<GdiObjectTraits<HPEN>>;
using UniqueRegion = UniqueResource<GdiObjectTraits<HRGN>>;

// A DC made by CreateCompatibleDC.
struct MemoryDcTraits {
    using Type = HDC;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type dc) noexcept { ::DeleteDC(dc); }
};
using UniqueMemoryDc = UniqueResource<MemoryDcTraits>;

// A DC from GetDC: released against the window it came from.
class WindowDc {
public:
    WindowDc() = default;
    explicit WindowDc(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ~WindowDc() { Reset(); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const { return m_dc; }
    void Reset(HWND window) {
        Reset();
        m_window = window;
        m_dc = ::GetDC(window);
    }
    void Reset() {
        if (m_dc != nullptr) {
            ::ReleaseDC(m_window, m_dc);
        }
        m_dc = nullptr;
        m_window = nullptr;
    }

private:
    HWND m_window = nullptr;
    HDC m_dc = nullptr;
};

// Selects an object into a DC and puts the previous one back.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(::SelectObject(dc, object)) {}
    ~ScopedSelectObject() {
        if (m_old != nullptr && m_old != HGDI_ERROR) {
            ::SelectObject(m_dc, m_old);
        }
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// Saves the whole DC state (clip region, modes, colours) and restores it.
class ScopedSaveDc {
public:
    explicit ScopedSaveDc(HDC dc) : m_dc(dc), m_saved(::SaveDC(dc)) {}
    ~ScopedSaveDc() {
        if (m_saved != 0) {
            ::RestoreDC(m_dc, m_saved);
        }
    }
    ScopedSaveDc(const ScopedSaveDc&) = delete;
    ScopedSaveDc& operator=(const ScopedSaveDc&) = delete;

private:
    HDC m_dc;
    int m_saved;
};

inline RECT ToRECT(const UiRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}
inline UiRect FromRECT(const RECT& r) {
    return UiRect{r.left, r.top, r.right, r.bottom};
}

// A 32-bit top-down DIB section: the offscreen surface and the decoded image format.
struct DibSection {
    UniqueBitmap bitmap;
    uint32_t* pixels = nullptr;  // owned by `bitmap`; width * height premultiplied BGRA words
    int width = 0;
    int height = 0;
};
// Empty (no bitmap) when the size is not positive or the system refuses it.
DibSection CreateDibSection(int width, int height);

}  // namespace tessel
