#pragma once
// CAnimationPlayer: the playing state of an animated control. It steps the current frame on one
// host timer of the control, each frame for its own time, and starts over at frame 0 when it is
// stopped. The control owns it and paints the current frame.
#include <windows.h>

namespace SkinUI {

class CControlUI;
class IAnimationFrames;

class CAnimationPlayer {
public:
    CAnimationPlayer(CControlUI& owner, const IAnimationFrames& frames, UINT timerId)
        : m_owner(owner), m_frames(frames), m_timerId(timerId)
    {
    }
    // Kills the timer (the control's destructor runs this while its host is still known).
    ~CAnimationPlayer();
    CAnimationPlayer(const CAnimationPlayer&) = delete;
    CAnimationPlayer& operator=(const CAnimationPlayer&) = delete;

    // Starts the timer for the current frame unless playing already, there is nothing to
    // animate, the frame time is not positive or the control has no host.
    void Play();
    // A running animation: timer killed, back to frame 0, repainted.
    void Stop();
    // The control's timer event: true when it was this player's timer, which then shows the
    // next frame and waits that frame's time.
    bool OnTimer(UINT_PTR timerId);

    bool IsPlaying() const { return m_playing; }
    UINT GetCurrentFrame() const { return m_current; }

private:
    CControlUI& m_owner;
    const IAnimationFrames& m_frames;
    const UINT m_timerId;
    UINT m_current = 0;
    bool m_playing = false;
};

} // namespace SkinUI
