#include "uitoolkit/controls/EditUI.h"

#include <cwchar>

#include "uitoolkit/controls/EditWnd.h"
#include "uitoolkit/core/AttributeTable.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

const AttributeSetterOf<CEditUI> kEditAttributes[] = {
    {L"enablecaption", [](CEditUI& e, const wchar_t* v) { e.SetEnableCaption(ParseBool(v)); }},
    {L"captiontextcolor", [](CEditUI& e, const wchar_t* v) { e.SetCaptionTextColor(ParseColor(v)); }},
};

} // namespace

const wchar_t* CEditUI::GetClass() const { return L"EditUI"; }

void* CEditUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"Edit") == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

CEditWnd* CEditUI::NewNativeEdit() { return new CEditWnd(); }

void CEditUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttribute(kEditAttributes, *this, name, value))
        CEditFieldUI::SetAttribute(name, value);
}

void CEditUI::SetEnableCaption(bool enable)
{
    if (m_enableCaption == enable)
        return;
    m_enableCaption = enable;
    Invalidate();
}

void CEditUI::PaintText(HDC hDC)
{
    if (!ResolveDefaultColors() || m_text.IsEmpty())
        return;
    DWORD color = m_enableCaption ? m_captionTextColor : m_textColor;
    if (!IsEnabled())
        color = m_disabledTextColor;
    RECT rc = GetTextRect();
    CRenderKit::DrawText(hDC, m_host, rc, GetShownText().c_str(), color, m_font, m_textStyle | DT_SINGLELINE);
}

} // namespace SkinUI
