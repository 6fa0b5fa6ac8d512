#pragma once
// COptionUI: a check box or, with a group name, a radio button. Without a group, activation
// toggles the selection; in a group it selects the option and silently deselects the group's
// others (the window host keeps each group's list). "selectchanged" follows every change made
// here, except the silent deselections.
#include "uitoolkit/controls/ButtonUI.h"

namespace SkinUI {

class COptionUI : public CButtonUI {
public:
    COptionUI() = default;
    ~COptionUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetManager(CWindowHostUI* host, CControlUI* parent, bool init = true) override;
    bool Activate() override;
    void SetEnabled(bool enabled = true) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintStateImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

    bool IsSelected() const { return m_selected; }
    void SetSelected(bool selected);
    const wchar_t* GetGroup() const { return m_group; }
    void SetGroup(const wchar_t* group);
    DWORD GetSelectedTextColor() const { return m_selectedTextColor; }
    void SetSelectedTextColor(DWORD color) { m_selectedTextColor = color; }
    const wchar_t* GetSelectedImage() const { return m_selectedImage; }
    void SetSelectedImage(const wchar_t* image) { SetImage(m_selectedImage, image); }
    const wchar_t* GetHotSelectedImage() const { return m_hotSelectedImage; }
    void SetHotSelectedImage(const wchar_t* image) { SetImage(m_hotSelectedImage, image); }
    const wchar_t* GetForeImage() const { return m_foreImage; }
    void SetForeImage(const wchar_t* image) { SetImage(m_foreImage, image); }

protected:
    // Stores the flag and the state word's selected bit and repaints; no notification.
    void StoreSelected(bool selected);

private:
    bool m_selected = false;
    CUIString m_group;
    DWORD m_selectedTextColor = 0;
    CUIString m_hotSelectedImage;
    CUIString m_selectedImage;
    CUIString m_foreImage;
};

} // namespace SkinUI
