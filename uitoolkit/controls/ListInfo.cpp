#include "uitoolkit/controls/ListInfo.h"

#include <cwchar>

#include "uitoolkit/core/NumberList.h"

namespace SkinUI {

namespace {

struct ColorAttribute {
    const wchar_t* name;
    DWORD ListInfo::*field;
};

const ColorAttribute kColorAttributes[] = {
    {L"itemtextcolor", &ListInfo::textColor},
    {L"itembkcolor", &ListInfo::bkColor},
    {L"itemselectedtextcolor", &ListInfo::selectedTextColor},
    {L"itemselectedbkcolor", &ListInfo::selectedBkColor},
    {L"itemhottextcolor", &ListInfo::hotTextColor},
    {L"itemhotbkcolor", &ListInfo::hotBkColor},
    {L"itemdisabledtextcolor", &ListInfo::disabledTextColor},
    {L"itemdisabledbkcolor", &ListInfo::disabledBkColor},
    {L"itemlinecolor", &ListInfo::lineColor},
};

struct ImageAttribute {
    const wchar_t* name;
    CUIString ListInfo::*field;
};

const ImageAttribute kImageAttributes[] = {
    {L"itembkimage", &ListInfo::bkImage},
    {L"itemselectedimage", &ListInfo::selectedImage},
    {L"itemhotimage", &ListInfo::hotImage},
    {L"itemdisabledimage", &ListInfo::disabledImage},
};

// The horizontal alignment words and the style bits each one clears and sets.
struct AlignRule {
    const wchar_t* word;
    UINT clear;
    UINT set;
};

const AlignRule kHorizontalAlign[] = {
    {L"left", DT_CENTER | DT_RIGHT, 0},
    {L"center", DT_RIGHT, DT_CENTER},
    {L"right", DT_CENTER, DT_RIGHT},
};

bool Is(const wchar_t* name, const wchar_t* expected) { return std::wcscmp(name, expected) == 0; }

} // namespace

UINT ApplyHorizontalAlign(UINT style, const wchar_t* value)
{
    if (value == nullptr)
        return style;
    for (const AlignRule& rule : kHorizontalAlign) {
        if (std::wcsstr(value, rule.word) != nullptr)
            style = (style & ~rule.clear) | rule.set;
    }
    return style;
}

ListInfoChange ApplyListInfoAttribute(ListInfo& info, const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr)
        return ListInfoChange::kNone;
    if (value == nullptr)
        value = L"";
    for (const ColorAttribute& attribute : kColorAttributes) {
        if (Is(name, attribute.name)) {
            info.*attribute.field = ParseColor(value);
            return ListInfoChange::kColor;
        }
    }
    for (const ImageAttribute& attribute : kImageAttributes) {
        if (Is(name, attribute.name)) {
            info.*attribute.field = value;
            return ListInfoChange::kImage;
        }
    }
    if (Is(name, L"itemfont")) {
        info.font = ParseInt(value);
    } else if (Is(name, L"itemalign")) {
        info.textStyle = ApplyHorizontalAlign(info.textStyle, value);
    } else if (Is(name, L"itemendellipsis")) {
        info.textStyle = ParseBool(value) ? info.textStyle | DT_END_ELLIPSIS : info.textStyle & ~UINT{DT_END_ELLIPSIS};
    } else if (Is(name, L"itemtextpadding")) {
        info.textPadding = ParseRect(value);
        return ListInfoChange::kTextPadding;
    } else if (Is(name, L"itemaltbk")) {
        info.alternateBk = ParseBool(value);
        return ListInfoChange::kAlternateBk;
    } else if (Is(name, L"itemshowhtml")) {
        const bool showHtml = ParseBool(value);
        if (showHtml == info.showHtml)
            return ListInfoChange::kShowHtml;
        info.showHtml = showHtml;
        return ListInfoChange::kShowHtmlChanged;
    } else {
        return ListInfoChange::kNone;
    }
    return ListInfoChange::kStored;
}

} // namespace SkinUI
