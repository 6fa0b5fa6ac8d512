#pragma once
// Skin layouts: loads XML from the skin folders (or the skin zip), memory or a text, converts it
// to UTF-16 and parses it in place into a flat array of element records and one of attribute
// records. Names and values are pointers into the document's own text.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "uitoolkit/core/XmlNode.h"

namespace SkinUI {

class CXmlDocument {
public:
    // Encodings of LoadFromMem / LoadFromFile.
    enum Encoding { Utf8 = 0, Utf16 = 1, Ansi = 2 };
    // Elements nested deeper than this are refused (the parser recurses per level).
    static constexpr int kMaxDepth = 512;

    explicit CXmlDocument(const wchar_t* text = nullptr);
    ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    bool LoadFromText(const wchar_t* text);
    // Takes over a UTF-16 text of `length` units and its terminator and parses it where it lies,
    // without a copy.
    bool LoadFromBuffer(std::unique_ptr<wchar_t[]> text, size_t length);
    bool LoadFromMem(const void* bytes, uint32_t length, int encoding);
    // Searches the resource path list front to back, then the skin zip when one is set.
    bool LoadFromFile(const wchar_t* fileName, int encoding);
    // Frees the text and the records.
    void Release();

    bool IsValid() const { return !m_elements.empty(); }
    CXmlNode GetRoot() const;

    // Why the last parse failed ("" after success) and the text where it happened.
    const wchar_t* GetLastErrorMessage() const { return m_errorMessage; }
    const wchar_t* GetLastErrorLocation() const { return m_errorLocation; }

private:
    friend class CXmlNode;
    // Elements are numbered in document order, and each one's attributes are recorded before the
    // next element: its attributes run up to the next element's first one.
    struct Element {
        uint32_t name;            // offset of the name in the text
        uint32_t child;           // first child (0 = none)
        uint32_t next;            // next sibling (0 = none)
        uint32_t firstAttribute;  // index of its first attribute record
    };
    struct Attribute {
        uint32_t name;   // offsets into the text
        uint32_t value;
    };

    // Forgets the last document and its error; the text buffer and the record arrays are kept
    // for the next load into this document.
    void Reset();
    // A text buffer of at least `units` units (the kept one when it is large enough).
    wchar_t* TextBuffer(size_t units);
    // Parses the text (`length` units) in place, after a Reset.
    bool Parse(size_t length);
    bool ParseLevel(wchar_t*& p, uint32_t parent, int depth);
    bool ParseAttributes(wchar_t*& p);
    uint32_t NewElement();
    // The element's attribute records, [first, end).
    uint32_t AttributeEnd(uint32_t element) const {
        return element + 1 < m_elements.size() ? m_elements[element + 1].firstAttribute
                                               : static_cast<uint32_t>(m_attributes.size());
    }
    bool Fail(const wchar_t* message, const wchar_t* at);
    wchar_t* Offset(uint32_t offset) const { return m_text.get() + offset; }

    std::unique_ptr<wchar_t[]> m_text;
    size_t m_capacity = 0;  // units of m_text
    std::vector<Element> m_elements;
    std::vector<Attribute> m_attributes;
    wchar_t m_errorMessage[100] = {};
    wchar_t m_errorLocation[50] = {};
};

} // namespace SkinUI
