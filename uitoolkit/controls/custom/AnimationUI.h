#pragma once
// CAnimationUI: the base of the animated pictures (GIF, PNG strip). It keeps the picture's name
// ("bkimage"), "autoplay" and "autosize", and plays the frames on the control's own host timer:
// hidden it stops and goes back to the first frame, shown it starts again. Every other event is
// ignored.
#include "uitoolkit/controls/custom/AnimationPlayer.h"
#include "uitoolkit/controls/custom/IAnimationFrames.h"
#include "uitoolkit/core/ControlUI.h"

namespace SkinUI {

class CAnimationUI : public CControlUI, protected IAnimationFrames {
public:
    void SetVisible(bool visible = true) override;
    void HandleEvent(ControlEvent& event) override;
    // "bkimage", "autoplay" and "autosize"; anything else goes to the control.
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    // The picture's name ("bkimage"). A new name stops the animation.
    const wchar_t* GetAnimImage() const { return m_imageName.GetData(); }
    void SetAnimImage(const wchar_t* name);
    bool IsAutoPlay() const { return m_autoPlay; }
    void SetAutoPlay(bool autoPlay) { m_autoPlay = autoPlay; }
    bool IsAutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize) { m_autoSize = autoSize; }

    bool IsPlaying() const { return m_player.IsPlaying(); }
    UINT GetCurrentFrame() const { return m_player.GetCurrentFrame(); }

protected:
    explicit CAnimationUI(UINT timerId) : m_player(*this, *this, timerId) {}

    // The name changed and the animation stopped.
    virtual void OnAnimImageChanged() {}
    CAnimationPlayer& Player() { return m_player; }

private:
    CUIString m_imageName;
    bool m_autoPlay = true;
    bool m_autoSize = false;
    CAnimationPlayer m_player;
};

} // namespace SkinUI
