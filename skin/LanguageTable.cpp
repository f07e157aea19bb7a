#include "skin/LanguageTable.h"

#include "ui/AttributeText.h"
#include "ui/ControlUI.h"
#include "ui/MarkupDocument.h"

namespace tessel {
namespace {

constexpr uint16_t kLangSimplifiedChinese = 2052;
constexpr uint16_t kLangTraditionalChinese = 1028;

}  // namespace

CLanguageTable& CLanguageTable::Instance() {
    // Never destroyed: controls may look texts up while static objects are torn down. Creating
    // the table also makes it the resolver of every resource-text control, so no program can
    // load a language and forget to connect it.
    static CLanguageTable* table = [] {
        auto* created = new CLanguageTable();
        SetResourceTextResolver(
            [](std::wstring_view id) { return CLanguageTable::Instance().LookUpText(id); });
        return created;
    }();
    return *table;
}

bool CLanguageTable::LoadLanguageFile(std::wstring_view source) {
    CMarkupDocument document;
    const bool loaded = (!source.empty() && source.front() == L'<') ? document.Load(source)
                                                                    : document.LoadFromFile(source);
    if (!loaded || !document.IsValid()) {
        return false;
    }
    const CMarkupElement root = document.Root();
    if (!root.IsValid()) {
        return false;
    }
    for (CMarkupElement item = root.FirstChild(); item.IsValid(); item = item.NextSibling()) {
        if (!EqualsNoCase(item.Name(), L"Text")) {
            continue;
        }
        const auto id = item.AttributeValue(L"id");
        const auto value = item.AttributeValue(L"value");
        if (!id || !value) {
            continue;
        }
        m_texts.insert_or_assign(std::wstring(*id), std::wstring(*value));
    }
    return true;
}

std::wstring CLanguageTable::LookUpText(const wchar_t* id, int type) {
    if (id == nullptr) {
        return {};
    }
    return LookUpText(std::wstring_view(id), type);
}

std::wstring CLanguageTable::LookUpText(std::wstring_view id, int type) {
    if (const auto found = m_texts.find(id); found != m_texts.end()) {
        return found->second;
    }
    std::wstring answer;
    if (m_query != nullptr && m_query->QueryText(id, type, answer)) {
        m_texts.insert_or_assign(std::wstring(id), answer);
        return answer;
    }
    return std::wstring(id);
}

void CLanguageTable::Clear() {
    m_texts.clear();
    m_languageCode.clear();
    m_query = nullptr;
}

LanguageChoice ChooseLanguage(uint16_t userInterfaceLanguage) {
    switch (userInterfaceLanguage) {
        case kLangSimplifiedChinese:
            return {L"lan_cn.xml", L"CN"};
        case kLangTraditionalChinese:
            return {L"lan_tc.xml", L"TC"};
        default:
            return {L"lan_en.xml", L"EN"};
    }
}

}  // namespace tessel
