#include "uitoolkit/core/XmlNode.h"

#include <cwchar>

#include "uitoolkit/core/XmlDocument.h"

namespace SkinUI {

namespace {
inline bool IsScanBlank(wchar_t c) { return c <= L' '; }  // terminators left by parsing count too
} // namespace

const wchar_t* CXmlNode::GetName() const {
    if (m_doc == nullptr) return L"";
    return m_doc->Offset(m_doc->m_elements[m_element].name);
}

CXmlNode CXmlNode::GetChild() const {
    if (m_doc == nullptr) return CXmlNode();
    const uint32_t child = m_doc->m_elements[m_element].child;
    return child != 0 ? CXmlNode(m_doc, child) : CXmlNode();
}

CXmlNode CXmlNode::GetSibling() const {
    if (m_doc == nullptr) return CXmlNode();
    const uint32_t next = m_doc->m_elements[m_element].next;
    return next != 0 ? CXmlNode(m_doc, next) : CXmlNode();
}

bool CXmlNode::HasChildren() const {
    return m_doc != nullptr && m_doc->m_elements[m_element].child != 0;
}

// Walks the start tag between the name and the content: name, blanks (the former "="), a
// quote, the value up to its terminator; stops at anything else or after 64 attributes.
void CXmlNode::ScanAttributes() const {
    if (m_doc == nullptr || m_attributeCount != 0) return;
    const auto& element = m_doc->m_elements[m_element];
    const wchar_t* text = m_doc->Offset(0);
    const wchar_t* p = text + element.name;
    const wchar_t* end = text + element.data;
    while (p < end && *p) ++p;
    ++p;  // past the name's terminator
    while (p < end) {
        while (p < end && IsScanBlank(*p)) ++p;
        if (p >= end) break;
        const uint32_t name = static_cast<uint32_t>(p - text);
        while (p < end && *p) ++p;
        ++p;
        while (p < end && IsScanBlank(*p)) ++p;
        if (p >= end || *p != L'"') break;
        ++p;
        m_attributes[m_attributeCount++] = Attribute{name, static_cast<uint32_t>(p - text)};
        if (m_attributeCount == kMaxAttributes) break;
        while (p < end && *p) ++p;
        ++p;
    }
}

bool CXmlNode::HasAttributes() const { return GetAttributeCount() > 0; }

int CXmlNode::GetAttributeCount() const {
    ScanAttributes();
    return m_attributeCount;
}

const wchar_t* CXmlNode::GetAttributeName(int index) const {
    if (index < 0 || index >= GetAttributeCount()) return L"";
    return m_doc->Offset(m_attributes[index].name);
}

const wchar_t* CXmlNode::GetAttributeValue(int index) const {
    if (index < 0 || index >= GetAttributeCount()) return L"";
    return m_doc->Offset(m_attributes[index].value);
}

bool CXmlNode::GetAttributeValue(const wchar_t* name, wchar_t* buffer, int capacity) const {
    if (name == nullptr) return false;
    const int count = GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        if (std::wcscmp(m_doc->Offset(m_attributes[i].name), name) != 0) continue;
        if (buffer != nullptr && capacity > 0) {
            const wchar_t* value = m_doc->Offset(m_attributes[i].value);
            int n = 0;
            for (; n < capacity - 1 && value[n]; ++n) buffer[n] = value[n];
            for (; n < capacity; ++n) buffer[n] = 0;
        }
        return true;
    }
    return false;
}

} // namespace SkinUI
