#include "ui/MarkupDocument.h"

#include <algorithm>

#include "base/TextConversion.h"
#include "ui/AttributeText.h"

namespace tessel {

// ---- CMarkupElement ------------------------------------------------------------------------

CMarkupElement::CMarkupElement(const CMarkupDocument* document, size_t index)
    : m_document(document), m_index(index) {}

bool CMarkupElement::IsValid() const {
    return m_document != nullptr && m_index > 0 && m_index < m_document->m_elements.size();
}

std::wstring_view CMarkupElement::Name() const {
    if (!IsValid()) {
        return {};
    }
    const auto& element = m_document->m_elements[m_index];
    return m_document->Slice(element.nameOffset, element.nameLength);
}

std::wstring_view CMarkupElement::Data() const {
    if (!IsValid()) {
        return {};
    }
    const auto& element = m_document->m_elements[m_index];
    return m_document->Slice(element.dataOffset, element.dataLength);
}

CMarkupElement CMarkupElement::Parent() const {
    return IsValid() ? CMarkupElement(m_document, m_document->m_elements[m_index].parent)
                     : CMarkupElement{};
}

CMarkupElement CMarkupElement::FirstChild() const {
    return IsValid() ? CMarkupElement(m_document, m_document->m_elements[m_index].firstChild)
                     : CMarkupElement{};
}

CMarkupElement CMarkupElement::NextSibling() const {
    return IsValid() ? CMarkupElement(m_document, m_document->m_elements[m_index].nextSibling)
                     : CMarkupElement{};
}

bool CMarkupElement::HasChildren() const {
    return FirstChild().IsValid();
}

size_t CMarkupElement::AttributeCount() const {
    return IsValid() ? m_document->m_elements[m_index].attributeCount : 0;
}

std::wstring_view CMarkupElement::AttributeName(size_t index) const {
    if (index >= AttributeCount()) {
        return {};
    }
    const auto& element = m_document->m_elements[m_index];
    const auto& attribute = m_document->m_attributes[element.firstAttribute + index];
    return m_document->Slice(attribute.nameOffset, attribute.nameLength);
}

std::wstring_view CMarkupElement::AttributeValue(size_t index) const {
    if (index >= AttributeCount()) {
        return {};
    }
    const auto& element = m_document->m_elements[m_index];
    const auto& attribute = m_document->m_attributes[element.firstAttribute + index];
    return m_document->Slice(attribute.valueOffset, attribute.valueLength);
}

std::optional<std::wstring_view> CMarkupElement::AttributeValue(std::wstring_view name) const {
    for (size_t i = 0; i < AttributeCount(); ++i) {
        if (EqualsNoCase(AttributeName(i), name)) {
            return AttributeValue(i);
        }
    }
    return std::nullopt;
}

bool CMarkupElement::AttributeValue(std::wstring_view name, wchar_t* buffer,
                                    size_t capacity) const {
    const auto value = AttributeValue(name);
    if (!value || buffer == nullptr || capacity == 0) {
        return value.has_value();
    }
    const size_t n = std::min(capacity - 1, value->size());
    std::copy_n(value->data(), n, buffer);
    buffer[n] = L'\0';
    return true;
}

// ---- CMarkupDocument -----------------------------------------------------------------------

void CMarkupDocument::Release() {
    m_text.clear();
    m_length = 0;
    m_elements.clear();
    m_attributes.clear();
}

CMarkupElement CMarkupDocument::Root() const {
    return IsValid() ? CMarkupElement(this, 1) : CMarkupElement{};
}

bool CMarkupDocument::Load(std::wstring_view text) {
    Release();
    m_errorMessage.clear();
    m_errorLocation.clear();
    // The buffer is a zero-terminated string: an embedded terminator ends the text there.
    text = text.substr(0, text.find(L'\0'));
    m_text.assign(text.begin(), text.end());
    m_text.push_back(L'\0');
    m_length = text.size();
    if (!Parse()) {
        Release();
        return false;
    }
    return true;
}

bool CMarkupDocument::LoadFromMemory(const uint8_t* bytes, size_t length, int encoding) {
    if (bytes == nullptr) {
        length = 0;
    }
    std::wstring text;
    if (encoding == kUtf16) {
        if (length < 2 ||
            !((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
            Release();
            m_errorMessage = L"Error: UTF-16 text without a byte-order mark";
            m_errorLocation.clear();
            return false;
        }
        const bool bigEndian = bytes[0] == 0xFE;
        text.reserve((length - 2) / 2);
        for (size_t i = 2; i + 1 < length; i += 2) {
            const wchar_t c = bigEndian ? static_cast<wchar_t>((bytes[i] << 8) | bytes[i + 1])
                                        : static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
            text.push_back(c);
        }
    } else if (encoding == kAnsi) {
        text = AnsiToWide(std::string_view(reinterpret_cast<const char*>(bytes), length));
    } else {
        std::string_view utf8(reinterpret_cast<const char*>(bytes), length);
        if (utf8.size() >= 3 && utf8.substr(0, 3) == "\xEF\xBB\xBF") {
            utf8.remove_prefix(3);
        }
        text = Utf8ToWide(utf8);
    }
    return Load(text);
}

std::wstring_view CMarkupDocument::StringAt(size_t offset) const {
    if (offset >= m_length) {
        return {};
    }
    const wchar_t* start = m_text.data() + offset;
    const wchar_t* end = std::find(start, m_text.data() + m_length, L'\0');
    return std::wstring_view(start, static_cast<size_t>(end - start));
}

std::wstring_view CMarkupDocument::Slice(size_t offset, size_t length) const {
    if (offset >= m_length) {
        return {};
    }
    return std::wstring_view(m_text.data() + offset, std::min(length, m_length - offset));
}

bool CMarkupDocument::Fail(std::wstring_view message, size_t pos) {
    if (m_errorMessage.empty()) {
        m_errorMessage = std::wstring(message.substr(0, 99));
        m_errorLocation = std::wstring(StringAt(std::min(pos, m_length)).substr(0, 49));
    }
    return false;
}

void CMarkupDocument::SkipBlanks(size_t& pos) const {
    while (pos < m_length && m_text[pos] != L'\0' && IsBlank(m_text[pos])) {
        ++pos;
    }
}

void CMarkupDocument::SkipIdentifier(size_t& pos) const {
    while (pos < m_length) {
        const wchar_t c = m_text[pos];
        const bool letter = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c > 0x7F;
        if (!(letter || (c >= L'0' && c <= L'9') || c == L'_' || c == L':')) {
            break;
        }
        ++pos;
    }
}

bool CMarkupDocument::Parse() {
    m_elements.assign(1, Element{});  // entry 0 is never an element
    size_t pos = 0;
    return ParseLevel(pos, 0, 0);
}

// Parses the children of `parent` from `pos` until that parent's end tag ("</", left for the
// caller) or, at the top two levels, the end of the text.
bool CMarkupDocument::ParseLevel(size_t& pos, size_t parent, size_t depth) {
    if (depth > kMaxDepth) {
        return Fail(L"Elements nested too deeply", pos);
    }
    SkipBlanks(pos);
    size_t previous = 0;
    for (;;) {
        if (At(pos) == L'\0' && parent <= 1) {
            return true;
        }
        SkipBlanks(pos);
        if (At(pos) != L'<') {
            return Fail(L"Expected start tag", pos);
        }
        if (At(pos + 1) == L'/') {
            return true;
        }
        m_text[pos++] = L'\0';
        SkipBlanks(pos);

        // Comments run to the next "->", declarations to the next "?>"; unterminated ones to the
        // end.
        if (At(pos) == L'!' || At(pos) == L'?') {
            const wchar_t closing = At(pos) == L'!' ? L'-' : L'?';
            while (At(pos) != L'\0' && !(At(pos) == closing && At(pos + 1) == L'>')) {
                ++pos;
            }
            if (At(pos) != L'\0') {
                pos += 2;
            }
            SkipBlanks(pos);
            continue;
        }

        const size_t index = m_elements.size();
        Element element;
        element.nameOffset = pos;
        element.parent = parent;
        m_elements.push_back(element);
        if (previous != 0) {
            m_elements[previous].nextSibling = index;
        } else if (parent > 0) {
            m_elements[parent].firstChild = index;
        }
        previous = index;

        const size_t nameStart = pos;
        SkipIdentifier(pos);
        const size_t nameEnd = pos;
        m_elements[index].nameLength = nameEnd - nameStart;
        if (At(pos) == L'\0') {
            return Fail(L"Error parsing element name", pos);
        }
        if (!ParseAttributes(pos, index)) {
            return false;
        }
        SkipBlanks(pos);
        if (At(pos) == L'/' && At(pos + 1) == L'>') {
            m_elements[index].dataOffset = pos;
            m_text[pos] = L'\0';
            pos += 2;
        } else {
            if (At(pos) != L'>') {
                return Fail(L"Expected start-tag closing", pos);
            }
            m_elements[index].dataOffset = ++pos;
            size_t dest = pos;
            ParseData(pos, dest, L'<');
            m_elements[index].dataLength = dest - m_elements[index].dataOffset;
            if (At(pos) == L'\0' && parent <= 1) {
                return true;
            }
            if (At(pos) != L'<') {
                return Fail(L"Expected end-tag start", pos);
            }
            if (At(pos + 1) != L'/') {
                if (!ParseLevel(pos, index, depth + 1)) {
                    return false;
                }
            }
            if (At(pos) == L'<' && At(pos + 1) == L'/') {
                m_text[dest] = L'\0';
                m_text[pos] = L'\0';
                pos += 2;
                SkipBlanks(pos);
                const size_t nameLength = nameEnd - nameStart;
                if (pos + nameLength > m_length ||
                    !std::equal(m_text.begin() + nameStart, m_text.begin() + nameEnd,
                                m_text.begin() + pos)) {
                    return Fail(L"Unmatched closing tag", pos);
                }
                pos += nameLength;
                SkipBlanks(pos);
                if (At(pos) != L'>') {
                    return Fail(L"Unmatched closing tag", pos);
                }
                ++pos;
            } else if (At(pos) == L'\0' && parent <= 1) {
                // The text ended inside this element's children, which is allowed at the root.
                m_text[dest] = L'\0';
                return true;
            }
        }
        if (nameEnd < m_length) {
            m_text[nameEnd] = L'\0';
        }
        SkipBlanks(pos);
    }
}

bool CMarkupDocument::ParseAttributes(size_t& pos, size_t element) {
    if (At(pos) == L'>' || (At(pos) == L'/' && At(pos + 1) == L'>')) {
        return true;
    }
    m_text[pos++] = L'\0';
    SkipBlanks(pos);
    m_elements[element].firstAttribute = m_attributes.size();
    while (At(pos) != L'\0' && At(pos) != L'>' && At(pos) != L'/') {
        const size_t nameStart = pos;
        SkipIdentifier(pos);
        const size_t nameEnd = pos;
        SkipBlanks(pos);
        if (At(pos) != L'=') {
            return Fail(L"Error while parsing attributes", pos);
        }
        m_text[pos++] = L' ';
        m_text[nameEnd] = L'\0';
        SkipBlanks(pos);
        if (At(pos) != L'"') {
            return Fail(L"Expected attribute value", pos);
        }
        ++pos;
        size_t dest = pos;
        const size_t valueStart = pos;
        ParseData(pos, dest, L'"');
        if (At(pos) == L'\0') {
            return Fail(L"Error while parsing attribute string", pos);
        }
        m_text[dest] = L'\0';
        if (pos != dest) {
            m_text[pos] = L' ';
        }
        ++pos;
        if (m_elements[element].attributeCount < CMarkupElement::kMaxAttributes) {
            m_attributes.push_back({nameStart, nameEnd - nameStart, valueStart, dest - valueStart});
            ++m_elements[element].attributeCount;
        }
        SkipBlanks(pos);
    }
    return true;
}

// Copies character data from `pos` to `dest` (never ahead of `pos`) up to `end`, decoding the five
// named entities; the characters freed by decoding become blanks so the buffer stays readable.
void CMarkupDocument::ParseData(size_t& pos, size_t& dest, wchar_t end) {
    while (At(pos) != L'\0' && At(pos) != end) {
        if (At(pos) == L'&') {
            DecodeEntity(pos, dest);
        } else {
            m_text[dest++] = m_text[pos++];
        }
    }
    for (size_t fill = dest + 1; fill < pos; ++fill) {
        m_text[fill] = L' ';
    }
}

void CMarkupDocument::DecodeEntity(size_t& pos, size_t& dest) {
    struct Entity {
        std::wstring_view name;
        wchar_t value;
    };
    static constexpr Entity kEntities[] = {
        {L"amp;", L'&'}, {L"lt;", L'<'}, {L"gt;", L'>'}, {L"quot;", L'"'}, {L"apos;", L'\''}};
    ++pos;  // the '&'
    for (const Entity& entity : kEntities) {
        const std::wstring_view rest(m_text.data() + pos, m_length - pos);
        if (rest.substr(0, entity.name.size()) == entity.name) {
            m_text[dest++] = entity.value;
            pos += entity.name.size();
            return;
        }
    }
    m_text[dest++] = L'&';
}

}  // namespace tessel
