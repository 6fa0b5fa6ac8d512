#pragma once
// The tree of the window-host delivery tests: a window whose root holds two controls side by
// side ("a" at x 0..99, "b" at x 100..199, both 100 high) with a notification recorder attached,
// and a message filter that takes one message or runs an action.
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

inline ProbeControl* Probe(const wchar_t* name, kit::EventLog* log, int x, int w)
{
    auto* p = new ProbeControl(name, log);
    p->SetFixedXY(SIZE{x, 0});
    p->SetFixedWidth(w);
    p->SetFixedHeight(100);
    return p;
}

struct Fixture {
    kit::EventLog log;
    kit::HostWindow win;
    kit::NotifyRecorder rec;
    Box* root = new Box(L"root");
    ProbeControl* a = Probe(L"a", &log, 0, 100);
    ProbeControl* b = Probe(L"b", &log, 100, 100);

    bool Open(bool layout = true)
    {
        root->Add(a);
        root->Add(b);
        if (!win.Open(root, 200, 100))
            return false;
        win.Host()->AddNotifyListener(&rec);
        return !layout || win.Layout();
    }
    CWindowHostUI* Host() const { return win.Host(); }
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
