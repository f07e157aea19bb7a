#pragma once

#include <string>

#include "base/ProductFacts.h"
#include "engine/SilentCommandLine.h"

namespace tessel {

// What the silent installer writes depends on the language number only through these texts.
struct ProductNames {
    std::wstring product;     // shortcut names, the start-menu folder, "DisplayName"
    std::wstring uninstall;   // the uninstaller's start-menu shortcut
    std::wstring languageId;  // "LANGUAGE" of the product's utility: a Windows language id
};

ProductNames ProductNamesFor(ProductLanguage language);

}  // namespace tessel
