#pragma once
// CButtonLikeUI: a label that behaves as a button: it keeps the press / hover state word and the
// state text colours, takes input through CButtonBehaviour, sends "click" on activation and
// measures itself as a button does. The push button and the menu button are made on it and add
// only their pictures, attributes and text.
#include "uitoolkit/controls/ButtonBehaviour.h"
#include "uitoolkit/controls/LabelUI.h"

namespace SkinUI {

class CButtonLikeUI : public CLabelUI {
public:
    UINT GetBehaviourFlags() const override;
    bool Activate() override;
    // A disabled button drops its whole state.
    void SetEnabled(bool enabled = true) override;
    void HandleEvent(ControlEvent& event) override;
    // "hottextcolor", "pushedtextcolor", "focusedtextcolor", then the label's attributes.
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE GetDesiredSize(SIZE available) override;

    UINT GetState() const { return m_button.GetState(); }
    DWORD GetHotTextColor() const { return m_button.hotTextColor; }
    void SetHotTextColor(DWORD color) { m_button.hotTextColor = color; }
    DWORD GetPushedTextColor() const { return m_button.pushedTextColor; }
    void SetPushedTextColor(DWORD color) { m_button.pushedTextColor = color; }
    DWORD GetFocusedTextColor() const { return m_button.focusedTextColor; }
    void SetFocusedTextColor(DWORD color) { m_button.focusedTextColor = color; }

protected:
    CButtonLikeUI() : m_button(*this) {}

    // Draws a non-empty text in the label's colour, or the colour of the pushed, hot or focused
    // state when one is set; nothing without the host's default colours. Callers refresh the
    // state word first.
    void PaintStateText(HDC hDC, const CUIString& text);

    CButtonBehaviour m_button;
};

} // namespace SkinUI
