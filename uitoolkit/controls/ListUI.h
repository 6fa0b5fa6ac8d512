#pragma once
// CListUI: the scrollable, selectable column list. A vertical layout of two children, a header
// row of columns (CListHeaderUI) above a body (CListBodyUI) that holds the items; the list's
// item operations reach the body (header items go to the header), and its scrolling is the
// body's. It keeps the single selection ("itemselect"), the expanded item, an optional cell-text
// callback and the ListInfo that its items paint with, and moves the selection by keys and,
// with "scrollselect", by the wheel.
#include "uitoolkit/controls/IListUI.h"
#include "uitoolkit/controls/ListInfo.h"
#include "uitoolkit/controls/VerticalLayoutUI.h"

namespace SkinUI {

class CListBodyUI;
class CListHeaderUI;

class CListUI : public CVerticalLayoutUI, public IListUI {
public:
    CListUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetBehaviourFlags() const override;
    void SetPos(RECT rc) override;
    void HandleEvent(ControlEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    // ---- items: the body's, header items the header's, headers the list's own ----
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int index) override;
    int GetCount() const override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    // ---- the body's padding and scrolling ----
    int GetChildPadding() const override;
    void SetChildPadding(int padding) override;
    int FindSelectable(int index, bool forward = true) override;
    SIZE GetScrollPos() const override;
    SIZE GetScrollRange() const override;
    void SetScrollPos(SIZE pos) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void HomeUp() override;
    void EndDown() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;
    void HomeLeft() override;
    void EndRight() override;
    void EnableScrollBar(bool vertical = true, bool horizontal = false) override;
    CScrollBarUI* GetVerticalScrollBar() const override;
    CScrollBarUI* GetHorizontalScrollBar() const override;

    // ---- list ----
    ListInfo* GetListInfo() override;
    int GetCurSel() const override;
    bool SelectItem(int index, bool takeFocus = false) override;
    CListHeaderUI* GetHeader() const override;
    CListBodyUI* GetList() const override;
    IListTextCallback* GetTextCallback() const override;
    void SetTextCallback(IListTextCallback* callback) override;
    bool ExpandItem(int index, bool expand = true) override;
    int GetExpandedItem() const override;

    // The selection as it stood when the last selection change began.
    int GetPrevSel() const { return m_prevSel; }
    // Scrolls the body vertically until the item shows (only while there is a selection).
    void EnsureVisible(int index);
    void Scroll(int dx, int dy);
    bool IsScrollSelect() const { return m_scrollSelect; }
    void SetScrollSelect(bool on) { m_scrollSelect = on; }
    bool IsMultiExpanding() const { return m_listInfo.multiExpanding; }
    void SetMultiExpanding(bool on) { m_listInfo.multiExpanding = on; }

    // ---- the items' look (each one as its attribute) ----
    void SetItemFont(int index) { m_listInfo.font = index; }
    void SetItemTextStyle(UINT style) { m_listInfo.textStyle = style; }
    void SetItemTextPadding(RECT rc);
    void SetItemTextColor(DWORD color) { SetInfoColor(&ListInfo::textColor, color); }
    void SetItemBkColor(DWORD color) { SetInfoColor(&ListInfo::bkColor, color); }
    void SetItemBkImage(const wchar_t* image) { SetInfoImage(&ListInfo::bkImage, image); }
    void SetAlternateBk(bool on);
    void SetSelectedItemTextColor(DWORD color) { SetInfoColor(&ListInfo::selectedTextColor, color); }
    void SetSelectedItemBkColor(DWORD color) { SetInfoColor(&ListInfo::selectedBkColor, color); }
    void SetSelectedItemImage(const wchar_t* image) { SetInfoImage(&ListInfo::selectedImage, image); }
    void SetHotItemTextColor(DWORD color) { SetInfoColor(&ListInfo::hotTextColor, color); }
    void SetHotItemBkColor(DWORD color) { SetInfoColor(&ListInfo::hotBkColor, color); }
    void SetHotItemImage(const wchar_t* image) { SetInfoImage(&ListInfo::hotImage, image); }
    void SetDisabledItemTextColor(DWORD color) { SetInfoColor(&ListInfo::disabledTextColor, color); }
    void SetDisabledItemBkColor(DWORD color) { SetInfoColor(&ListInfo::disabledBkColor, color); }
    void SetDisabledItemImage(const wchar_t* image) { SetInfoImage(&ListInfo::disabledImage, image); }
    void SetItemLineColor(DWORD color) { SetInfoColor(&ListInfo::lineColor, color); }
    void SetItemShowHtml(bool showHtml);
    void SetEnableHotBkColor(bool on) { m_listInfo.enableHotBkColor = on; }
    void SetEnableSelectedBkColor(bool on) { m_listInfo.enableSelectedBkColor = on; }

private:
    friend class CListBodyUI;

    // Is the control a header, or one of the header's columns?
    static bool IsHeader(CControlUI* control);
    static bool IsHeaderItem(CControlUI* control);
    // A header added to the list: an empty current header gives way to it.
    bool AddHeader(CControlUI* header);
    // Column count from the header (at most kMaxListColumns).
    void RefreshColumnCount();
    // Copies the header columns' rectangles into ListInfo, moving them left by `shift` first.
    // A hidden header's columns are made visible meanwhile (and the header placed at
    // `hiddenHeaderRect` when given) so that they still have widths.
    void ShiftColumns(int shift, const RECT* hiddenHeaderRect);
    // Removes the body item at the index and fixes the selection and expansion after it.
    bool RemoveItemAt(int index);
    // The selection a key or the wheel moves to; no selectable item keeps the current one.
    void NavigateTo(int index);
    void SetInfoColor(DWORD ListInfo::*field, DWORD color);
    void SetInfoImage(CUIString ListInfo::*field, const wchar_t* image);
    // Repaint or relayout for a changed item attribute.
    void ApplyItemChange(ListInfoChange change);

    bool m_scrollSelect = false;
    int m_curSel = -1;
    int m_prevSel = -1;
    int m_expandedItem = -1;
    IListTextCallback* m_textCallback = nullptr;
    CListBodyUI* m_body = nullptr;      // a child of the list, always there
    CListHeaderUI* m_header = nullptr;  // a child of the list; null once removed
    ListInfo m_listInfo;
};

} // namespace SkinUI
