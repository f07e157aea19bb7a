#pragma once

#include "ui/Geometry.h"
#include "ui/ImageDescription.h"

namespace tessel {

// A window's display scale in percent. Markup lengths are unscaled pixels; every accessor that
// feeds layout or painting multiplies them by this (rounded as MulDiv rounds). This product never
// changes it from 100.
class DisplayScale {
public:
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

private:
    int m_percent = 100;
};

}  // namespace tessel
