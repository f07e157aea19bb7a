#pragma once

#include "ui/Geometry.h"
#include "ui/ImageDescription.h"

namespace tessel {

// A window's display scale in percent: 100 at 96 DPI, 150 at 144 DPI. Markup lengths are unscaled
// pixels; every accessor that feeds layout or painting multiplies them by this (rounded as MulDiv
// rounds). The paint manager takes it from the window's monitor and follows it when the window
// moves to a monitor of another scale.
class DisplayScale {
public:
    static constexpr int kMinimumPercent = 100;
    static constexpr int kMaximumPercent = 500;

    int Percent() const { return m_percent; }
    void SetPercent(int percent) { m_percent = percent > 0 ? percent : 100; }
    int Scale(int value) const { return ScaleByPercent(value, m_percent); }
    int Unscale(int value) const {
        if (m_percent == 100) {
            return value;
        }
        const long long product = static_cast<long long>(value) * 100;
        return static_cast<int>(product >= 0 ? (product + m_percent / 2) / m_percent
                                             : (product - m_percent / 2) / m_percent);
    }
    UiRect Scale(const UiRect& r) const {
        return {Scale(r.left), Scale(r.top), Scale(r.right), Scale(r.bottom)};
    }
    UiSize Scale(const UiSize& s) const { return {Scale(s.cx), Scale(s.cy)}; }

    // The scale of a monitor of `dpi` dots per inch (96 = 100 %), rounded to the nearest percent
    // and kept within [kMinimumPercent, kMaximumPercent]: the skin is drawn for 100 % and never
    // shrunk, and no system offers more than 500 %. A DPI of 0 (unknown) is 100 %.
    static int PercentForDpi(unsigned dpi);

private:
    int m_percent = 100;
};

inline int DisplayScale::PercentForDpi(unsigned dpi) {
    if (dpi == 0) {
        return 100;
    }
    const unsigned long long percent = (static_cast<unsigned long long>(dpi) * 100 + 48) / 96;
    if (percent < kMinimumPercent) {
        return kMinimumPercent;
    }
    return percent > kMaximumPercent ? kMaximumPercent : static_cast<int>(percent);
}

}  // namespace tessel
