#pragma once
// CTabUI: a strip of equally wide tab items drawn from images, each with a small button (a close
// button, say) at its right edge and an optional title image before its text. A press on an item
// selects it ("tabselectchanged"), a press on its button sends "tabbtnclick". Items share the
// strip's width, each at most the "width" attribute wide.
#include <vector>

#include "uitoolkit/controls/LabelUI.h"

namespace SkinUI {

class CTabUI : public CLabelUI {
public:
    // One tab: its text (also its tooltip) and its title image string.
    struct Item {
        CUIString text;
        CUIString titleImage;
    };

    CTabUI() = default;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    // The strip's width is what the items share.
    void SetPos(RECT rc) override;
    void HandleEvent(ControlEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void Paint(HDC hDC, const RECT& rcDirty) override;
    virtual void PaintTabs(HDC hDC, const RECT& rcPaint);
    virtual void DrawItemText(HDC hDC, const RECT& rc, const wchar_t* text);

    // Appends an item; an empty title image falls back to the strip's "titleimage".
    void AddItem(const wchar_t* text, const wchar_t* titleImage = nullptr);
    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    const Item* GetItem(int index) const;
    // -1 clears the selection; anything outside -1 .. count-1 is refused. Sends
    // "tabselectchanged" (wParam the index, lParam 1), also for the current index.
    bool SelectItem(int index);
    int GetCurSel() const { return m_selected; }
    int GetItemWidth() const { return m_itemWidth; }
    int GetHotIndex() const { return m_hotIndex; }
    // Relative to an item's top-right corner ("btnpos") / top-left corner ("titleimagepos").
    RECT GetButtonPos() const { return m_buttonPos; }
    RECT GetTitleImagePos() const { return m_titleImagePos; }

    // Which item a point (window coordinates) falls on, and whether on its button; index -1 when
    // on none (also while the items are 0 wide).
    struct Hit {
        int index = -1;
        bool onButton = false;
    };
    Hit HitTest(POINT pt) const;

private:
    // The item width from the strip width shared by the items, at most the maximum item width;
    // the strip then ends after the last item.
    void RecomputeWidths();
    void SetImage(CUIString& field, const wchar_t* image);
    RECT ItemRect(int index) const;
    RECT ButtonRect(const RECT& item) const;

    std::vector<Item> m_items;
    int m_itemWidth = 180;
    int m_selected = -1;
    int m_hotIndex = -1;       // the item under the mouse
    int m_pointerIndex = -1;   // the last hit: item and whether on its button
    bool m_onButton = false;
    CUIString m_itemNormalImage;
    CUIString m_itemHotImage;
    CUIString m_itemSelectedImage;
    CUIString m_buttonNormalImage;
    CUIString m_buttonHotImage;
    CUIString m_buttonSelectedImage;
    CUIString m_inactiveNormalImage;
    CUIString m_inactiveHotImage;
    CUIString m_inactiveSelectedImage;
    CUIString m_titleImage;
    RECT m_buttonPos = {0, 0, 0, 0};
    RECT m_titleImagePos = {0, 0, 0, 0};
    int m_availableWidth = 0;   // what the items share: the strip's width when it was placed
    int m_totalWidth = 0;       // what they take
    int m_maxItemWidth = 200;   // "width"
};

} // namespace SkinUI
