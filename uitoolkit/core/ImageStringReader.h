#pragma once
#include "uitoolkit/core/UIString.h"

namespace SkinUI {

// Reads the key='value' items of an image string, one after the other.
//  - blanks and control characters before a key are skipped;
//  - the key runs up to "=" or a blank; spaces may stand around the "=";
//  - the value is enclosed in single quotes (no escapes);
//  - after the closing quote exactly one space followed by more text leads to the next item;
//    anything else ends the string;
//  - a missing "=" or quote ends the string; items read so far stay valid;
//  - items with an empty value are skipped.
// A bare file name therefore yields no item at all.
class CImageStringReader {
public:
    explicit CImageStringReader(const wchar_t* text) : m_p(text) {}

    // The next item; false once the string has ended.
    bool Next(CUIString& key, CUIString& value);

private:
    bool ReadItem(CUIString& key, CUIString& value);

    const wchar_t* m_p;
};

} // namespace SkinUI
