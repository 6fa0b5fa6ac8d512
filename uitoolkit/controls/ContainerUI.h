#pragma once
// CContainerUI: the control that owns child controls. It keeps the ordered child list (index 0
// is painted first), the inset between its rectangle and the children, the padding layouts put
// between children, the rules for destroying removed children, two optional scroll bars and
// the scroll position, and routes painting, hit testing, find walks, visibility, enabling and
// input down to its children. Layouts, lists and the combo box derive from it; the scroll
// operations, FindSelectable and ProcessScrollBar are virtual so that they can change them.
//
// Callers holding a control reach the item operations through GetInterface(L"IContainer").
#include <memory>

#include "uitoolkit/controls/ScrollBarUI.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/IContainerUI.h"
#include "uitoolkit/core/UIPtrArray.h"

namespace SkinUI {

class CContainerUI : public CControlUI, public IContainerUI {
public:
    // A horizontal line step, and the part of a vertical one added to the font height.
    static constexpr int kLineStep = 8;
    // How deep ProcessScrollBar may re-enter the layout: content whose height changes with its
    // width would otherwise show and hide the bar for ever.
    static constexpr int kMaxScrollRelayoutDepth = 4;

    CContainerUI();
    // Children are deleted at once (never queued) when auto-destroy is on.
    ~CContainerUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;

