#pragma once
// Owners for GDI objects and memory device contexts, a scoped SelectObject, and the 32-bit DIB
// sections the toolkit paints into.
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

// The header of a 32-bit BI_RGB top-down (row 0 first in memory) picture.
inline BITMAPINFO Dib32Info(int width, int height)
{
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    bmi.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    return bmi;
}

// A 32-bit BI_RGB DIB section, top-down (row 0 first in memory); *bits receives its pixels.
// Empty (and *bits null) when it cannot be made.
inline CGdiBitmap CreateDib32(int width, int height, void** bits, HDC hDC = nullptr)
{
    const BITMAPINFO bmi = Dib32Info(width, height);
    *bits = nullptr;
    CGdiBitmap bitmap(::CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, bits, nullptr, 0));
    if (*bits == nullptr) {
        bitmap.Reset();
    }
    return bitmap;
}

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

// A window's device context (GetDC; the screen's for a null window), released when the owner
// goes away.
class CWindowDC {
public:
    explicit CWindowDC(HWND hWnd) : m_hWnd(hWnd), m_hDC(::GetDC(hWnd)) {}
    ~CWindowDC()
    {
        if (m_hDC != nullptr) ::ReleaseDC(m_hWnd, m_hDC);
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;

    HDC Get() const { return m_hDC; }
    explicit operator bool() const { return m_hDC != nullptr; }

private:
    HWND m_hWnd;
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
