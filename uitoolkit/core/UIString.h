#pragma once
// CUIString: the toolkit's wide string. Texts of up to 62 units live in an inline buffer (names,
// attribute values and class names never touch the heap); longer texts live in a heap block.
// Allocation failure never throws: the old content stays and the call reports false.
#include <windows.h>

namespace SkinUI {

class CUIString {
public:
    static constexpr int kInlineUnits = 64;  // inline buffer size, terminator included
    static constexpr int kMaxInline = 62;    // longest text kept inline
    static constexpr int kFormatUnits = 1025;  // wvsprintfW writes at most 1024 units + 0

    CUIString();
    CUIString(const wchar_t* text, int length = -1);
    CUIString(const CUIString& other);
    ~CUIString();

    CUIString& operator=(const CUIString& other);
    CUIString& operator=(const wchar_t* text);

    // Copies `length` units of text (negative: up to its terminator; null: the empty text).
    // Stops early at a terminator in the source and zero-fills the rest.
    bool Assign(const wchar_t* text, int length = -1);
    bool Append(const wchar_t* text);

    CUIString& operator+=(const CUIString& other);
    CUIString& operator+=(const wchar_t* text);
    CUIString& operator+=(wchar_t unit);
    CUIString operator+(const CUIString& other) const;
    CUIString operator+(const wchar_t* text) const;

    bool operator==(const wchar_t* text) const { return Compare(text) == 0; }
    bool operator!=(const wchar_t* text) const { return Compare(text) != 0; }
    // Ordinal, unit by unit as unsigned 16-bit values: -1, 0 or 1. Null counts as empty.
    int Compare(const wchar_t* text) const;

    int GetLength() const;
    bool IsEmpty() const { return m_text[0] == L'\0'; }
    wchar_t GetAt(int index) const { return m_text[index]; }
    const wchar_t* GetData() const { return m_text; }
    operator const wchar_t*() const { return m_text; }

    void Empty();
    // Index of the first occurrence at or after start, else -1 (also for a start outside the text).
    int Find(const wchar_t* text, int start = 0) const;
    void MakeLower();
    // wvsprintfW formatting; returns what wvsprintfW reports. Output is cut at 1024 units.
    int Format(const wchar_t* format, ...);

    bool IsInline() const { return m_text == m_inline; }

private:
    bool Overlaps(const wchar_t* text) const;
    void FreeHeap();

    wchar_t* m_text;
    wchar_t m_inline[kInlineUnits];
};

} // namespace SkinUI
