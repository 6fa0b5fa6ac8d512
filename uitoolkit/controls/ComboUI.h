#pragma once
// CComboUI: the drop-down list box. Closed, it shows the selected item (drawn by the item's own
// text drawing) over its state image; opened by a press or F4, a pop-up window (CComboWnd) shows
// every item in a vertical list. The items are ordinary list elements: the combo owns them as a
// container and answers them as their list owner, with its own ListInfo for their look. Keys and
// the wheel move the selection while it is closed.
//
// While the pop-up is open the items are lent to its window (their host and parent are the
// pop-up's); the pop-up hands them back when it is destroyed. Every change to the item list
// closes the pop-up first, so that it never holds an item that is gone.
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/IListOwnerUI.h"
#include "uitoolkit/controls/ListInfo.h"
#include "uitoolkit/core/UIString.h"

namespace SkinUI {

class CComboWnd;

class CComboUI : public CContainerUI, public IListOwnerUI {
public:
    CComboUI();
    // Destroys an open pop-up first (which then leaves the dying combo alone).
    ~CComboUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetBehaviourFlags() const override;
    // Opens the pop-up ("dropdown"); true when it is open. The combo may be gone when this
    // returns true: callers touch nothing of it without a watch.
    bool Activate() override;
    CUIString GetText() const override;
    void SetPos(RECT rc) override;
    void SetEnabled(bool enabled = true) override;
    void HandleEvent(ControlEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE GetDesiredSize(SIZE available) override;
    void Paint(HDC hDC, const RECT& rcDirty) override;
    void PaintStateImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

    // ---- items (each list item carries its index and the combo as owner) ----
    // Null items are refused. A change while the pop-up is open closes it first; false when the
    // combo was lost while it closed (the item is then not taken).
    bool SetItemIndex(CControlUI* control, int index) override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    // ---- list owner ----
    ListInfo* GetListInfo() override;
    int GetCurSel() const override;
    // An index past the end selects the last item; a refused index clears the selection.
    // "itemselect" (new, previous) after a change; an open pop-up is asked to close.
    bool SelectItem(int index, bool takeFocus = false) override;

    // ---- look and behaviour (each one as its attribute) ----
    RECT GetTextPadding() const { return m_textPadding; }
    void SetTextPadding(RECT rc);
    void SetNormalImage(const wchar_t* image) { SetImage(m_normalImage, image); }
    void SetHotImage(const wchar_t* image) { SetImage(m_hotImage, image); }
    void SetPushedImage(const wchar_t* image) { SetImage(m_pushedImage, image); }
    void SetFocusedImage(const wchar_t* image) { SetImage(m_focusedImage, image); }
    void SetDisabledImage(const wchar_t* image) { SetImage(m_disabledImage, image); }
    // The attribute list ("name=\"value\" ...") applied to the pop-up's list each time it opens.
    const CUIString& GetDropBoxAttributeList() const { return m_dropBoxAttributes; }
    void SetDropBoxAttributeList(const wchar_t* attributes) { m_dropBoxAttributes = attributes; }
    // cx 0: as wide as the combo; cy: the most the list may be high.
    SIZE GetDropBoxSize() const { return m_dropBoxSize; }
    void SetDropBoxSize(SIZE size) { m_dropBoxSize = size; }
    bool IsClearSelectionOnPress() const { return m_clearSelectionOnPress; }
    void SetClearSelectionOnPress(bool on) { m_clearSelectionOnPress = on; }
    UINT GetState() const { return m_state; }
    // The open pop-up, else null.
    CComboWnd* GetDropWindow() const { return m_dropWindow; }

private:
    friend class CComboWnd;

    // The pop-up's final message: it is gone, the combo is no longer pushed.
    void OnDropWindowGone();
    // Destroys an open pop-up at once (its items come back); false when the combo was lost
    // meanwhile.
    bool CloseDropWindow();
    // Removes the child at the index and fixes the selection after it.
    bool RemoveItemAt(int index);
    // A key or the wheel selects; no selectable item keeps the current selection.
    void NavigateTo(int index);
    void SetImage(CUIString& field, const wchar_t* image);
    // Paints a child that is no list item at the rectangle and puts it back, without asking
    // for a repaint (this runs while painting).
    void PaintChildAt(CControlUI& child, HDC hDC, const RECT& rc);

    CComboWnd* m_dropWindow = nullptr;
    int m_curSel = -1;
    RECT m_textPadding = {0, 0, 0, 0};
    CUIString m_dropBoxAttributes;
    SIZE m_dropBoxSize = {0, 150};
    UINT m_state = 0;
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_pushedImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
    ListInfo m_listInfo;
    bool m_clearSelectionOnPress = false;
};

} // namespace SkinUI
