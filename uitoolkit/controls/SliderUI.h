#pragma once
// CSliderUI: a progress bar with a draggable thumb. Dragging moves the value with the pointer;
// releasing the button (on the thumb or anywhere on the track) sets the value at that point and
// sends "valuechanged", as does each wheel step.
#include "uitoolkit/controls/ProgressUI.h"

namespace SkinUI {

class CSliderUI : public CProgressUI {
public:
    CSliderUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetBehaviourFlags() const override;
    void SetEnabled(bool enabled = true) override;
    void HandleEvent(ControlEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintStateImage(HDC hDC) override;

    enum ThumbImage { kThumbNormal, kThumbHot, kThumbPushed, kThumbImages };
    void SetThumbImage(ThumbImage which, const wchar_t* image);
    int GetChangeStep() const { return m_step; }
    void SetChangeStep(int step) { m_step = step; }
    SIZE GetThumbSize() const { return m_thumbSize; }
    void SetThumbSize(SIZE size) { m_thumbSize = size; }
    UINT GetThumbState() const { return m_thumbState; }
    // Where the thumb stands for the current value, in window coordinates.
    RECT GetThumbRect() const;

private:
    // The value a point on the track stands for.
    int ValueAt(POINT pt) const;

    SIZE m_thumbSize = {10, 10};
    UINT m_thumbState = 0;
    int m_step = 1;
    CUIString m_thumbImages[kThumbImages];
};

} // namespace SkinUI
