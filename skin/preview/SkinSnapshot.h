#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Geometry.h"

namespace tessel {

class CControlUI;
class CPaintManagerUI;

// A rendered window: premultiplied 0xAARRGGBB pixels, top row first, as a layered window would
// hand them to the screen (fully transparent where nothing was drawn) or, for an ordinary window,
// fully opaque.
struct SnapshotImage {
    UiSize size;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(size.cx) +
                      static_cast<size_t>(x)];
    }
};

// Builds one window markup file of the open skin package without a native window, lays it out at
// the window's size and paints it offscreen, the way the window's own paint cycle would: the same
// paint-manager defaults as the product's base window, the `Window` element's size and `bktrans`,
// the clear-to-transparent surface and GDI alpha fix-up of layered windows.
//
// The skin package must be open (OpenSkinPackage) and texts resolve through whatever language the
// process-wide language table holds. Ownership: the snapshot owns its paint manager, which owns
// the control tree; pointers from Find live as long as the snapshot.
class CSkinSnapshot {
public:
    CSkinSnapshot();
    ~CSkinSnapshot();
    CSkinSnapshot(const CSkinSnapshot&) = delete;
    CSkinSnapshot& operator=(const CSkinSnapshot&) = delete;

    // Builds the markup at display scale `scalePercent` (as a window on a monitor of that scale
    // does); false when the markup cannot be read or builds no control.
    bool Load(std::wstring_view markupFile, int scalePercent = 100);

    CControlUI* Find(std::wstring_view name) const;
    // Shows page `index` of the first tab layout; false when there is none or no such page.
    bool SelectPage(int index);
    // Fills and sizes the message box as it sizes itself for `text` (needs MessageBox.xml).
    bool SetMessage(std::wstring_view text, std::wstring_view caption);
    // Puts a button (or any control) into its hovered state, as the mouse entering it would.
    bool Hover(std::wstring_view name);

    UiSize ClientSize() const { return m_clientSize; }
    bool IsLayered() const;

    // Places the tree at the client size; Render does it too.
    void Layout();
    SnapshotImage Render();

    CPaintManagerUI& Manager() { return *m_manager; }

private:
    std::unique_ptr<CPaintManagerUI> m_manager;
    UiSize m_clientSize;
};

}  // namespace tessel
