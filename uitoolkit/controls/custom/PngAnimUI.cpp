#include "uitoolkit/controls/custom/PngAnimUI.h"

#include <cwchar>

#include "uitoolkit/core/AttributeTable.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

const AttributeSetterOf<CPngAnimUI> kPngAttributes[] = {
    {L"bkimage", [](CPngAnimUI& c, const wchar_t* v) { c.SetAnimImage(v); }},
    {L"autoplay", [](CPngAnimUI& c, const wchar_t* v) { c.SetAutoPlay(ParseBool(v)); }},
    {L"autosize", [](CPngAnimUI& c, const wchar_t* v) { c.SetAutoSize(ParseBool(v)); }},
    {L"framecount", [](CPngAnimUI& c, const wchar_t* v) { c.SetFrameCount(static_cast<int>(ParseInt(v))); }},
    {L"frametime", [](CPngAnimUI& c, const wchar_t* v) { c.SetFrameTime(static_cast<int>(ParseInt(v))); }},
};

} // namespace

CPngAnimUI::CPngAnimUI() : m_player(*this, *this, kTimerId) {}

CPngAnimUI::~CPngAnimUI() = default;

const wchar_t* CPngAnimUI::GetClass() const { return L"PngAnimUI"; }

void* CPngAnimUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"PngAnim") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

ImageEntry* CPngAnimUI::GetStrip() const
{
    if (m_host == nullptr || m_imageName.IsEmpty())
        return nullptr;
    return m_host->GetOrLoadImage(m_imageName, nullptr, 0);
}

void CPngAnimUI::SetAnimImage(const wchar_t* name)
{
    if (m_imageName == (name != nullptr ? name : L""))
        return;
    m_imageName = name;
    m_player.Stop();
    Invalidate();
    // Like a picture loaded anew, the new strip plays on its own.
    if (m_autoPlay)
        m_player.Play();
}

void CPngAnimUI::InitControl()
{
    // One frame's size; a strip without frames or image keeps the control's size.
    const ImageEntry* strip = m_autoSize && m_frameCount > 0 ? GetStrip() : nullptr;
    if (strip != nullptr) {
        SetFixedWidth(strip->width / m_frameCount);
        SetFixedHeight(strip->height);
    }
    if (m_autoPlay)
        m_player.Play();
}

void CPngAnimUI::SetVisible(bool visible)
{
    CControlUI::SetVisible(visible);
    if (!visible)
        m_player.Stop();
    else
        m_player.Play();
}

void CPngAnimUI::HandleEvent(ControlEvent& event)
{
    // Only the animation's timer matters to the control.
    if (event.type == kEventTimer)
        m_player.OnTimer(event.wParam);
}

void CPngAnimUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttribute(kPngAttributes, *this, name, value))
        CControlUI::SetAttribute(name, value);
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
    const long long frame = m_player.GetCurrentFrame() % static_cast<UINT>(m_frameCount);
    const RECT source = {static_cast<LONG>(strip->width * frame / m_frameCount), 0,
                         static_cast<LONG>(strip->width * (frame + 1) / m_frameCount), strip->height};
    CRenderKit::DrawImage(hDC, strip->hBitmap, m_rcItem, m_rcPaint, source, RECT{0, 0, 0, 0}, strip->hasAlpha);
}

} // namespace SkinUI
