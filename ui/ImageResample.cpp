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

// Channel sums of weighted pixels: each weight is at least 0 and they add up to kOne, so a sum
// stays below 255 * kOne and fits 32 bits.
struct Sums {
    uint32_t b = 0, g = 0, r = 0, a = 0;

    void Add(uint32_t pixel, uint32_t weight) {
        b += (pixel & 0xFF) * weight;
        g += ((pixel >> 8) & 0xFF) * weight;
        r += ((pixel >> 16) & 0xFF) * weight;
        a += (pixel >> 24) * weight;
    }
    // The weighted pixel; a colour channel never exceeds alpha, so it stays premultiplied.
    uint32_t Pixel() const {
        const auto round = [](uint32_t sum) { return (sum + kOne / 2) >> kWeightBits; };
        const uint32_t alpha = round(a);
        return std::min(round(b), alpha) | (std::min(round(g), alpha) << 8) |
               (std::min(round(r), alpha) << 16) | (alpha << 24);
    }
};

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
    const auto width = static_cast<size_t>(to.cx);
    // Across first, a row of `from` at the target width when a target row first needs it; then
    // down, a target row at a time from the rows its taps name. Target rows name source rows in
    // order and never more than `down.stride` at once, so a ring of that many narrowed rows is
    // all that is kept (a few rows, not a whole intermediate image).
    const auto ringRows = static_cast<size_t>(down.stride);
    std::vector<uint32_t> ring(ringRows * width);
    std::vector<int> ringHolds(ringRows, -1);  // the source row in each slot
    const auto narrowedRow = [&](int sourceRow) -> const uint32_t* {
        const size_t slot = static_cast<size_t>(sourceRow) % ringRows;
        uint32_t* out = ring.data() + slot * width;
        if (ringHolds[slot] == sourceRow) {
            return out;
        }
        ringHolds[slot] = sourceRow;
        const uint32_t* row =
            source.data() + static_cast<size_t>(sourceRow) * static_cast<size_t>(sourceSize.cx);
        for (size_t x = 0; x < width; ++x) {
            const uint32_t* first = row + across.first[x];
            const int* weights = &across.weights[x * static_cast<size_t>(across.stride)];
            Sums sums;
            for (int k = 0; k < across.count[x]; ++k) {
                sums.Add(first[k], static_cast<uint32_t>(weights[k]));
            }
            out[x] = sums.Pixel();
        }
        return out;
    };
    std::vector<Sums> line(width);
    for (int y = 0; y < to.cy; ++y) {
        const auto t = static_cast<size_t>(y);
        std::fill(line.begin(), line.end(), Sums{});
        const int* weights = &down.weights[t * static_cast<size_t>(down.stride)];
        for (int k = 0; k < down.count[t]; ++k) {
            const uint32_t* row = narrowedRow(down.first[t] + k);
            const auto weight = static_cast<uint32_t>(weights[k]);
            for (size_t x = 0; x < width; ++x) {
                line[x].Add(row[x], weight);
            }
        }
        uint32_t* out = target.data() + t * width;
        for (size_t x = 0; x < width; ++x) {
            out[x] = line[x].Pixel();
        }
    }
    return true;
}

}  // namespace tessel
