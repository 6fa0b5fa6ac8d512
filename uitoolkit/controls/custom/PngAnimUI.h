#pragma once
// CPngAnimUI: plays a horizontal strip of equally wide frames from one image ("bkimage"), one
// frame every "frametime" milliseconds. It starts when initialised (with "autoplay"), stops
// while hidden and starts over from the first frame when shown again.
#include "uitoolkit/controls/custom/AnimationPlayer.h"
#include "uitoolkit/controls/custom/IAnimationFrames.h"
#include "uitoolkit/core/ControlUI.h"

namespace SkinUI {

struct ImageEntry;

class CPngAnimUI : public CControlUI, private IAnimationFrames {
public:
    // The control's own timer id.
    static constexpr UINT kTimerId = 101;

    CPngAnimUI();
    ~CPngAnimUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetVisible(bool visible = true) override;
    void InitControl() override;
    void HandleEvent(ControlEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintBackImage(HDC hDC) override;

    // The strip's image name ("bkimage"). A new name stops the animation; with autoplay an
    // initialised control starts again on the new strip.
    const wchar_t* GetAnimImage() const { return m_imageName.GetData(); }
    void SetAnimImage(const wchar_t* name);
    bool IsAutoPlay() const { return m_autoPlay; }
    void SetAutoPlay(bool autoPlay) { m_autoPlay = autoPlay; }
    bool IsAutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize) { m_autoSize = autoSize; }
    // Frames in the strip ("framecount"); negative counts as 0.
    void SetFrameCount(int count) { m_frameCount = count > 0 ? count : 0; }
    UINT GetFrameCount() const override { return static_cast<UINT>(m_frameCount); }
    // Milliseconds per frame ("frametime"); 0 or less does not animate.
    int GetFrameTime() const { return m_frameTime; }
    void SetFrameTime(int ms) { m_frameTime = ms; }

    bool IsPlaying() const { return m_player.IsPlaying(); }
    UINT GetCurrentFrame() const { return m_player.GetCurrentFrame(); }

private:
    int GetFrameTime(UINT) const override { return m_frameTime; }
    // The strip from the host's image cache (loaded on first use); null when missing.
    ImageEntry* GetStrip() const;

    int m_frameCount = 0;
    int m_frameTime = 0;
    CUIString m_imageName;
    bool m_autoPlay = true;
    bool m_autoSize = false;
    CAnimationPlayer m_player;
};

} // namespace SkinUI
