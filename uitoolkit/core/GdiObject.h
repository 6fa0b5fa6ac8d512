#pragma once
// Owners for GDI objects and memory device contexts, and a scoped SelectObject.
#include <windows.h>

namespace SkinUI {

// Owns one GDI object (pen, brush, font, bitmap, region): deleted when the owner goes away.
template <typename T>
class CGdiObject {
public:
    CGdiObject() = default;
    explicit CGdiObject(T h) : m_h(h) {}
    ~CGdiObject() { Reset(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    CGdiObject(CGdiObject&& other) noexcept : m_h(other.Release()) {}
    CGdiObject& operator=(CGdiObject&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    T Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    void Reset(T h = nullptr)
    {
        if (m_h != nullptr) ::DeleteObject(m_h);
        m_h = h;
    }
    T Release()
    {
        T h = m_h;
        m_h = nullptr;
        return h;
    }

private:
    T m_h = nullptr;
};

using CGdiBitmap = CGdiObject<HBITMAP>;
using CGdiBrush = CGdiObject<HBRUSH>;
using CGdiPen = CGdiObject<HPEN>;
using CGdiFont = CGdiObject<HFONT>;
using CGdiRegion = CGdiObject<HRGN>;

// A memory device context (CreateCompatibleDC), deleted when the owner goes away.
class CMemoryDC {
public:
    explicit CMemoryDC(HDC compatibleWith) : m_hDC(::CreateCompatibleDC(compatibleWith)) {}
    ~CMemoryDC()
    {
        if (m_hDC != nullptr) ::DeleteDC(m_hDC);
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    HDC Get() const { return m_hDC; }
    explicit operator bool() const { return m_hDC != nullptr; }

private:
    HDC m_hDC;
};

// Selects an object into a DC and selects the previous one back when it goes out of scope.
class CSelectObject {
public:
    CSelectObject(HDC hDC, HGDIOBJ object)
        : m_hDC(hDC), m_hOld(hDC != nullptr && object != nullptr ? ::SelectObject(hDC, object) : nullptr)
    {
    }
    ~CSelectObject()
    {
        if (m_hOld != nullptr && m_hOld != HGDI_ERROR) ::SelectObject(m_hDC, m_hOld);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

} // namespace SkinUI
