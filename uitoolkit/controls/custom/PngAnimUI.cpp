#include "uitoolkit/controls/custom/PngAnimUI.h"

#include <cwchar>

#include "uitoolkit/core/AttributeTable.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

const AttributeSetterOf<CPngAnimUI> kPngAttributes[] = {
    {L"framecount", [](CPngAnimUI& c, const wchar_t* v) { c.SetFrameCount(static_cast<int>(ParseInt(v))); }},
    {L"frametime", [](CPngAnimUI& c, const wchar_t* v) { c.SetFrameTime(static_cast<int>(ParseInt(v))); }},
};

} // namespace

const wchar_t* CPngAnimUI::GetClass() const { return L"PngAnimUI"; }

void* CPngAnimUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"PngAnim") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

ImageEntry* CPngAnimUI::GetStrip() const
{
    const wchar_t* name = GetAnimImage();
    if (m_host == nullptr || name[0] == L'\0')
        return nullptr;
    return m_host->GetOrLoadImage(name, nullptr, 0);
}

void CPngAnimUI::OnAnimImageChanged()
{
    if (IsAutoPlay())
        Player().Play();
}

void CPngAnimUI::InitControl()
{
    // One frame's size; a strip without frames or image keeps the control's size.
    const ImageEntry* strip = IsAutoSize() && m_frameCount > 0 ? GetStrip() : nullptr;
    if (strip != nullptr) {
        SetFixedWidth(strip->width / m_frameCount);
        SetFixedHeight(strip->height);
    }
    if (IsAutoPlay())
        Player().Play();
}

void CPngAnimUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttribute(kPngAttributes, *this, name, value))
        CAnimationUI::SetAttribute(name, value);
}

void CPngAnimUI::PaintBackImage(HDC hDC)
{
    if (m_frameCount <= 0)
        return;
    const ImageEntry* strip = GetStrip();
    RECT visible;
    if (strip == nullptr || !::IntersectRect(&visible, &m_rcPaint, &m_rcItem))
        return;
    // The current frame's part of the strip: its share of the width.
    const long long frame = GetCurrentFrame() % static_cast<UINT>(m_frameCount);
    const RECT source = {static_cast<LONG>(strip->width * frame / m_frameCount), 0,
                         static_cast<LONG>(strip->width * (frame + 1) / m_frameCount), strip->height};
    CRenderKit::DrawImage(hDC, strip->hBitmap, m_rcItem, m_rcPaint, source, RECT{0, 0, 0, 0}, strip->hasAlpha);
}

} // namespace SkinUI
