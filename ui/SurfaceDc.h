#pragma once

#include <windows.h>

#include <memory>
#include <span>

#include "ui/GdiHandles.h"

namespace tessel {

// A 32-bit top-down bitmap selected into its own memory DC: the offscreen frame of a window, or
// a scratch surface. Members go in reverse order, so the bitmap is deselected before the DC and
// the bitmap are deleted.
struct SurfaceDc {
    DibSection dib;
    UniqueMemoryDc dc;
    std::unique_ptr<ScopedSelectObject> select;

    SurfaceDc(int width, int height) : dib(CreateDibSection(width, height)) {
        if (dib.bitmap) {
            dc.Reset(::CreateCompatibleDC(nullptr));
            select = std::make_unique<ScopedSelectObject>(dc.Get(), dib.bitmap.Get());
        }
    }
    bool IsValid() const { return dc.IsValid(); }
    // Pixels [left, right) of row y; callers GdiFlush before touching them.
    std::span<uint32_t> Row(int y, int left, int right) const {
        return {dib.pixels + static_cast<size_t>(y) * dib.width + left,
                static_cast<size_t>(right - left)};
    }
};

}  // namespace tessel
