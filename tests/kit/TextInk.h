#pragma once
// The ink of drawn text: the pixels where a capture with the text differs from the same capture
// without it, so the text is found whatever picture lies behind it.
//
//   const auto with = kit::CaptureClient(w);   label->SetText(L"");   const auto without = kit::CaptureClient(w);
//   kit::TextInk ink(*with, *without, label->GetPos());
//   EXPECT_EQ(ink.Bounds().top, ...);
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "kit/DibCanvas.h"

namespace kit {

class TextInk {
public:
    // Pixels of `area` (canvas coordinates) that differ channel-wise by more than `threshold`.
    TextInk(const DibCanvas& withText, const DibCanvas& withoutText, const RECT& area, int threshold = 96);

    bool At(int x, int y) const;
    // The bounding box of the ink within the part (the whole area by default); empty when none.
    RECT Bounds() const { return Bounds(m_area); }
    RECT Bounds(const RECT& part) const;
    // How many pixels of the part are ink.
    int Count(const RECT& part) const;
    // The ink of the part cropped to its bounds, as rows of '#' (ink) and '.'; equal shapes
    // compare equal wherever they lie.
    std::vector<std::string> Shape(const RECT& part) const;
    // The colour (0xRRGGBB) of the ink pixel that differs most from the picture behind it.
    uint32_t StrongestColor() const;

private:
    RECT m_area;
    std::vector<uint8_t> m_ink;
    std::vector<uint32_t> m_colors;
    std::vector<int> m_strength;
};

} // namespace kit
