#pragma once
// A memory device context with one bitmap selected into it: the bitmap is selected out and the
// context deleted with the owner (the bitmap itself stays the caller's).
#include <windows.h>

#include "uitoolkit/core/GdiObject.h"

namespace paintfloor {

class BitmapContext {
public:
    explicit BitmapContext(HBITMAP bitmap) : m_dc(nullptr), m_select(m_dc.Get(), bitmap) {}

    HDC Get() const { return m_dc.Get(); }

private:
    SkinUI::CMemoryDC m_dc;
    SkinUI::CSelectObject m_select;
};

} // namespace paintfloor
