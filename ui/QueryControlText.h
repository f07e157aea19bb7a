#pragma once

#include <string>
#include <string_view>

namespace tessel {

// Supplies texts for text ids the language table does not know (windows that compute texts).
class IQueryControlText {
public:
    // True with `text` filled when the id has a text here.
    virtual bool QueryText(std::wstring_view id, int type, std::wstring& text) = 0;

protected:
    ~IQueryControlText() = default;
};

}  // namespace tessel
