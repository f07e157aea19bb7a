#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include <cstdint>
#include <vector>

#include "ui/Geometry.h"
#include "ui/ImageDecoder.h"

namespace tessel {

// Decodes a window's largest skin images on a thread of their own while the window is being made,
// so that its first paint finds them decoded. Decoding the background is the larger part of the
// first paint (at 150 % its twice-size file alone takes longer than making the window).
//
// Start reads the files on the calling thread (the skin package is read by one thread at a time)
// and decodes them on a process-wide thread. A file drawn for the scale is kept decoded; a file of
// another scale (the twice-size one at 150 %) is resized whole to the scale there too, and only
// that is kept. The resource cache takes each once, waiting for it when it is still being made.
// An image nobody takes costs only its memory until the process ends. Process-wide; call Start
// once, from the thread that reads the skin.
class ImagePrefetch {
public:
    // For each name, the file the display scale `percent` draws it from (ImageVariantsFor: the
    // first that the skin has).
    static void Start(std::span<const std::wstring> names, int percent);
    // The decoded file `fileName` when it was started here, was drawn for the scale and was not
    // taken before; nothing otherwise. Waits while it is being decoded.
    static std::optional<DecodedImage> Take(std::wstring_view fileName);

    // Image `name` as a whole, resized from another scale's file to display scale `percent`:
    // premultiplied pixels, as the resource cache keeps them.
    struct Resized {
        UiSize size;
        std::vector<uint32_t> pixels;
        bool hasAlpha = false;
    };
    // When `name` was started here for `percent` from another scale's file and not taken before;
    // nothing otherwise. Waits while it is being made.
    static std::optional<Resized> TakeResized(std::wstring_view name, int percent);
};

}  // namespace tessel
