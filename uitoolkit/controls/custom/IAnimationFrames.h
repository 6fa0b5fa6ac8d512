#pragma once
// IAnimationFrames: the frames an animated control plays, as its player (CAnimationPlayer)
// sees them.
#include <windows.h>

namespace SkinUI {

class IAnimationFrames {
public:
    // Frames to cycle through; below 2 there is nothing to animate.
    virtual UINT GetFrameCount() const = 0;
    // How long the frame stays, in milliseconds; 0 or less starts no timer.
    virtual int GetFrameTime(UINT frame) const = 0;

protected:
    ~IAnimationFrames() = default;
};

} // namespace SkinUI
