#include "uitoolkit/controls/MenuButton.h"

#include <cwchar>

#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

const wchar_t* const kImageNames[CMenuButton::kImageSlots] = {
    L"logoimage", L"hotlogoimage", L"normalimage", L"hotimage", L"pushedimage", L"focusedimage", L"disabledimage",
};

// The state images over the background, in the order they are tried.
struct StateImage {
    UINT flag;
    CMenuButton::ImageSlot slot;
};

const StateImage kStateImages[] = {
    {kStateDisabled, CMenuButton::kDisabled},
    {kStatePushed, CMenuButton::kPushed},
    {kStateHot, CMenuButton::kHot},
    {kStateFocused, CMenuButton::kFocused},
};

} // namespace

CMenuButton::CMenuButton()
{
    m_textStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
}

const wchar_t* CMenuButton::GetClass() const { return L"MenuButton"; }

void* CMenuButton::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"MenuButton") == 0)
        return this;
    return CButtonLikeUI::GetInterface(name);
}

void CMenuButton::SetImage(ImageSlot slot, const wchar_t* image)
{
    m_images[slot] = image;
    Invalidate();
}

void CMenuButton::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr)
        return;
    if (value == nullptr)
        value = L"";
    for (int slot = 0; slot < kImageSlots; ++slot) {
        if (std::wcscmp(name, kImageNames[slot]) == 0) {
            SetImage(static_cast<ImageSlot>(slot), value);
            return;
        }
    }
    int* const logo[] = {&m_logoX, &m_logoY, &m_logoWidth, &m_logoHeight};
    const wchar_t* const logoNames[] = {L"logo_x", L"logo_y", L"logo_width", L"logo_height"};
    for (int i = 0; i < 4; ++i) {
        if (std::wcscmp(name, logoNames[i]) == 0) {
            *logo[i] = ParseInt(value);
            return;
        }
    }
    CButtonLikeUI::SetAttribute(name, value);
}

RECT CMenuButton::GetLogoRect() const
{
    return RECT{m_logoX, m_logoY, m_logoX + m_logoWidth, m_logoY + m_logoHeight};
}

void CMenuButton::PaintStateImage(HDC hDC)
{
    m_button.RefreshFocusAndEnabled();
    CButtonBehaviour::DrawStateImage(*this, hDC, m_images[kNormal]);
    for (const StateImage& state : kStateImages) {
        if (m_button.Has(state.flag) && !m_images[state.slot].IsEmpty()) {
            CButtonBehaviour::DrawStateImage(*this, hDC, m_images[state.slot]);
            break;
        }
    }
    const bool hotLogo = m_button.Has(kStateHot) && !m_images[kHotLogo].IsEmpty();
    const CUIString& logo = m_images[hotLogo ? kHotLogo : kLogo];
    RECT rc = GetLogoRect();
    if (logo.IsEmpty() || ::IsRectEmpty(&rc))
        return;
    ::OffsetRect(&rc, m_rcItem.left, m_rcItem.top);
    CRenderKit::DrawImageBySpec(hDC, m_host, rc, m_rcPaint, logo);
}

void CMenuButton::PaintText(HDC hDC)
{
    m_button.RefreshFocusAndEnabled();
    PaintStateText(hDC, m_text);
}

} // namespace SkinUI
