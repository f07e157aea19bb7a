#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

class CMarkupDocument;

// A light reference to one element of a CMarkupDocument: (document, element index). Index 0 is
// never an element, so a default-constructed or absent element is invalid. Names and values are
// views into the document's buffer and live as long as the document is not reloaded.
class CMarkupElement {
public:
    CMarkupElement() = default;
    CMarkupElement(const CMarkupDocument* document, size_t index);

    bool IsValid() const;
    std::wstring_view Name() const;
    std::wstring_view Data() const;
    CMarkupElement Parent() const;
    CMarkupElement FirstChild() const;
    CMarkupElement NextSibling() const;
    bool HasChildren() const;

    // At most kMaxAttributes per element are visible; an index out of range gives "".
    size_t AttributeCount() const;
    std::wstring_view AttributeName(size_t index) const;
    std::wstring_view AttributeValue(size_t index) const;
    // The first attribute whose name matches without regard to case.
    std::optional<std::wstring_view> AttributeValue(std::wstring_view name) const;
    // Copies at most `capacity` characters (no terminator is counted); false when absent.
    bool AttributeValue(std::wstring_view name, wchar_t* buffer, size_t capacity) const;

    static constexpr size_t kMaxAttributes = 64;

private:
    const CMarkupDocument* m_document = nullptr;
    size_t m_index = 0;
};

// The markup reader: one wide-character buffer parsed in place (terminators after names and
// values, entities decoded where they stand) plus a table of elements. Entry 0 of the table is
// reserved; the root is entry 1. A document may end inside its root element without a closing
// tag. Any failure releases everything and records the first error text and where it happened.
// Free of <windows.h> apart from the ANSI code page conversion, which TextConversion provides.
class CMarkupDocument {
public:
    enum Encoding { kUtf8 = 0, kUtf16 = 1, kAnsi = 2 };

    bool Load(std::wstring_view text);
    bool LoadFromMemory(const uint8_t* bytes, size_t length, int encoding = kUtf8);
    // Reads a skin file through ReadSkinFile; its failure text becomes the error.
    bool LoadFromFile(std::wstring_view name, int encoding = kUtf8);
    void Release();

    bool IsValid() const { return m_elements.size() > 1; }
    CMarkupElement Root() const;
    std::wstring_view LastError() const { return m_errorMessage; }
    std::wstring_view LastErrorLocation() const { return m_errorLocation; }

    // Nesting deeper than this fails ("Elements nested too deeply") instead of exhausting the
    // stack of the recursive parser and of the tree builders after it.
    static constexpr size_t kMaxDepth = 256;

private:
    friend class CMarkupElement;

    struct Element {
        size_t nameOffset = 0;
        size_t nameLength = 0;
        size_t firstChild = 0;
        size_t nextSibling = 0;
        size_t parent = 0;
        size_t dataOffset = 0;
        size_t dataLength = 0;
        size_t firstAttribute = 0;  // into m_attributes
        size_t attributeCount = 0;
    };
    // Lengths are kept beside the offsets so that a name is right even where the text ended before
    // its terminator could be written.
    struct Attribute {
        size_t nameOffset = 0;
        size_t nameLength = 0;
        size_t valueOffset = 0;
        size_t valueLength = 0;
    };

    bool Parse();
    bool ParseLevel(size_t& pos, size_t parent, size_t depth);
    bool ParseAttributes(size_t& pos, size_t element);
    void ParseData(size_t& pos, size_t& dest, wchar_t end);
    void DecodeEntity(size_t& pos, size_t& dest);
    bool Fail(std::wstring_view message, size_t pos);
    wchar_t At(size_t pos) const { return pos < m_length ? m_text[pos] : L'\0'; }
    void SkipBlanks(size_t& pos) const;
    void SkipIdentifier(size_t& pos) const;
    std::wstring_view StringAt(size_t offset) const;
    std::wstring_view Slice(size_t offset, size_t length) const;

    std::vector<wchar_t> m_text;  // zero-terminated
    size_t m_length = 0;          // characters before the terminator
    std::vector<Element> m_elements;
    std::vector<Attribute> m_attributes;
    std::wstring m_errorMessage;
    std::wstring m_errorLocation;
};

}  // namespace tessel
