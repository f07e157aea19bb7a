#pragma once

#include <windows.h>

#include "base/UniqueResource.h"

namespace tessel {

// Owners for user32 objects the framework creates.

struct WindowTraits {
    using Type = HWND;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type window) noexcept { ::DestroyWindow(window); }
};
// A window this object made and must destroy (a tooltip, a test window).
using UniqueWindow = UniqueResource<WindowTraits>;

struct IconTraits {
    using Type = HICON;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type icon) noexcept { ::DestroyIcon(icon); }
};
using UniqueIcon = UniqueResource<IconTraits>;

// BeginPaint and EndPaint as one owner.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : m_window(window), m_dc(::BeginPaint(window, &m_paint)) {}
    ~ScopedPaint() {
        if (m_dc != nullptr) {
            ::EndPaint(m_window, &m_paint);
        }
    }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;

    HDC Dc() const { return m_dc; }
    const PAINTSTRUCT& Info() const { return m_paint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

}  // namespace tessel
