#pragma once
// The tree of the window-host tests: a window whose root holds two controls side by side ("a" at
// x 0..99, "b" at x 100..199, both 100 high) with a notification recorder attached, and a
// message filter that takes one message or runs an action.
#include <functional>
#include <vector>

#include "kit/HostWindow.h"
#include "kit/NotifyRecorder.h"
#include "kit/Probe.h"

namespace host_fixture {

using kit::Box;
using kit::ProbeControl;
using SkinUI::CWindowHostUI;
using SkinUI::IMessageFilterUI;

inline ProbeControl* Probe(const wchar_t* name, kit::EventLog* log, int x, int w, int y = 0, int h = 100,
                           UINT behaviour = 0)
{
    auto* p = new ProbeControl(name, log, behaviour);
    p->SetFixedXY(SIZE{x, y});
    p->SetFixedWidth(w);
    p->SetFixedHeight(h);
    return p;
}

struct Fixture {
    kit::EventLog log;
    kit::HostWindow win;
    kit::NotifyRecorder rec;
    Box* root = new Box(L"root");
    ProbeControl* a = Probe(L"a", &log, 0, 100);
    ProbeControl* b = Probe(L"b", &log, 100, 100);

    // With layout, what the first paint logged and notified is cleared.
    bool Open(bool layout = true, int width = 200, int height = 100)
    {
        root->Add(a);
        root->Add(b);
        if (!win.Open(root, width, height))
            return false;
        win.Host()->AddNotifyListener(&rec);
        if (!layout)
            return true;
        const bool ok = win.Layout();
        log.Clear();
        rec.Clear();
        return ok;
    }
    CWindowHostUI* Host() const { return win.Host(); }
    // The log without moves and hovers (the system adds its own moves when the pointer moves).
    std::vector<std::wstring> Steps() const { return log.Without({L"move", L"hover"}); }
};

// A filter that takes one message with a fixed result, or runs an action.
class Filter : public IMessageFilterUI {
public:
    LRESULT MessageHandler(UINT message, WPARAM, LPARAM, bool& handled) override
    {
        seen.push_back(message);
        if (action && action(message))
            return 0;
        if (message == take) {
            handled = true;
            return result;
        }
        return 0;
    }
    UINT take = 0;
    LRESULT result = 0;
    std::vector<UINT> seen;
    std::function<bool(UINT)> action;  // true: stop here (the window may be gone)
};

} // namespace host_fixture
