#pragma once
#include <windows.h>

#include "uitoolkit/core/UIString.h"

namespace SkinUI {

// One font of a window host: the handle (owned), how it was asked for, and its metrics, which
// are measured on first use (a metrics height of 0 means "not measured yet").
struct FontEntry {
    FontEntry() = default;
    ~FontEntry()
    {
        if (hFont != nullptr) ::DeleteObject(hFont);
    }
    FontEntry(const FontEntry&) = delete;
    FontEntry& operator=(const FontEntry&) = delete;

    HFONT hFont = nullptr;
    CUIString faceName;
    int size = 0;  // pixels; the font's height is -size
    bool bold = false;
    bool underline = false;
    bool italic = false;
    TEXTMETRICW metrics{};
};

} // namespace SkinUI
