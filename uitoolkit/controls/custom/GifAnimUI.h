#pragma once
// CGifAnimUI: plays a multi-frame GIF through GDI+, each frame for the delay the file gives it,
// scaled into the control. It starts when loaded (with "autoplay"), stops while hidden and starts
// over from the first frame when shown again.
#include <memory>

#include "uitoolkit/controls/custom/AnimationPlayer.h"
#include "uitoolkit/controls/custom/IAnimationFrames.h"
#include "uitoolkit/core/ControlUI.h"

namespace SkinUI {

class CGifFrames;

class CGifAnimUI : public CControlUI, private IAnimationFrames {
public:
    // The control's own timer id.
    static constexpr UINT kTimerId = 100;

    CGifAnimUI();
    ~CGifAnimUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetVisible(bool visible = true) override;
    void InitControl() override;
    void HandleEvent(ControlEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void Paint(HDC hDC, const RECT& rcDirty) override;

    // The picture's name ("bkimage"). A new name stops the animation and drops the picture; the
    // next paint loads the new one.
    const wchar_t* GetAnimImage() const { return m_imageName.GetData(); }
    void SetAnimImage(const wchar_t* name);
    bool IsAutoPlay() const { return m_autoPlay; }
    void SetAutoPlay(bool autoPlay) { m_autoPlay = autoPlay; }
    bool IsAutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize) { m_autoSize = autoSize; }

    bool IsPlaying() const { return m_player.IsPlaying(); }
    UINT GetCurrentFrame() const { return m_player.GetCurrentFrame(); }
    UINT GetFrameCount() const override;

private:
    int GetFrameTime(UINT frame) const override;
    // Finds the picture's bytes and decodes them; with autosize the control takes the picture's
    // size, with autoplay it starts.
    void Load();

    std::unique_ptr<CGifFrames> m_frames;
    CUIString m_imageName;
    bool m_loadPending = true;  // the name changed since the last load
    bool m_autoPlay = true;
    bool m_autoSize = false;
    CAnimationPlayer m_player;  // last: it refers to the frames above
};

} // namespace SkinUI
