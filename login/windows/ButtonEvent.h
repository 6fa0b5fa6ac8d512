#pragma once
// What the frame's caption buttons tell their listeners: one record per click, reported on the
// press. Listeners tell the buttons apart by name ("MinSize", "Close").
#include <windows.h>

#include <string>

#include "login/LoginEvent.h"

struct FrameButton;

struct ButtonEvent {
    std::wstring type = L"click";
    FrameButton* button = nullptr;
    WPARAM wParam = 0;  // of the mouse message
    LPARAM lParam = 0;
};

struct IButtonEvent : IEvent {
    // May destroy the frame that fires it.
    virtual void OnButtonEvent(ButtonEvent& event) = 0;

protected:
    ~IButtonEvent() = default;
};
