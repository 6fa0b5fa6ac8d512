#pragma once
// CPngAnimUI: plays a horizontal strip of equally wide frames from one image ("bkimage"), one
// frame every "frametime" milliseconds. With "autoplay" it starts when initialised, and again
// when its strip changes.
#include "uitoolkit/controls/custom/AnimationUI.h"

namespace SkinUI {

struct ImageEntry;

class CPngAnimUI : public CAnimationUI {
public:
    // The control's own timer id.
    static constexpr UINT kTimerId = 101;

    CPngAnimUI() : CAnimationUI(kTimerId) {}

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void InitControl() override;
    // "framecount" and "frametime"; anything else goes to the animation.
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintBackImage(HDC hDC) override;

    // Frames in the strip ("framecount"); negative counts as 0.
    void SetFrameCount(int count) { m_frameCount = count > 0 ? count : 0; }
    UINT GetFrameCount() const override { return static_cast<UINT>(m_frameCount); }
    // Milliseconds per frame ("frametime"); 0 or less does not animate.
    int GetFrameTime() const { return m_frameTime; }
    void SetFrameTime(int ms) { m_frameTime = ms; }

protected:
    int GetFrameTime(UINT) const override { return m_frameTime; }
    // Like a picture loaded anew, a new strip plays on its own.
    void OnAnimImageChanged() override;

private:
    // The strip from the host's image cache (loaded on first use); null when missing.
    ImageEntry* GetStrip() const;

    int m_frameCount = 0;
    int m_frameTime = 0;
};

} // namespace SkinUI
