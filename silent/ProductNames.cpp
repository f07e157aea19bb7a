#include "silent/ProductNames.h"

namespace tessel {

ProductNames ProductNamesFor(ProductLanguage language) {
    switch (language) {
        case ProductLanguage::SimplifiedChinese:
            return {L"Tessel助手", L"卸载Tessel助手", L"2052"};
        case ProductLanguage::TraditionalChinese:
            return {L"Tessel助手", L"卸載Tessel助手", L"1028"};
        case ProductLanguage::English:
            break;
    }
    return {L"Tessel Assistant", L"Uninstall Tessel Assistant", L"2057"};
}

}  // namespace tessel
