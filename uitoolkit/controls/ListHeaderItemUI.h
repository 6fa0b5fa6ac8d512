#pragma once
// CListHeaderItemUI: one column of a list header. It shows a text and state images (normal,
// hot, pushed, focused), sends "headerclick" when pressed, and has a separator band on one
// edge ("sepwidth": positive on the right, negative on the left) that the user drags to change
// the column's width, never below its minimum width.
#include "uitoolkit/core/ControlUI.h"

namespace SkinUI {

class CListHeaderItemUI : public CControlUI {
public:
    static constexpr int kMinColumnWidth = 16;

    CListHeaderItemUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetBehaviourFlags() const override;
    void SetEnabled(bool enabled = true) override;
    void HandleEvent(ControlEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    // Without a fixed height: the fixed width and the default font's height plus 14.
    SIZE GetDesiredSize(SIZE available) override;
    void PaintStateImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

    // The separator band at the item's rectangle.
    RECT GetSeparatorRect() const;
    bool IsDragable() const { return m_dragable; }
    // Turning dragging off ends a drag in progress.
    void SetDragable(bool dragable);
    int GetSepWidth() const { return m_sepWidth; }
    void SetSepWidth(int width) { m_sepWidth = width; }
    UINT GetState() const { return m_state; }
    DWORD GetTextColor() const { return m_textColor; }
    void SetTextColor(DWORD color) { m_textColor = color; }
    int GetFont() const { return m_font; }
    void SetFont(int index) { m_font = index; }
    UINT GetTextStyle() const { return m_textStyle; }
    void SetTextStyle(UINT style) { m_textStyle = style; }
    RECT GetTextPadding() const { return m_textPadding; }
    void SetTextPadding(RECT rc);
    bool IsShowHtml() const { return m_showHtml; }
    void SetShowHtml(bool showHtml);
    void SetNormalImage(const wchar_t* image) { SetImage(m_normalImage, image); }
    void SetHotImage(const wchar_t* image) { SetImage(m_hotImage, image); }
    void SetPushedImage(const wchar_t* image) { SetImage(m_pushedImage, image); }
    void SetFocusedImage(const wchar_t* image) { SetImage(m_focusedImage, image); }
    void SetSepImage(const wchar_t* image) { SetImage(m_sepImage, image); }

private:
    void SetImage(CUIString& field, const wchar_t* image);
    // A move of the pointer while dragging the separator.
    void Drag(POINT pt);

    POINT m_lastMouse = {0, 0};
    bool m_dragable = true;
    UINT m_state = 0;
    int m_sepWidth = 4;
    DWORD m_textColor = 0;
    int m_font = -1;
    UINT m_textStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    bool m_showHtml = false;
    RECT m_textPadding = {2, 0, 2, 0};
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_pushedImage;
    CUIString m_focusedImage;
    CUIString m_sepImage;
    CUIString m_sepImageModify;
};

} // namespace SkinUI
