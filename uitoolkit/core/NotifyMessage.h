#pragma once
// Notifications from controls to their window ("click", "setfocus", ...), the listener
// interface that receives them and the message-filter interface of the window host.
#include <windows.h>

#include "uitoolkit/core/UIString.h"

namespace SkinUI {

class CControlUI;

struct NotifyMessage {
    CUIString type;             // the notification name
    CControlUI* sender = nullptr;
    DWORD timestamp = 0;        // GetTickCount when dispatched
    POINT point = {0, 0};       // the host's last mouse position when dispatched
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Receives the notifications of a window's controls (CWindowHostUI::AddNotifyListener). A
// listener may destroy the window and its host.
class INotifyUI {
public:
    virtual void Notify(NotifyMessage& msg) = 0;

protected:
    ~INotifyUI() = default;
};

// Offered window messages before the host handles them. Setting `handled` consumes the message
// and the return value becomes its result.
class IMessageFilterUI {
public:
    virtual LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

protected:
    ~IMessageFilterUI() = default;
};

} // namespace SkinUI
