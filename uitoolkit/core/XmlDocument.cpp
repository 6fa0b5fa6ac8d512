#include "uitoolkit/core/XmlDocument.h"

#include <windows.h>

#include <cstring>
#include <cwctype>
#include <new>
#include <utility>

#include "foundation/TraceLog.h"
#include "uitoolkit/core/SkinFileReader.h"

namespace SkinUI {

namespace {

// Units 1..U+0020; the zero unit is the end of the text.
inline bool IsBlank(wchar_t c) { return static_cast<unsigned>(c) - 1u < static_cast<unsigned>(L' '); }

inline void SkipBlanks(wchar_t*& p) {
    while (IsBlank(*p)) ++p;
}

// Letters, digits, "_" and ":" (a table for ASCII, the runtime's class for the rest).
struct NameCharTable {
    bool ascii[128] = {};
    constexpr NameCharTable() {
        for (int c = 0; c < 128; ++c)
            ascii[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                       c == ':';
    }
};
constexpr NameCharTable kNameChars;

inline bool IsNameChar(wchar_t c) {
    return c < 0x80 ? kNameChars.ascii[c] : std::iswalnum(c) != 0;
}

// Past the name characters from `p` on, two at a time while they last (the second is read only
// after a first that is no terminator).
inline wchar_t* SkipName(wchar_t* p) {
    while (IsNameChar(p[0]) && IsNameChar(p[1])) p += 2;
    return IsNameChar(*p) ? p + 1 : p;
}

// Whether `p` starts with `word` (never reads past a mismatch, so never past the terminator).
inline bool StartsWith(const wchar_t* p, const wchar_t* word) {
    for (; *word; ++p, ++word)
        if (*p != *word) return false;
    return true;
}

// The unit that the entity at `p` (its "&") stands for, and the entity's length; length 0 when
// it is none of the five. Reads stop at the first unit that differs, never past the terminator.
inline int MatchEntity(const wchar_t* p, wchar_t* unit) {
    const auto is = [p](const wchar_t* rest) { return StartsWith(p + 2, rest); };
    switch (p[1]) {
    case L'a':
        if (is(L"mp;")) return *unit = L'&', 5;
        if (is(L"pos;")) return *unit = L'\'', 6;
        return 0;
    case L'l':
        return is(L"t;") ? (*unit = L'<', 4) : 0;
    case L'g':
        return is(L"t;") ? (*unit = L'>', 4) : 0;
    case L'q':
        return is(L"uot;") ? (*unit = L'"', 6) : 0;
    default:
        return 0;
    }
}

// Decodes text in place from `p` up to the unit `end` (or the end of the text), leaving `p` on
// it. Returns the end of the decoded text (the units behind it up to `p` are left as they are).
// Blanks are kept as written: skins never collapse them.
wchar_t* DecodeText(wchar_t*& p, wchar_t end) {
    // Fast path: nothing to rewrite until the first entity. Every unit that stops the scan is at
    // most `highest`, so most units cost one comparison.
    const wchar_t highest = end > L'&' ? end : L'&';
    for (wchar_t c = *p; c > highest || (c != 0 && c != L'&' && c != end); c = *++p) {
    }
    wchar_t* dst = p;
    while (*p && *p != end) {
        if (*p == L'&') {
            wchar_t unit = 0;
            if (const int length = MatchEntity(p, &unit)) {
                *dst++ = unit;
                p += length;
            } else {
                *dst++ = *p++;  // not one of the five: stays as written
            }
        } else {
            *dst++ = *p++;
        }
    }
    return dst;
}

// Skips a comment or declaration ("<!" up to "->") or a processing instruction ("<?" up to
// "?>"), starting at the "!" or "?". False when the text ends first.
bool SkipMarkup(wchar_t*& p) {
    const wchar_t first = *p == L'!' ? L'-' : L'?';
    for (; *p; ++p) {
        if (p[0] == first && p[1] == L'>') {
            p += 2;
            return true;
        }
    }
    return false;
}

} // namespace

CXmlDocument::CXmlDocument(const wchar_t* text) {
    if (text != nullptr) LoadFromText(text);
}

CXmlDocument::~CXmlDocument() { Release(); }

void CXmlDocument::Release() {
    Reset();
    m_text.reset();
    m_capacity = 0;
    std::vector<Element>().swap(m_elements);
    std::vector<Attribute>().swap(m_attributes);
}

void CXmlDocument::Reset() {
    m_elements.clear();
    m_attributes.clear();
    m_errorMessage[0] = m_errorLocation[0] = 0;
}

wchar_t* CXmlDocument::TextBuffer(size_t units) {
    if (units > m_capacity || !m_text) {
        m_text.reset(new (std::nothrow) wchar_t[units]);
        m_capacity = m_text ? units : 0;
    }
    return m_text.get();
}

CXmlNode CXmlDocument::GetRoot() const {
    if (m_elements.size() < 2) return CXmlNode();
    return CXmlNode(this, 1);
}

bool CXmlDocument::LoadFromText(const wchar_t* text) {
    Reset();
    if (text == nullptr) return false;
    const size_t length = std::wcslen(text);
    // The text may lie in this document's own buffer.
    const bool own = m_text && text >= m_text.get() && text < m_text.get() + m_capacity;
    std::unique_ptr<wchar_t[]> kept = own ? std::move(m_text) : nullptr;
    wchar_t* buffer = TextBuffer(length + 1);
    if (buffer == nullptr) return false;
    std::memcpy(buffer, text, (length + 1) * sizeof(wchar_t));
    return Parse(length);
}

bool CXmlDocument::LoadFromBuffer(std::unique_ptr<wchar_t[]> text, size_t length) {
    Reset();
    if (!text) return false;
    m_text = std::move(text);
    m_capacity = length + 1;
    return Parse(length);
}

bool CXmlDocument::LoadFromMem(const void* bytes, uint32_t length, int encoding) {
    Reset();
    if (bytes == nullptr && length != 0) return false;
    const auto* in = static_cast<const uint8_t*>(bytes);

    if (encoding == Utf16) {
        // Needs a byte-order mark; big-endian units are swapped.
        if (length < 2) return false;
        const bool little = in[0] == 0xFF && in[1] == 0xFE;
        const bool big = in[0] == 0xFE && in[1] == 0xFF;
        if (!little && !big) return false;
        const uint32_t units = length / 2 - 1;
        wchar_t* text = TextBuffer(static_cast<size_t>(units) + 1);
        if (text == nullptr) return false;
        for (uint32_t i = 0; i < units; ++i) {
            const uint8_t* u = in + 2 + 2 * i;
            text[i] = static_cast<wchar_t>(little ? (u[0] | (u[1] << 8)) : ((u[0] << 8) | u[1]));
        }
        text[units] = 0;
        return Parse(units);
    }

    UINT codePage;
    if (encoding == Utf8) {
        codePage = CP_UTF8;
        if (length >= 3 && in[0] == 0xEF && in[1] == 0xBB && in[2] == 0xBF) {
            in += 3;
            length -= 3;
        }
    } else if (encoding == Ansi) {
        codePage = CP_ACP;
    } else {
        return false;
    }
    if (length > 0x7FFFFFFF) return false;
    const char* narrow = reinterpret_cast<const char*>(in);
    int units = length ? ::MultiByteToWideChar(codePage, 0, narrow, static_cast<int>(length), nullptr, 0) : 0;
    if (length != 0 && units <= 0) return false;
    wchar_t* text = TextBuffer(static_cast<size_t>(units) + 1);
    if (text == nullptr) return false;
    if (units) ::MultiByteToWideChar(codePage, 0, narrow, static_cast<int>(length), text, units);
    text[units] = 0;
    return Parse(static_cast<size_t>(units));
}

bool CXmlDocument::LoadFromFile(const wchar_t* fileName, int encoding) {
    Reset();
    SkinFileData file = ReadSkinFile(fileName);
    if (!file) return false;
    return LoadFromMem(file.data.get(), file.size, encoding);
}

uint32_t CXmlDocument::NewElement() {
    if (m_elements.size() == m_elements.capacity())
        m_elements.reserve(m_elements.capacity() + m_elements.capacity() / 2 + 500);
    m_elements.push_back(Element{0, 0, 0, static_cast<uint32_t>(m_attributes.size())});
    return static_cast<uint32_t>(m_elements.size() - 1);
}

bool CXmlDocument::Fail(const wchar_t* message, const wchar_t* at) {
    wcsncpy_s(m_errorMessage, _countof(m_errorMessage), message, _TRUNCATE);
    wcsncpy_s(m_errorLocation, _countof(m_errorLocation), at != nullptr ? at : L"", _TRUNCATE);
    if (IsTraceViewerPresent()) TraceLog(L"[CXmlDocument] %s at \"%s\"", m_errorMessage, m_errorLocation);
    return false;
}

bool CXmlDocument::Parse(size_t length) {
    // Room for the records of a usual skin (an element in 32 units, an attribute in 12): growing
    // them on the way would copy them over and over.
    m_elements.reserve(length / 32 + 16);
    m_attributes.reserve(length / 12 + 16);
    NewElement();  // element 0: the sentinel
    wchar_t* p = m_text.get();
    if (!ParseLevel(p, 0, 0)) {
        m_elements.clear();  // no document; the buffers stay for the next load
        m_attributes.clear();
        return false;
    }
    return true;
}

// One level of elements under `parent` (0 = the document). Returns at the "</" that closes the
// parent, or at the end of the text when that is allowed.
bool CXmlDocument::ParseLevel(wchar_t*& p, uint32_t parent, int depth) {
    if (depth > kMaxDepth) return Fail(L"Elements nested too deeply", p);
    uint32_t previous = 0;
    for (;;) {
        // a. The text may end only at the document or root level.
        SkipBlanks(p);
        if (*p == 0) return parent <= 1 ? true : Fail(L"Expected start tag", p);
        // b. A tag; "</" belongs to the caller.
        if (*p != L'<') return Fail(L"Expected start tag", p);
        if (p[1] == L'/') return true;
        // c. Ends any text before the tag; comments and processing instructions are skipped.
        *p++ = 0;
        SkipBlanks(p);
        if (*p == L'!' || *p == L'?') {
            if (!SkipMarkup(p)) return Fail(L"Expected start tag", p);
            continue;
        }
        // d. A new element, linked behind its previous sibling or under its parent.
        const uint32_t index = NewElement();
        m_elements[index].name = static_cast<uint32_t>(p - m_text.get());
        if (previous != 0)
            m_elements[previous].next = index;
        else if (parent != 0)
            m_elements[parent].child = index;
        previous = index;
        // e. The name.
        const wchar_t* name = p;
        p = SkipName(p);
        if (*p == 0 || p == name) return Fail(L"Error parsing element name", p);
        wchar_t* nameEnd = p;
        const size_t nameLength = static_cast<size_t>(nameEnd - name);
        // f. Attributes.
        if (!ParseAttributes(p)) return false;
        // g. Empty element, or content, children and the end tag.
        SkipBlanks(p);
        if (p[0] == L'/' && p[1] == L'>') {
            *p = 0;
            p += 2;
            *nameEnd = 0;
            continue;
        }
        if (*p != L'>') return Fail(L"Expected start-tag closing", p);
        ++p;
        *nameEnd = 0;  // only now: the unit after the name had to be read first
        // The text content is skipped: nothing reads it.
        while (*p != 0 && *p != L'<') ++p;
        if (*p == 0) return parent <= 1 ? true : Fail(L"Expected end-tag start", p);
        if (p[1] != L'/') {
            if (!ParseLevel(p, index, depth + 1)) return false;
            if (*p == 0) return true;  // the text ended inside the root, which is allowed
        }
        // At "</": ends the text content; the end tag must repeat the name.
        *p = 0;
        p += 2;
        for (size_t i = 0; i < nameLength; ++i)
            if (p[i] != name[i]) return Fail(L"Unmatched closing tag", p);
        p += nameLength;
        SkipBlanks(p);
        if (*p != L'>') return Fail(L"Unmatched closing tag", p);
        ++p;
    }
}

// Attributes follow the name after a blank: name="value" pairs, values decoded in place and
// recorded for the element just begun.
bool CXmlDocument::ParseAttributes(wchar_t*& p) {
    if (!IsBlank(*p)) return true;  // ">", "/>" or something the closing check refuses
    *p++ = 0;
    SkipBlanks(p);
    while (*p != L'>' && *p != L'/') {
        const wchar_t* name = p;
        p = SkipName(p);
        wchar_t* nameEnd = p;
        SkipBlanks(p);
        if (*p != L'=' || nameEnd == name) return Fail(L"Error while parsing attributes", p);
        ++p;
        *nameEnd = 0;
        SkipBlanks(p);
        if (*p != L'"') return Fail(L"Expected attribute value", p);
        ++p;
        const Attribute attribute = {static_cast<uint32_t>(name - m_text.get()), static_cast<uint32_t>(p - m_text.get())};
        wchar_t* valueEnd = DecodeText(p, L'"');
        if (*p == 0) return Fail(L"Error while parsing attribute string", p);
        *valueEnd = 0;
        ++p;
        m_attributes.push_back(attribute);
        SkipBlanks(p);
    }
    return true;
}

} // namespace SkinUI
