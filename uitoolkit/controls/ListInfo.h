#pragma once
// ListInfo: the appearance record of a list owner (a list or a combo box). Every item of the
// owner reads it while painting: the column rectangles laid out by the list's header, the font,
// text style and padding, and the colours and images of the four item states. Colours are ARGB;
// a colour of 0 means "no colour" wherever one is tested.
#include <windows.h>

#include "uitoolkit/core/UIString.h"

namespace SkinUI {

// Header items past this count are laid out but get no column rectangle.
constexpr int kMaxListColumns = 32;

struct ListInfo {
    int columnCount = 0;
    // Window coordinates of the header items after the horizontal scroll shift; entries at and
    // past columnCount are stale.
    RECT columns[kMaxListColumns] = {};
    int font = -1;  // the host's default font
    UINT textStyle = DT_VCENTER;
    RECT textPadding = {0, 0, 0, 0};
    DWORD textColor = 0xFF000000;
    DWORD bkColor = 0;
    CUIString bkImage;
    bool alternateBk = false;
    DWORD selectedTextColor = 0xFF000000;
    DWORD selectedBkColor = 0;
    CUIString selectedImage;
    DWORD hotTextColor = 0xFF000000;
    DWORD hotBkColor = 0xFFE9F5FF;
    CUIString hotImage;
    DWORD disabledTextColor = 0xFFCCCCCC;
    DWORD disabledBkColor = 0xFFFFFFFF;
    CUIString disabledImage;
    DWORD lineColor = 0;
    bool showHtml = false;
    bool multiExpanding = false;
    bool enableHotBkColor = true;
    bool enableSelectedBkColor = true;
};

// What an item attribute changed, so that each owner repaints or relays out as it needs.
enum class ListInfoChange {
    kNone,            // not an item attribute
    kStored,          // font, alignment, ellipsis: stored only
    kColor,           // one of the colours
    kImage,           // one of the images
    kAlternateBk,
    kTextPadding,
    kShowHtml,        // show html set to the value it already had
    kShowHtmlChanged,
};

// The item attributes that lists and combo boxes share: "itemfont", "itemalign",
// "itemendellipsis", "itemtextpadding", the "item...color" and "item...image" attributes,
// "itemaltbk" and "itemshowhtml".
ListInfoChange ApplyListInfoAttribute(ListInfo& info, const wchar_t* name, const wchar_t* value);

// The horizontal alignment words of "itemalign" and the header items' "align": each of "left",
// "center", "right" found in the value, in that order, sets the horizontal bits of the style
// (the last one found wins).
UINT ApplyHorizontalAlign(UINT style, const wchar_t* value);

} // namespace SkinUI
