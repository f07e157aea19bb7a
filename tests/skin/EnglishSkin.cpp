// The built skin package and its English texts for the window tests, kept out of their file:
// skin/LanguageTable.h and ui/WindowImplBase.h each define a tessel::IQueryControlText of their
// own, so no file can include both.
#include "tests/skin/SkinTestSupport.h"

namespace tessel::testing_support {

bool OpenSkinInEnglish() {
    return OpenBuiltSkinPackage() && LoadLanguage(L"lan_en.xml");
}

void ClearLanguage() {
    CLanguageTable::Instance().Clear();
}

}  // namespace tessel::testing_support
