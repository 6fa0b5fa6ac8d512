#pragma once
// A handle to one element of a parsed CXmlDocument: name, child, sibling and attributes. A handle
// is two words; everything it answers was recorded by the parse.
#include <cstdint>

namespace SkinUI {

class CXmlDocument;

class CXmlNode {
public:
    // Attributes of an element beyond this many are not reported.
    static constexpr int kMaxAttributes = 64;

    CXmlNode() = default;

    bool IsValid() const { return m_doc != nullptr; }
    const wchar_t* GetName() const;
    CXmlNode GetChild() const;
    CXmlNode GetSibling() const;
    bool HasChildren() const;

    bool HasAttributes() const;
    int GetAttributeCount() const;
    // "" for an index outside the attributes.
    const wchar_t* GetAttributeName(int index) const;
    const wchar_t* GetAttributeValue(int index) const;
    // The value of the first attribute named exactly `name`, copied into the buffer (at most
    // capacity - 1 units, always terminated, zero-filled behind). False when absent.
    bool GetAttributeValue(const wchar_t* name, wchar_t* buffer, int capacity) const;

private:
    friend class CXmlDocument;
    CXmlNode(const CXmlDocument* doc, uint32_t element) : m_element(element), m_doc(doc) {}

    uint32_t m_element = 0;
    const CXmlDocument* m_doc = nullptr;
};

} // namespace SkinUI
