#pragma once

// The skin package the build zips (TESSEL_SKIN_ARCHIVE), opened once per test program.
#include <fstream>
#include <sstream>
#include <string>

#include "skin/LanguageTable.h"
#include "tests/support/TestProcess.h"
#include "ui/ResourceLocation.h"

namespace tessel::testing_support {

// True when the archive could be read; the package then stays open for the whole program.
inline bool OpenBuiltSkinPackage() {
    static const std::string archive = [] {
        std::ifstream in(FromBuildPath(TESSEL_SKIN_ARCHIVE).c_str(), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }();
    if (archive.empty()) {
        return false;
    }
    OpenSkinPackage(archive.data(), archive.size(), nullptr);
    return IsSkinPackageOpen();
}

// Replaces the language table's texts with one language file of the package.
inline bool LoadLanguage(const wchar_t* file) {
    CLanguageTable& table = CLanguageTable::Instance();
    table.Clear();
    return table.LoadLanguageFile(file);
}

}  // namespace tessel::testing_support
