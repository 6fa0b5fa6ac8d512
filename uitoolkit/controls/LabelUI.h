#pragma once
// CLabelUI: static text in one of the host's fonts, aligned inside the control by DrawText
// format flags, with text padding, enabled and disabled colours, and optionally drawn as
// marked-up text. It is the base of the text-bearing controls (buttons, texts, edits, progress
// bars, sliders ...), which reuse its text drawing with their own colour or text.
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/PlacedText.h"

namespace SkinUI {

class CLabelUI : public CControlUI {
public:
    CLabelUI() = default;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void HandleEvent(ControlEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE GetDesiredSize(SIZE available) override;
    void PaintText(HDC hDC) override;

    // Colours are ARGB; 0 means the host's default (stored into the field at the first paint).
    DWORD GetTextColor() const { return m_textColor; }
    void SetTextColor(DWORD color) { m_textColor = color; }
    DWORD GetDisabledTextColor() const { return m_disabledTextColor; }
    void SetDisabledTextColor(DWORD color) { m_disabledTextColor = color; }
    // Index into the host's fonts; -1 is the host's default font.
    int GetFont() const { return m_font; }
    void SetFont(int index) { m_font = index; }
    // DrawText format flags (DT_CENTER, DT_VCENTER, DT_SINGLELINE, DT_END_ELLIPSIS ...).
    UINT GetTextStyle() const { return m_textStyle; }
    void SetTextStyle(UINT style);
    RECT GetTextPadding() const { return m_rcTextPadding; }
    void SetTextPadding(RECT rc);
    bool IsShowHtml() const { return m_showHtml; }
    void SetShowHtml(bool showHtml);

protected:
    // The text-metric height of the control's font; 0 without a host.
    int GetFontHeight() const;
    // The control base's answer when a fixed height is set, else the fixed width and the font
    // height plus `margin`.
    SIZE DesiredSizeWithMargin(SIZE available, int margin);
    // Fills zero colours with the host's defaults; false when there is no host to paint with.
    bool ResolveDefaultColors();
    // The control rectangle shrunk by the text padding.
    RECT GetTextRect() const;
    // Draws `text` into the text rectangle in `color`: marked up when show-HTML is on (no link
    // output), else plain in the control's font and text style.
    void DrawLabelText(HDC hDC, const wchar_t* text, DWORD color);
    // The colour the label draws in: the text colour when enabled, else the disabled colour.
    DWORD GetStateTextColor() const { return IsEnabled() ? m_textColor : m_disabledTextColor; }

    DWORD m_textColor = 0;
    DWORD m_disabledTextColor = 0;
    int m_font = -1;
    UINT m_textStyle = DT_VCENTER;
    RECT m_rcTextPadding = {0, 0, 0, 0};
    bool m_showHtml = false;
    // Where the plain text goes, kept from one paint to the next.
    CPlacedText m_placedText;
};

} // namespace SkinUI
