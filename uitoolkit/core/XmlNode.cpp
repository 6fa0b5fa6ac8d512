#include "uitoolkit/core/XmlNode.h"

#include <cwchar>

#include "uitoolkit/core/XmlDocument.h"

namespace SkinUI {

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

bool CXmlNode::HasAttributes() const { return GetAttributeCount() > 0; }

int CXmlNode::GetAttributeCount() const {
    if (m_doc == nullptr) return 0;
    const uint32_t count = m_doc->AttributeEnd(m_element) - m_doc->m_elements[m_element].firstAttribute;
    return count < static_cast<uint32_t>(kMaxAttributes) ? static_cast<int>(count) : kMaxAttributes;
}

const wchar_t* CXmlNode::GetAttributeName(int index) const {
    if (index < 0 || index >= GetAttributeCount()) return L"";
    return m_doc->Offset(m_doc->m_attributes[m_doc->m_elements[m_element].firstAttribute + index].name);
}

const wchar_t* CXmlNode::GetAttributeValue(int index) const {
    if (index < 0 || index >= GetAttributeCount()) return L"";
    return m_doc->Offset(m_doc->m_attributes[m_doc->m_elements[m_element].firstAttribute + index].value);
}

bool CXmlNode::GetAttributeValue(const wchar_t* name, wchar_t* buffer, int capacity) const {
    if (name == nullptr) return false;
    const int count = GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        if (std::wcscmp(GetAttributeName(i), name) != 0) continue;
        if (buffer != nullptr && capacity > 0) {
            const wchar_t* value = GetAttributeValue(i);
            int n = 0;
            for (; n < capacity - 1 && value[n]; ++n) buffer[n] = value[n];
            for (; n < capacity; ++n) buffer[n] = 0;
        }
        return true;
    }
    return false;
}

} // namespace SkinUI
