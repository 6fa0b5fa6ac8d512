#pragma once
// CProgressUI: a label that shows a value between a minimum and a maximum by drawing its fore
// image over the matching part of the control (from the left, or from the bottom when
// vertical). Limits and value are stored as given; painting normalises them.
#include "uitoolkit/controls/LabelUI.h"
#include "uitoolkit/core/UIString.h"

namespace SkinUI {

class CProgressUI : public CLabelUI {
public:
    CProgressUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintStateImage(HDC hDC) override;

    bool IsHorizontal() const { return m_horizontal; }
    void SetHorizontal(bool horizontal = true);
    int GetMinValue() const { return m_min; }
    void SetMinValue(int min);
    int GetMaxValue() const { return m_max; }
    void SetMaxValue(int max);
    int GetValue() const { return m_value; }
    void SetValue(int value);
    const wchar_t* GetForeImage() const { return m_foreImage.GetData(); }
    void SetForeImage(const wchar_t* image);

protected:
    // max - min, read as 1 when max <= min (nothing is stored); 64-bit so that it cannot wrap.
    long long Span() const;

    bool m_horizontal = true;
    int m_max = 100;
    int m_min = 0;
    int m_value = 0;
    CUIString m_foreImage;
    CUIString m_modifier;  // work text of the "dest" modifier
};

} // namespace SkinUI
