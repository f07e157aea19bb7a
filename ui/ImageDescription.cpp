#include "ui/ImageDescription.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ui/AttributeText.h"

namespace tessel {

int ScaleByPercent(int value, int percent) {
    if (percent == 100) {
        return value;
    }
    const long long product = static_cast<long long>(value) * percent;
    const long long rounded = product >= 0 ? (product + 50) / 100 : (product - 50) / 100;
    return static_cast<int>(std::clamp<long long>(rounded, INT32_MIN, INT32_MAX));
}

UiRect ScaleByPercent(const UiRect& r, int percent) {
    return {ScaleByPercent(r.left, percent), ScaleByPercent(r.top, percent),
            ScaleByPercent(r.right, percent), ScaleByPercent(r.bottom, percent)};
}

std::wstring ScaledImageName(std::wstring_view name, int percent) {
    if (percent == 100) {
        return std::wstring(name);
    }
    const std::wstring infix = L"@" + std::to_wstring(percent) + L".";
    std::wstring scaled;
    scaled.reserve(name.size() + infix.size());
    for (wchar_t c : name) {
        if (c == L'.') {
            scaled += infix;
        } else {
            scaled += c;
        }
    }
    return scaled;
}

std::vector<ImageVariant> ImageVariantsFor(std::wstring_view name, int percent) {
    constexpr int kTwiceSize = 200;
    std::vector<ImageVariant> variants;
    if (percent != 100) {
        variants.push_back({ScaledImageName(name, percent), percent});
    }
    if (percent > 100 && percent != kTwiceSize) {
        variants.push_back({ScaledImageName(name, kTwiceSize), kTwiceSize});
    }
    variants.push_back({std::wstring(name), 100});
    return variants;
}

namespace {

void ApplyPair(ImageDrawSpec& spec, std::wstring_view key, std::wstring_view value,
               int scalePercent) {
    if (key == L"file" || key == L"res") {
        spec.name = value;
    } else if (key == L"restype") {
        spec.resourceType = value;
    } else if (key == L"dest") {
        spec.dest = ScaleByPercent(ParseRect(value), scalePercent);
    } else if (key == L"source") {
        spec.source = ParseRect(value);
    } else if (key == L"corner") {
        spec.corner = ParseRect(value);
    } else if (key == L"mask") {
        spec.mask = ParseColor(value);
    } else if (key == L"fade") {
        spec.fade = std::clamp(ParseInt(value), 0, 255);
    } else if (key == L"hole") {
        spec.hole = ParseBool(value);
    } else if (key == L"xtiled") {
        spec.xTiled = ParseBool(value);
    } else if (key == L"ytiled") {
        spec.yTiled = ParseBool(value);
    } else if (key == L"hsl") {
        spec.hsl = ParseBool(value);
    } else if (key == L"iconsize") {
        spec.iconSize = ParseSize(value);
    } else if (key == L"iconalign") {
        spec.iconAlign = value;
    }
}

// key='value' pairs: blanks around "=" are allowed, the value sits in single quotes, and each
// closing quote must be followed by a blank for the next pair to be read.
void ParsePairs(ImageDrawSpec& spec, std::wstring_view text, int scalePercent) {
    size_t pos = 0;
    const auto at = [&](size_t i) { return i < text.size() ? text[i] : L'\0'; };
    const auto skipBlanks = [&] {
        while (at(pos) != L'\0' && IsBlank(at(pos))) {
            ++pos;
        }
    };
    while (at(pos) != L'\0') {
        skipBlanks();
        const size_t keyStart = pos;
        while (at(pos) != L'\0' && at(pos) != L'=' && !IsBlank(at(pos))) {
            ++pos;
        }
        const std::wstring_view key = text.substr(keyStart, pos - keyStart);
        skipBlanks();
        if (at(pos++) != L'=') {
            return;
        }
        skipBlanks();
        if (at(pos++) != L'\'') {
            return;
        }
        const size_t valueStart = pos;
        while (at(pos) != L'\0' && at(pos) != L'\'') {
            ++pos;
        }
        const std::wstring_view value = text.substr(valueStart, pos - valueStart);
        if (at(pos++) != L'\'') {
            return;
        }
        if (!value.empty()) {
            ApplyPair(spec, key, value, scalePercent);
        }
        const wchar_t after = at(pos++);
        if (after == L'\0' || !IsBlank(after)) {
            return;
        }
    }
}

}  // namespace

void ImageDrawSpec::Parse(std::wstring_view descriptionText, std::wstring_view modifierText,
                          int scalePercent) {
    *this = ImageDrawSpec{};
    description = descriptionText;
    modifier = modifierText;
    name = descriptionText;
    ParsePairs(*this, descriptionText, scalePercent);
    ParsePairs(*this, modifierText, scalePercent);
}

}  // namespace tessel