    // ---- item management ----
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    // False and nothing changed for a control that is not a child or an index outside the list.
    bool SetItemIndex(CControlUI* control, int index) override;
    int GetCount() const override;
    bool Add(CControlUI* control) override;
    // False and nothing changed (the child is not touched) for an index outside 0..count.
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    // ---- control base ----
    void SetManager(CWindowHostUI* host, CControlUI* parent, bool init = true) override;
    void SetPos(RECT rc) override;
    void SetVisible(bool visible = true) override;
    void SetInheritedVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void SetMouseEnabled(bool enabled = true) override;
    CControlUI* FindControl(FindControlProc proc, void* data, UINT flags) override;
    void HandleEvent(ControlEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void Paint(HDC hDC, const RECT& rcDirty) override;

    // ---- container ----
    virtual RECT GetInset() const;
    virtual void SetInset(RECT rc);
    // The control rectangle shrunk by the inset: where the children are laid out.
    RECT GetInsetRect() const;
    virtual int GetChildPadding() const;
    virtual void SetChildPadding(int padding);
    virtual bool IsAutoDestroy() const;
    virtual void SetAutoDestroy(bool on);
    virtual bool IsDelayedDestroy() const;
    virtual void SetDelayedDestroy(bool on);
    virtual bool IsMouseChildEnabled() const;
    virtual void SetMouseChildEnabled(bool enabled = true);
    // The nearest visible, enabled "ListItem" child from index on (forward) or down (backward,
    // then forward from 0); -1 when none.
    virtual int FindSelectable(int index, bool forward = true);
    // cx: horizontal bar position, cy: vertical; 0 for a missing or hidden bar.
    virtual SIZE GetScrollPos() const;
    virtual SIZE GetScrollRange() const;
    // Sets the shown bars' positions and moves the non-floating children by the change.
    virtual void SetScrollPos(SIZE pos);
    virtual void LineUp();
    virtual void LineDown();
    virtual void PageUp();
    virtual void PageDown();
    virtual void HomeUp();
    virtual void EndDown();
    virtual void LineLeft();
    virtual void LineRight();
    virtual void PageLeft();
    virtual void PageRight();
    virtual void HomeLeft();
    virtual void EndRight();
    // Creates or deletes the bars; an existing bar is kept with its style.
    virtual void EnableScrollBar(bool vertical = true, bool horizontal = false);
    virtual CScrollBarUI* GetVerticalScrollBar() const;
    virtual CScrollBarUI* GetHorizontalScrollBar() const;
    // Places a visible floating child by its fixed position, size and relative position.
    virtual void SetFloatPos(int index);
    // Called by layouts with the inner rectangle and the content size they need: shows, sizes
    // and clamps the bars (the required width is not used).
    virtual void ProcessScrollBar(RECT rc, int requiredWidth, int requiredHeight);

    // Runs the call on each child in order, as call(child, index), under the call-out rule (see
    // CControlUI::Watch): once a call (a child's SetPos, visibility change, init, paint) lost
    // this container or its host, the walk stops at once and the result is false, and the caller
    // must not touch the container any more. The call-out is therefore the call's last step. A
    // child that removes children meanwhile only shortens the walk. Always inlined: left out of
    // line in a large layout pass, the call would reach every local of the pass through its
    // closure, which made the placement of each child measurably slower.
    template <typename Call>
    [[gnu::always_inline]] bool ForEachChild(Call&& call);

protected:
    // The control base's SetPos (the container's own size delegates); false when they cost it.
    bool SetOwnPos(const RECT& rc);
    // The inset rectangle minus the visible bars' thickness.
    RECT GetInnerRect() const;
    // The bars when they exist and are visible, else null.
    CScrollBarUI* GetShownVerticalScrollBar() const;
    CScrollBarUI* GetShownHorizontalScrollBar() const;
    // The default font's height plus 8; 8 without a window host.
    int GetVerticalLine() const;
    int GetVerticalPage() const;
    int GetHorizontalPage() const;
    // Sets one axis's scroll position (clamped into int), keeping the other's.
    void ScrollAxisTo(bool vertical, long long pos);
    // While the control ignores the mouse, a mouse event goes to the parent's handling (the
    // control base's without a parent). True when the event was passed on so.
    bool PassOnIgnoredMouseEvent(ControlEvent& event);
    // Gives every visible child the rectangle; floating children are placed by SetFloatPos. The
    // walk stops when a child's call cost this container.
    void PlaceChildren(const RECT& rc);
    // Where a layout without children places its bars: over the inset rectangle, or over the
    // inner one (the shown bars' thickness taken off).
    enum class EmptyBars { OverInset, OverInner };
    // The start of a layout's SetPos: the control base's SetPos, then, without children, the bars
    // fed no content. True when there are children to place; false when the pass is over, also
    // when the own size delegates cost this container.
    bool BeginLayoutPass(const RECT& rc, EmptyBars emptyBars);
    // ForEachChild over the children a layout places: hidden ones are passed over and floating
    // ones placed by SetFloatPos; call(child, index) for each other, its call-out last. Inlined
    // as ForEachChild is; hidden and floating children are the rare case.
    template <typename Call>
    [[gnu::always_inline]] bool ForEachPlacedChild(Call&& call)
    {
        return ForEachChild([&](CControlUI* child, int index) {
            if (!child->IsVisible()) [[unlikely]]
                return;
            if (child->IsFloat()) [[unlikely]]
                SetFloatPos(index);
            else
                call(child, index);
        });
    }
    // The children and the bars over the container's own look (under the caller's clip); nothing
    // more once a child's painting cost this container.
    void PaintChildren(HDC hDC, const RECT& rcDirty);
    // Deletes a removed child, at once or through the host's delayed clean-up.
    void DestroyChild(CControlUI* child);
    // Runs SetPos on the own rectangle again from ProcessScrollBar, within the depth limit.
    // False when the layout pass deleted this container.
    bool RelayoutForScrollBar();
    // Scrolls along one axis by a scroll key or wheel event; false when the event is neither.
    bool ScrollByEvent(const ControlEvent& event, bool vertical);

    CUIPtrArray m_items;
    RECT m_inset = {0, 0, 0, 0};
    int m_childPadding = 0;
    bool m_autoDestroy = true;
    bool m_delayedDestroy = true;
    bool m_mouseChildEnabled = true;
    bool m_scrollProcess = false;  // the re-layout guard of ProcessScrollBar
    int m_scrollRelayoutDepth = 0;
    std::unique_ptr<CScrollBarUI> m_verticalScrollBar;
    std::unique_ptr<CScrollBarUI> m_horizontalScrollBar;
};

template <typename Call>
inline bool CContainerUI::ForEachChild(Call&& call)
{
    Watch watch(this);
    for (int i = 0; i < m_items.GetSize(); ++i) {
        call(static_cast<CControlUI*>(m_items[i]), i);
        if (watch.Lost())
            return false;
    }
    return true;
}

} // namespace SkinUI
