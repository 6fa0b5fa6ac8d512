#pragma once
// CButtonUI: a push button. A label with a press / hover state word, one image per state
// (normal, hot, pushed, focused, disabled), state text colours, a hot text, and a "url" that the
// program's dialogs open themselves. Activation (click, Space, Return) sends "click".
#include "uitoolkit/controls/ButtonLikeUI.h"

namespace SkinUI {

class CButtonUI : public CButtonLikeUI {
public:
    CButtonUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintStateImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

    const wchar_t* GetNormalImage() const { return m_normalImage; }
    void SetNormalImage(const wchar_t* image) { SetImage(m_normalImage, image); }
    const wchar_t* GetHotImage() const { return m_hotImage; }
    void SetHotImage(const wchar_t* image) { SetImage(m_hotImage, image); }
    const wchar_t* GetPushedImage() const { return m_pushedImage; }
    void SetPushedImage(const wchar_t* image) { SetImage(m_pushedImage, image); }
    const wchar_t* GetFocusedImage() const { return m_focusedImage; }
    void SetFocusedImage(const wchar_t* image) { SetImage(m_focusedImage, image); }
    const wchar_t* GetDisabledImage() const { return m_disabledImage; }
    void SetDisabledImage(const wchar_t* image) { SetImage(m_disabledImage, image); }
    const wchar_t* GetUrl() const { return m_url; }
    void SetUrl(const wchar_t* url) { m_url = url; }
    const wchar_t* GetHotText() const { return m_hotText; }
    void SetHotText(const wchar_t* text);

protected:
    // Stores an image text and repaints.
    void SetImage(CUIString& field, const wchar_t* image);
    // The button's image for its state: disabled, pushed, hot or focused (only the first state
    // that is on is tried), else the normal image.
    void PaintButtonImage(HDC hDC);

    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_pushedImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
    CUIString m_url;
    CUIString m_hotText;
};

} // namespace SkinUI
