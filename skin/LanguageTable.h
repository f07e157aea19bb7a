#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "ui/QueryControlText.h"

namespace tessel {

// The process-wide table from text id ("lan_1", ...) to display text. Created on first use and
// never destroyed; user-interface thread only. Ids compare with case.
class CLanguageTable {
public:
    // The first call also installs the table as the framework's resource-text resolver, so
    // controls marked `resourcetext` show the table's texts.
    static CLanguageTable& Instance();

    // `source` starting with "<" is the markup text itself; otherwise a file of the skin package,
    // read as UTF-8. Every child element `Text` (any letter case) carrying both `id` and `value`
    // sets that id; a later one replaces an earlier one. False when the text cannot be read or
    // parsed or has no root element; the table then keeps what it had.
    bool LoadLanguageFile(std::wstring_view source);

    void SetLanguageCode(std::wstring_view code) { m_languageCode = code; }
    const std::wstring& GetLanguageCode() const { return m_languageCode; }

    // A hook for ids the table does not know; none is ever installed in this product.
    void SetTextQuery(IQueryControlText* query) { m_query = query; }  // not owned

    // The text of `id`: empty for a null id, the id itself when nothing knows it.
    std::wstring LookUpText(const wchar_t* id, int type = 0);
    std::wstring LookUpText(std::wstring_view id, int type = 0);

    // Drops every text, the code and the hook (tests start over with it).
    void Clear();

private:
    CLanguageTable() = default;

    std::map<std::wstring, std::wstring, std::less<>> m_texts;
    std::wstring m_languageCode;
    IQueryControlText* m_query = nullptr;
};

// The language file and code for a user-interface language: 2052 simplified Chinese, 1028
// traditional Chinese, anything else English.
struct LanguageChoice {
    const wchar_t* fileName;
    const wchar_t* code;
};
LanguageChoice ChooseLanguage(uint16_t userInterfaceLanguage);

}  // namespace tessel
