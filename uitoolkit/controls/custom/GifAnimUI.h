#pragma once
// CGifAnimUI: plays a multi-frame GIF through GDI+, each frame for the delay the file gives it,
// scaled into the control. The picture is loaded when the control is initialised and at the
// first paint after its name changed; with "autoplay" it then starts.
#include <memory>

#include "uitoolkit/controls/custom/AnimationUI.h"

namespace SkinUI {

class CGifFrames;

class CGifAnimUI : public CAnimationUI {
public:
    // The control's own timer id.
    static constexpr UINT kTimerId = 100;

    CGifAnimUI();
    ~CGifAnimUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void InitControl() override;
    void Paint(HDC hDC, const RECT& rcDirty) override;

    UINT GetFrameCount() const override;

protected:
    int GetFrameTime(UINT frame) const override;
    // The picture goes; the next paint loads the new one.
    void OnAnimImageChanged() override;

private:
    // Finds the picture's bytes and decodes them; with autosize the control takes the picture's
    // size, with autoplay it starts.
    void Load();

    std::unique_ptr<CGifFrames> m_frames;
    bool m_loadPending = true;  // the name changed since the last load
};

} // namespace SkinUI
