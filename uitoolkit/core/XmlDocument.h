#pragma once
// Skin layouts: loads XML from the skin folders (or the skin zip), memory or a text, converts it
// to UTF-16 and parses it in place into a flat array of element records. Names, values and text
// content are pointers into the document's own text.
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
    bool LoadFromMem(const void* bytes, uint32_t length, int encoding);
    // Searches the resource path list front to back, then the skin zip when one is set.
    bool LoadFromFile(const wchar_t* fileName, int encoding);
    void Release();

    bool IsValid() const { return !m_elements.empty(); }
    CXmlNode GetRoot() const;

    // Why the last parse failed ("" after success) and the text where it happened.
    const wchar_t* GetLastErrorMessage() const { return m_errorMessage; }
    const wchar_t* GetLastErrorLocation() const { return m_errorLocation; }

private:
    friend class CXmlNode;
    struct Element {
        uint32_t name;      // offset of the name in the text
        uint32_t child;     // first child (0 = none)
        uint32_t next;      // next sibling (0 = none)
        uint32_t parent;
        uint32_t data;      // where the text content begins
    };

    bool Parse();
    bool ParseLevel(wchar_t*& p, uint32_t parent, int depth);
    bool ParseAttributes(wchar_t*& p);
    uint32_t NewElement();
    bool Fail(const wchar_t* message, const wchar_t* at);
    wchar_t* Offset(uint32_t offset) const { return m_text.get() + offset; }

    std::unique_ptr<wchar_t[]> m_text;
    std::vector<Element> m_elements;
    wchar_t m_errorMessage[100] = {};
    wchar_t m_errorLocation[50] = {};
    bool m_preserveWhitespace = true;
};

} // namespace SkinUI
