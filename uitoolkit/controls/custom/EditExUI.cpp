#include "uitoolkit/controls/custom/EditExUI.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include "uitoolkit/controls/custom/EditExWnd.h"
#include "uitoolkit/core/AttributeTable.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

int ParseIntValue(const wchar_t* v) { return static_cast<int>(ParseInt(v)); }

const AttributeSetterOf<CEditExUI> kEditExAttributes[] = {
    {L"autosize", [](CEditExUI& e, const wchar_t* v) { e.SetAutoSize(ParseBool(v)); }},
    {L"activateminwidth", [](CEditExUI& e, const wchar_t* v) { e.SetActivateMinWidth(ParseIntValue(v)); }},
    {L"activateminheight", [](CEditExUI& e, const wchar_t* v) { e.SetActivateMinHeight(ParseIntValue(v)); }},
    {L"activatemaxwidth", [](CEditExUI& e, const wchar_t* v) { e.SetActivateMaxWidth(ParseIntValue(v)); }},
    {L"activatemaxheight", [](CEditExUI& e, const wchar_t* v) { e.SetActivateMaxHeight(ParseIntValue(v)); }},
};

} // namespace

const wchar_t* CEditExUI::GetClass() const { return L"EditExUI"; }

void* CEditExUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"EditEx") == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

CEditWnd* CEditExUI::NewNativeEdit() { return new CEditExWnd(); }

void CEditExUI::OpenNativeWindow()
{
    if (GetNativeEdit() != nullptr || m_opening)
        return;
    // 1. Sized as while editing, and announced before the window exists.
    m_opening = true;
    AutoSize();
    if (m_host != nullptr && !Survives([this] { m_host->SendNotify(this, L"editwndcreate"); }))
        return;
    // 2. The window itself; without one the field sizes back to its text.
    CEditFieldUI::OpenNativeWindow();
    m_opening = false;
    if (GetNativeEdit() == nullptr)
        AutoSize();
}

void CEditExUI::OnNativeClosed()
{
    CEditFieldUI::OnNativeClosed();
    AutoSize();
    if (m_host != nullptr)
        m_host->SendNotify(this, L"editwndclose");
}

void CEditExUI::AutoSize()
{
    if (!m_autoSize)
        return;
    int width = m_activateMax.cx;
    if (GetNativeEdit() == nullptr && !m_opening) {
        if (m_host == nullptr || m_host->GetPaintDC() == nullptr)
            return;
        RECT rc = GetTextRect();
        CRenderKit::DrawText(m_host->GetPaintDC(), m_host, rc, GetShownText().c_str(), 0, m_font,
                             DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        const int wanted = rc.right - rc.left + m_rcTextPadding.left + m_rcTextPadding.right;
        width = std::max<int>(m_minSize.cx, std::min<int>(m_maxSize.cx, wanted));
    }
    if (width != m_fixedSize.cx)
        SetFixedWidth(width);
}

void CEditExUI::SetActivateValue(LONG& field, int value)
{
    if (value < 0 || value == field)
        return;
    field = value;
    RequestParentLayout();
}

void CEditExUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttribute(kEditExAttributes, *this, name, value))
        CEditFieldUI::SetAttribute(name, value);
}

void CEditExUI::PaintText(HDC hDC)
{
    if (m_text.IsEmpty() || !ResolveDefaultColors())
        return;
    RECT rc = GetTextRect();
    CRenderKit::DrawText(hDC, m_host, rc, GetShownText().c_str(), GetStateTextColor(), m_font,
                         m_textStyle | DT_SINGLELINE);
}

} // namespace SkinUI
