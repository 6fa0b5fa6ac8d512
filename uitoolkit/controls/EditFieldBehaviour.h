#pragma once
// CEditFieldBehaviour: what the edit-like fields (the edit box and the extended edit) share:
// the input handling that opens their native window on focus and on a click and selects its
// text, the hot / focused / disabled state word with its four state images, and the text they
// paint (password characters in password mode).
#include <windows.h>

#include <string>

#include "uitoolkit/controls/ButtonBehaviour.h"
#include "uitoolkit/core/UIString.h"

namespace SkinUI {

class CLabelUI;
class IEditField;
struct ControlEvent;

class CEditFieldBehaviour {
public:
    // `label` and `field` are the same control.
    CEditFieldBehaviour(CLabelUI& label, IEditField& field);
    CEditFieldBehaviour(const CEditFieldBehaviour&) = delete;
    CEditFieldBehaviour& operator=(const CEditFieldBehaviour&) = delete;

    // The field's share of event handling; false hands the event to the label's handler.
    bool HandleEvent(ControlEvent& event);
    // The image of the first state on among disabled, focused and hot, else the normal image; an
    // image that cannot be drawn is forgotten.
    void PaintStateImage(HDC hDC);
    // A disabled field is neither hot nor focused.
    void OnEnabledChanged();

    UINT GetState() const { return m_state.GetState(); }
    void SetNormalImage(const wchar_t* image) { SetImage(m_normalImage, image); }
    void SetHotImage(const wchar_t* image) { SetImage(m_hotImage, image); }
    void SetFocusedImage(const wchar_t* image) { SetImage(m_focusedImage, image); }
    void SetDisabledImage(const wchar_t* image) { SetImage(m_disabledImage, image); }

    // The text as the field shows it: one password character per character in password mode.
    static std::wstring ShownText(const wchar_t* text, bool password, wchar_t passwordChar);

private:
    void SetImage(CUIString& field, const wchar_t* image);
    // EM_SETSEL over the whole text (to 1 for an empty text).
    void SelectAll();

    CLabelUI& m_label;
    IEditField& m_field;
    CButtonBehaviour m_state;  // the state word only: focused, disabled, hot
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
};

} // namespace SkinUI
