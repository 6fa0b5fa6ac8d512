#pragma once
// CEditUI: the single-line text box. An edit field (CEditFieldUI) that lays a native edit window
// (CEditWnd) over itself only while it has the focus. Every change typed there is copied back and
// sent as "textchanged"; Return sends "return"; Tab moves on. In caption mode its text is painted
// in the caption colour.
#include "uitoolkit/controls/EditFieldUI.h"

namespace SkinUI {

class CEditUI : public CEditFieldUI {
public:
    CEditUI() = default;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    // "enablecaption" and "captiontextcolor"; anything else goes to the field.
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintText(HDC hDC) override;

    bool IsEnableCaption() const { return m_enableCaption; }
    void SetEnableCaption(bool enable);
    DWORD GetCaptionTextColor() const { return m_captionTextColor; }
    void SetCaptionTextColor(DWORD color) { m_captionTextColor = color; }

protected:
    CEditWnd* NewNativeEdit() override;

private:
    bool m_enableCaption = false;
    DWORD m_captionTextColor = 0xFFA4A4A4;
};

} // namespace SkinUI
