#pragma once
// The ONE parser of the toolkit's attribute texts: number lists ("pos", "padding", "inset",
// "dest", "source", "corner", rectangles and sizes), single numbers, colours and booleans.
//
// Number lists: signed decimal integers; each further number is read starting one unit after
// the end of the previous one, so exactly one separator unit of any kind stands between them
// ("10,20,30,40", "10 20 30 40"). Reading stops at the end of the text: numbers missing from a
// short text ("10,20" read as four) are 0 and nothing past the terminator is ever read.
#include "uitoolkit/core/UIRect.h"

namespace SkinUI {

// Reads up to `count` numbers of `text` into out[0..count-1]; numbers that are missing (text
// ended, or a field held no digits) are 0. Returns how many fields held a number. Null text: 0.
int ParseNumberList(const wchar_t* text, long* out, int count);

// Four numbers: left, top, right, bottom.
CUIRect ParseRect(const wchar_t* text);
// Two numbers: cx, cy.
CUISize ParseSize(const wchar_t* text);

// A leading signed decimal integer (leading white space skipped); 0 when there is none.
long ParseInt(const wchar_t* text);

// A hexadecimal ARGB colour with one optional leading '#'. With skipBlanks, units up to U+0020
// before the '#' are skipped first (the background colours do this, the border colours not).
// Anything that is no hex number gives 0.
unsigned long ParseColor(const wchar_t* text, bool skipBlanks = false);

// Only the exact text "true" is true.
bool ParseBool(const wchar_t* text);

} // namespace SkinUI
