#pragma once
// One caption button of the layered frame: a sprite per state (normal, hot, pushed) taken from a
// part of an image file, placed at a fixed point of the frame.
#include <windows.h>

#include <string>

struct FrameButton {
    enum State : UINT { kNormal = 0, kHot = 1, kPushed = 2, kStateCount = 3 };

    UINT state = kNormal;
    std::wstring image[kStateCount];  // full image path per state; empty when not given
    std::wstring name;                // the Button.ini section: "MinSize" or "Close"
    std::wstring toolTip;
    RECT source[kStateCount] = {};    // part of the image file per state
    int x = 0;                        // top-left corner in the frame
    int y = 0;
    bool dirty = true;                // the frame must repaint it

    // The source part of the current state.
    const RECT& CurrentSource() const { return source[state]; }
    // Where the button lies in the frame: its position and the size of the current source part.
    RECT FrameRect() const;
    // Whether the point (window coordinates) lies on the button.
    bool HitTest(POINT pt) const;
    // Whether state s has an image path and a source part with area.
    bool IsUsable(UINT s) const;
    // Moves to state s when it differs and is usable; marks the button dirty. True on a change.
    bool SetState(UINT s);
};
