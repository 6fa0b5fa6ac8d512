#pragma once
// CListLabelElementUI: a list item that shows one text, in the colours of its state and the
// font, style and padding of its owner's ListInfo, over the item background. A press sends
// "itemclick" and selects it; a double click or Return activates it.
#include "uitoolkit/controls/ListElementUI.h"

namespace SkinUI {

struct ListInfo;

class CListLabelElementUI : public CListElementUI {
public:
    CListLabelElementUI() = default;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void HandleEvent(ControlEvent& event) override;
    // Without owner nothing; else the fixed size, a zero height and width being measured from
    // the owner's font and the text.
    SIZE GetDesiredSize(SIZE available) override;
    void Paint(HDC hDC, const RECT& rcDirty) override;
    void DrawItemText(HDC hDC, const RECT& rc) override;

protected:
    // The owner's ListInfo, or null without owner.
    ListInfo* GetListInfo() const;
    // The fixed height, or when 0 (and a host measures the font) the owner's font height plus
    // 8 plus the vertical text padding.
    int GetItemHeight(const ListInfo& info) const;
    // The rectangle less the owner's text padding.
    static RECT PadRect(const RECT& rc, const RECT& padding);
};

} // namespace SkinUI
