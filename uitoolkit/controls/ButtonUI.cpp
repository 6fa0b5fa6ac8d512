#include "uitoolkit/controls/ButtonUI.h"

#include <cwchar>

#include "uitoolkit/core/AttributeTable.h"

namespace SkinUI {

namespace {

const AttributeSetterOf<CButtonUI> kButtonAttributes[] = {
    {L"normalimage", [](CButtonUI& b, const wchar_t* v) { b.SetNormalImage(v); }},
    {L"hotimage", [](CButtonUI& b, const wchar_t* v) { b.SetHotImage(v); }},
    {L"pushedimage", [](CButtonUI& b, const wchar_t* v) { b.SetPushedImage(v); }},
    {L"focusedimage", [](CButtonUI& b, const wchar_t* v) { b.SetFocusedImage(v); }},
    {L"disabledimage", [](CButtonUI& b, const wchar_t* v) { b.SetDisabledImage(v); }},
    {L"url", [](CButtonUI& b, const wchar_t* v) { b.SetUrl(v); }},
    {L"hottext", [](CButtonUI& b, const wchar_t* v) { b.SetHotText(v); }},
};

} // namespace

CButtonUI::CButtonUI()
{
    m_textStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS;
}

const wchar_t* CButtonUI::GetClass() const { return L"ButtonUI"; }

void* CButtonUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"Button") == 0)
        return this;
    return CButtonLikeUI::GetInterface(name);
}

void CButtonUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttribute(kButtonAttributes, *this, name, value))
        CButtonLikeUI::SetAttribute(name, value);
}

void CButtonUI::SetImage(CUIString& field, const wchar_t* image)
{
    field = image;
    Invalidate();
}

void CButtonUI::SetHotText(const wchar_t* text)
{
    if (m_hotText == text)
        return;
    m_hotText = text;
    Invalidate();
}

void CButtonUI::PaintButtonImage(HDC hDC)
{
    m_button.RefreshFocusAndEnabled();
    CButtonBehaviour::DrawFirstStateImage(*this, hDC, m_button.GetState(),
                                          {{kStateDisabled, &m_disabledImage},
                                           {kStatePushed, &m_pushedImage},
                                           {kStateHot, &m_hotImage},
                                           {kStateFocused, &m_focusedImage}},
                                          m_normalImage);
}

void CButtonUI::PaintStateImage(HDC hDC) { PaintButtonImage(hDC); }

void CButtonUI::PaintText(HDC hDC)
{
    m_button.RefreshFocusAndEnabled();
    const bool hotText = m_button.Has(kStateHot) && !m_hotText.IsEmpty();
    PaintStateText(hDC, hotText ? m_hotText : m_text);
}

} // namespace SkinUI
