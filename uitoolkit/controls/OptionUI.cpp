#include "uitoolkit/controls/OptionUI.h"

#include <cwchar>

#include "uitoolkit/core/AttributeTable.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

const AttributeSetterOf<COptionUI> kOptionAttributes[] = {
    {L"group", [](COptionUI& o, const wchar_t* v) { o.SetGroup(v); }},
    {L"selected", [](COptionUI& o, const wchar_t* v) { o.SetSelected(ParseBool(v)); }},
    {L"selectedimage", [](COptionUI& o, const wchar_t* v) { o.SetSelectedImage(v); }},
    {L"hotselectedimage", [](COptionUI& o, const wchar_t* v) { o.SetHotSelectedImage(v); }},
    {L"foreimage", [](COptionUI& o, const wchar_t* v) { o.SetForeImage(v); }},
    {L"selectedtextcolor", [](COptionUI& o, const wchar_t* v) { o.SetSelectedTextColor(ParseColor(v)); }},
};

} // namespace

COptionUI::~COptionUI()
{
    if (m_host != nullptr && !m_group.IsEmpty())
        m_host->RemoveOptionGroup(m_group, this);
}

const wchar_t* COptionUI::GetClass() const { return L"OptionUI"; }

void* COptionUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"Option") == 0)
        return this;
    return CButtonUI::GetInterface(name);
}

void COptionUI::SetManager(CWindowHostUI* host, CControlUI* parent, bool init)
{
    CButtonUI::SetManager(host, parent, init);
    if (init && m_host != nullptr && !m_group.IsEmpty())
        m_host->AddOptionGroup(m_group, this);
}

bool COptionUI::Activate()
{
    // A "click" listener runs here.
    bool activated = false;
    if (!Survives([&] { activated = CButtonUI::Activate(); }) || !activated)
        return activated;
    SetSelected(m_group.IsEmpty() ? !m_selected : true);
    return true;
}

void COptionUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_button.SetState(m_selected ? kStateSelected : 0);
}

void COptionUI::SetSelected(bool selected)
{
    if (m_selected == selected)
        return;
    StoreSelected(selected);
    if (m_host == nullptr)
        return;
    if (!m_group.IsEmpty()) {
        // Inside a group only the newly selected option speaks; the others fall silent.
        if (!selected)
            return;
        if (const CUIPtrArray* group = m_host->GetOptionGroup(m_group)) {
            for (int i = 0; i < group->GetSize(); ++i) {
                auto* other = static_cast<CControlUI*>((*group)[i]);
                auto* option = other != this ? static_cast<COptionUI*>(other->GetInterface(L"Option")) : nullptr;
                if (option != nullptr)
                    option->SetSelected(false);
            }
        }
    }
    m_host->SendNotify(this, L"selectchanged");
}

void COptionUI::StoreSelected(bool selected)
{
    m_selected = selected;
    m_button.SetState(selected ? m_button.GetState() | kStateSelected : m_button.GetState() & ~kStateSelected);
    Invalidate();
}

void COptionUI::SetGroup(const wchar_t* group)
{
    if (m_group == group)
        return;
    if (m_host != nullptr && !m_group.IsEmpty())
        m_host->RemoveOptionGroup(m_group, this);
    m_group = group;
    if (m_host != nullptr && !m_group.IsEmpty())
        m_host->AddOptionGroup(m_group, this);
}

void COptionUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttribute(kOptionAttributes, *this, name, value))
        CButtonUI::SetAttribute(name, value);
}

void COptionUI::PaintStateImage(HDC hDC)
{
    m_button.RefreshFocusAndEnabled();
    m_button.SetState(m_button.GetState() & ~kStatePushed);
    // The whole state word picks the picture: hot and selected, hot and focused, or selected.
    bool drawn = false;
    switch (m_button.GetState()) {
    case kStateHot | kStateSelected | kStateFocused:
    case kStateHot | kStateSelected:
        drawn = !m_selectedImage.IsEmpty() && CButtonBehaviour::DrawStateImage(*this, hDC, m_hotSelectedImage);
        break;
    case kStateHot | kStateFocused:
        drawn = CButtonBehaviour::DrawStateImage(*this, hDC, m_hotImage);
        break;
    case kStateSelected | kStateFocused:
    case kStateSelected:
        drawn = CButtonBehaviour::DrawStateImage(*this, hDC, m_selectedImage);
        break;
    default:
        break;
    }
    if (!drawn)
        PaintButtonImage(hDC);
    CButtonBehaviour::DrawStateImage(*this, hDC, m_foreImage);
}

void COptionUI::PaintText(HDC hDC)
{
    if (!m_selected) {
        CButtonUI::PaintText(hDC);
        return;
    }
    const DWORD textColor = m_textColor;
    if (m_selectedTextColor != 0)
        m_textColor = m_selectedTextColor;
    CLabelUI::PaintText(hDC);
    m_textColor = textColor;
}

} // namespace SkinUI
