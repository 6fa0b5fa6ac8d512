#include "uitoolkit/controls/custom/AnimationPlayer.h"

#include "uitoolkit/controls/custom/IAnimationFrames.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

CAnimationPlayer::~CAnimationPlayer()
{
    if (m_playing && m_owner.GetManager() != nullptr)
        m_owner.GetManager()->KillTimer(&m_owner, m_timerId);
}

void CAnimationPlayer::Play()
{
    CWindowHostUI* host = m_owner.GetManager();
    if (m_playing || host == nullptr || m_frames.GetFrameCount() < 2)
        return;
    const int time = m_frames.GetFrameTime(m_current);
    // A time of 0 would make the timer spin.
    if (time > 0 && host->SetTimer(&m_owner, m_timerId, static_cast<UINT>(time)))
        m_playing = true;
}

void CAnimationPlayer::Stop()
{
    if (!m_playing && m_current == 0)
        return;
    if (m_playing && m_owner.GetManager() != nullptr)
        m_owner.GetManager()->KillTimer(&m_owner, m_timerId);
    m_playing = false;
    m_current = 0;
    m_owner.Invalidate();
}

bool CAnimationPlayer::OnTimer(UINT_PTR timerId)
{
    if (timerId != m_timerId)
        return false;
    CWindowHostUI* host = m_owner.GetManager();
    if (host != nullptr)
        host->KillTimer(&m_owner, m_timerId);
    m_playing = false;
    m_owner.Invalidate();
    const UINT count = m_frames.GetFrameCount();
    if (count == 0)
        return true;  // nothing to step through
    m_current = (m_current + 1) % count;
    Play();
    return true;
}

} // namespace SkinUI
