#include "uitoolkit/controls/custom/GifAnimUI.h"

#include <cwchar>

#include "uitoolkit/controls/custom/GifFrames.h"
#include "uitoolkit/core/AttributeTable.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/SkinFileReader.h"

namespace SkinUI {

namespace {

const AttributeSetterOf<CGifAnimUI> kGifAttributes[] = {
    {L"bkimage", [](CGifAnimUI& c, const wchar_t* v) { c.SetAnimImage(v); }},
    {L"autoplay", [](CGifAnimUI& c, const wchar_t* v) { c.SetAutoPlay(ParseBool(v)); }},
    {L"autosize", [](CGifAnimUI& c, const wchar_t* v) { c.SetAutoSize(ParseBool(v)); }},
};

} // namespace

CGifAnimUI::CGifAnimUI() : m_player(*this, *this, kTimerId) {}

CGifAnimUI::~CGifAnimUI() = default;

const wchar_t* CGifAnimUI::GetClass() const { return L"GifAnimUI"; }

void* CGifAnimUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"GifAnim") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

UINT CGifAnimUI::GetFrameCount() const { return m_frames != nullptr ? m_frames->GetFrameCount() : 0; }

int CGifAnimUI::GetFrameTime(UINT frame) const
{
    return m_frames != nullptr ? static_cast<int>(m_frames->GetFrameDelay(frame)) : 0;
}

void CGifAnimUI::SetAnimImage(const wchar_t* name)
{
    if (m_imageName == (name != nullptr ? name : L""))
        return;
    m_imageName = name;
    m_player.Stop();
    m_frames.reset();
    m_loadPending = true;
    Invalidate();
}

void CGifAnimUI::Load()
{
    m_loadPending = false;
    m_frames.reset();
    if (m_imageName.IsEmpty())
        return;
    // 1. The bytes: through the skin search paths and zip, else the name as a file path.
    SkinFileData file = ReadSkinFile(m_imageName);
    if (!file)
        file = ReadWholeSkinFile(m_imageName);
    if (!file)
        return;
    // 2.-3. Decoded with its frames and their delays.
    m_frames = CGifFrames::Load(file.data.get(), file.size);
    if (m_frames == nullptr)
        return;
    // 4. The picture's own size.
    if (m_autoSize) {
        SetFixedWidth(m_frames->GetWidth());
        SetFixedHeight(m_frames->GetHeight());
    }
    // 5. Playing.
    if (m_autoPlay)
        m_player.Play();
}

void CGifAnimUI::InitControl() { Load(); }

void CGifAnimUI::SetVisible(bool visible)
{
    CControlUI::SetVisible(visible);
    if (!visible)
        m_player.Stop();
    else if (m_frames != nullptr)
        m_player.Play();
}

void CGifAnimUI::HandleEvent(ControlEvent& event)
{
    // Only the animation's timer matters to the control.
    if (event.type == kEventTimer)
        m_player.OnTimer(event.wParam);
}

void CGifAnimUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttribute(kGifAttributes, *this, name, value))
        CControlUI::SetAttribute(name, value);
}

void CGifAnimUI::Paint(HDC hDC, const RECT& rcDirty)
{
    if (!::IntersectRect(&m_rcPaint, &rcDirty, &m_rcItem))
        return;
    if (m_frames == nullptr && m_loadPending)
        Load();
    if (m_frames != nullptr)
        m_frames->Draw(hDC, m_rcItem, m_rcPaint, m_player.GetCurrentFrame());
}

} // namespace SkinUI
