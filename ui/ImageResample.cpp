#include "ui/ImageResample.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tessel {
namespace {

// Weights are fixed point: they add up to exactly kOne for each target pixel.
constexpr int kWeightBits = 14;
constexpr int kOne = 1 << kWeightBits;

struct Taps {
    std::vector<int> first;    // first source index of each target pixel
    std::vector<int> count;    // number of source pixels it reads
    std::vector<int> weights;  // `count` weights per target pixel, `stride` apart
    int stride = 0;
};

// The filter taps from source pixels [start, start + length) to `targets` pixels.
Taps MakeTaps(int start, int length, int targets) {
    const double step = static_cast<double>(length) / targets;  // source pixels per target pixel
    const double radius = std::max(1.0, step);
    Taps taps;
    taps.stride = static_cast<int>(std::ceil(radius)) * 2 + 2;
    taps.first.resize(static_cast<size_t>(targets));
    taps.count.resize(static_cast<size_t>(targets));
    taps.weights.assign(static_cast<size_t>(targets) * taps.stride, 0);
    std::vector<double> raw(static_cast<size_t>(taps.stride));
    for (int t = 0; t < targets; ++t) {
        const double centre = (t + 0.5) * step;  // in source pixels from `start`
        const int lo = std::max(0, static_cast<int>(std::floor(centre - radius)));
        const int hi = std::min(length - 1, static_cast<int>(std::ceil(centre + radius)));
        double sum = 0;
        int n = 0;
        for (int i = lo; i <= hi && n < taps.stride; ++i, ++n) {
            const double distance = std::abs(i + 0.5 - centre) / radius;
            raw[static_cast<size_t>(n)] = std::max(0.0, 1.0 - distance);
            sum += raw[static_cast<size_t>(n)];
        }
        if (sum <= 0) {
            // The nearest pixel alone (only reachable through rounding at the edges).
            raw[0] = 1;
            sum = 1;
            n = 1;
        }
        taps.first[static_cast<size_t>(t)] = start + lo;
        taps.count[static_cast<size_t>(t)] = n;
        int* weights = &taps.weights[static_cast<size_t>(t) * taps.stride];
        int given = 0;
        int largest = 0;
        for (int k = 0; k < n; ++k) {
            weights[k] = static_cast<int>(std::lround(raw[static_cast<size_t>(k)] / sum * kOne));
            given += weights[k];
            if (weights[k] > weights[largest]) {
                largest = k;
            }
        }
        weights[largest] += kOne - given;  // rounding's remainder on the heaviest tap
    }
    return taps;
}

// One output pixel from `count` pixels `pitch` words apart, weighted; a colour channel never
// exceeds alpha, so the result stays premultiplied.
uint32_t Filter(const uint32_t* pixels, size_t pitch, int count, const int* weights) {
    uint32_t channel[4] = {};
    for (int c = 0; c < 4; ++c) {
        int64_t sum = 0;
        for (int k = 0; k < count; ++k) {
            sum += static_cast<int64_t>((pixels[k * pitch] >> (8 * c)) & 0xFF) * weights[k];
        }
        channel[c] =
            static_cast<uint32_t>(std::clamp<int64_t>((sum + kOne / 2) >> kWeightBits, 0, 255));
    }
    const uint32_t alpha = channel[3];
    for (int c = 0; c < 3; ++c) {
        channel[c] = std::min(channel[c], alpha);
    }
    return channel[0] | (channel[1] << 8) | (channel[2] << 16) | (alpha << 24);
}

}  // namespace

bool ResamplePremultiplied(std::span<const uint32_t> source, UiSize sourceSize, const UiRect& from,
                           std::span<uint32_t> target, UiSize to) {
    if (from.IsEmpty() || to.cx <= 0 || to.cy <= 0 || from.left < 0 || from.top < 0 ||
        from.right > sourceSize.cx || from.bottom > sourceSize.cy ||
        source.size() < static_cast<size_t>(sourceSize.cx) * static_cast<size_t>(sourceSize.cy) ||
        target.size() < static_cast<size_t>(to.cx) * static_cast<size_t>(to.cy)) {
        return false;
    }
    const Taps across = MakeTaps(from.left, from.Width(), to.cx);
    const Taps down = MakeTaps(from.top, from.Height(), to.cy);
    // Across first, every row of `from` at the target width; then down each column.
    const size_t rows = static_cast<size_t>(from.Height());
    std::vector<uint32_t> narrowed(rows * static_cast<size_t>(to.cx));
    for (size_t y = 0; y < rows; ++y) {
        const uint32_t* row = source.data() + (static_cast<size_t>(from.top) + y) *
                                                  static_cast<size_t>(sourceSize.cx);
        for (int x = 0; x < to.cx; ++x) {
            const auto t = static_cast<size_t>(x);
            narrowed[y * static_cast<size_t>(to.cx) + t] =
                Filter(row + across.first[t], 1, across.count[t],
                       &across.weights[t * static_cast<size_t>(across.stride)]);
        }
    }
    for (int y = 0; y < to.cy; ++y) {
        const auto t = static_cast<size_t>(y);
        const uint32_t* column =
            narrowed.data() + static_cast<size_t>(down.first[t] - from.top) * to.cx;
        uint32_t* out = target.data() + t * static_cast<size_t>(to.cx);
        const int* weights = &down.weights[t * static_cast<size_t>(down.stride)];
        for (int x = 0; x < to.cx; ++x) {
            out[x] = Filter(column + x, static_cast<size_t>(to.cx), down.count[t], weights);
        }
    }
    return true;
}

}  // namespace tessel
