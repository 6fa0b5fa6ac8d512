#pragma once
// CScrollBarUI: the toolkit's scroll bar. Containers, lists, the combo's drop list and the rich
// edit create one for themselves and set themselves as its owner; the bar then scrolls its owner
// through the owner's scroll operations. A bar without owner stands alone in a skin, keeps its
// own position and reports "scroll".
//
// Geometry: button 1 (up / left) and button 2 (down / right) are squares of the bar's thickness
// at the two ends, the thumb slides on the track between them. Pressing a button scrolls a line,
// pressing the track a page towards the point; both repeat on a 50 ms control timer from the 6th
// tick on. Dragging the thumb is applied on the ticks too.
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/UIString.h"

namespace SkinUI {

class CContainerUI;

class CScrollBarUI : public CControlUI {
public:
    // Images of one part by state, in this order.
    enum ImageSlot { kImageNormal, kImageHot, kImagePushed, kImageDisabled, kImageSlots };
    // The control timer of auto-repeat and its interval.
    static constexpr UINT kRepeatTimerId = 10;
    static constexpr UINT kRepeatInterval = 50;
    // Lines and pages repeat from this tick on.
    static constexpr int kRepeatDelayTicks = 6;
    static constexpr int kDefaultThickness = 16;

    CScrollBarUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;

    CContainerUI* GetOwner() const { return m_owner; }
    void SetOwner(CContainerUI* owner) { m_owner = owner; }
    bool IsHorizontal() const { return m_horizontal; }
    // Changing the direction swaps the thickness and asks for a new layout.
    void SetHorizontal(bool horizontal = true);
    int GetScrollRange() const { return m_range; }
    // A negative range counts as 0; the position is clamped into the new range.
    void SetScrollRange(int range);
    int GetScrollPos() const { return m_scrollPos; }
    // Clamped into 0..range.
    void SetScrollPos(int pos);
    int GetLineSize() const { return m_lineSize; }
    void SetLineSize(int size) { m_lineSize = size; }
    bool IsButton1Shown() const { return m_button1.shown; }
    bool IsButton2Shown() const { return m_button2.shown; }
    // Shows or hides button 1 or 2 and lays the bar out again in its rectangle.
    void ShowButton(int which, bool shown);

    // The parts' rectangles of the last layout (the thumb is all zero when there is no room).
    const RECT& GetButton1Rect() const { return m_button1.rc; }
    const RECT& GetButton2Rect() const { return m_button2.rc; }
    const RECT& GetThumbRect() const { return m_thumb.rc; }
    UINT GetButton1State() const { return m_button1.state; }
    UINT GetButton2State() const { return m_button2.state; }
    UINT GetThumbState() const { return m_thumb.state; }

    void SetPos(RECT rc) override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void SetFocus() override;
    void HandleEvent(ControlEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void Paint(HDC hDC, const RECT& rcDirty) override;

private:
    // One drawn part: its images by state, and for buttons and thumb its place and state word.
    struct Part {
        CUIString images[kImageSlots];
        RECT rc = {0, 0, 0, 0};
        UINT state = 0;
        bool shown = true;
    };

    // The thickness: fixed height of a horizontal bar, fixed width of a vertical one.
    int Thickness() const;
    // Length of the bar along its axis.
    int Length() const;
    // Length of the track the thumb moves along: the bar less each shown button.
    int TrackLength() const;
    // The coordinate of a point along the bar's axis.
    int Along(POINT pt) const;
    void Layout();
    // One line or page back (-1) or forward (+1), through the owner when there is one.
    void ScrollLine(int direction);
    void ScrollPage(int direction);
    // Scrolls to a position along the bar's axis, through the owner when there is one.
    void ScrollTo(int pos);
    // -1 when the point lies before the thumb, +1 after it, 0 on it.
    int SideOfThumb(POINT pt) const;
    void OnButtonDown(POINT pt);
    void OnButtonUp();
    void OnMouseMove(POINT pt);
    // True when the tick scrolled.
    bool OnRepeatTick();
    // The owner's handler, or the control base's without owner.
    void PassOn(ControlEvent& event);
    // "scroll" for a bar without owner; must be the last thing the caller does.
    void NotifyScroll();
    // The first of disabled, pushed and hot that is set in `state` and has an image, else the
    // normal image; a draw that fails clears its image text. True when an image was drawn.
    bool DrawPart(HDC hDC, Part& part, UINT state, const RECT* dest);

    bool m_horizontal = false;
    int m_range = 100;
    int m_scrollPos = 0;
    int m_lineSize = 8;
    CContainerUI* m_owner = nullptr;
    POINT m_lastMouse = {0, 0};
    int m_lastScrollPos = 0;
    int m_lastScrollOffset = 0;
    int m_repeatCount = 0;
    Part m_background;
    Part m_button1;
    Part m_button2;
    Part m_thumb;
    Part m_rail;
    CUIString m_modifier;
};

} // namespace SkinUI
