#pragma once
// The tree of the window-host tests: a window whose root holds two controls side by side ("a" at
// x 0..99, "b" at x 100..199, both 100 high) with a notification recorder attached, and a
// message filter that takes one message or runs an action. HostTest opens it before the body.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "kit/HostWindow.h"
#include "kit/Input.h"
#include "kit/NotifyRecorder.h"
#include "kit/Probe.h"

namespace host_fixture {

using kit::Box;
using kit::ProbeControl;
using kit::SameSequence;
using SkinUI::CWindowHostUI;
using SkinUI::IMessageFilterUI;
using Lines = std::vector<std::wstring>;

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
    // Without the pair, the root starts empty (a and b are null).
    explicit Fixture(bool pair = true)
        : a(pair ? Probe(L"a", &log, 0, 100) : nullptr), b(pair ? Probe(L"b", &log, 100, 100) : nullptr)
    {
    }
    kit::EventLog log;
    kit::NotifyRecorder rec;  // outlives the window, which notifies as it closes
    kit::HostWindow win;
    Box* root = new Box(L"root");
    ProbeControl* a;
    ProbeControl* b;

    // With layout, what the first paint logged and notified is cleared.
    bool Open(bool layout = true, int width = 200, int height = 100)
    {
        if (a != nullptr && b != nullptr) {
            root->Add(a);
            root->Add(b);
        }
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
    HWND Hwnd() const { return win.Hwnd(); }
    kit::Input In(bool preTranslate = false) const { return kit::Input(win.Hwnd(), preTranslate); }
    // The log without moves and hovers (the system adds its own moves when the pointer moves).
    Lines Steps() const { return log.Without({L"move", L"hover"}); }
    // The name of the focused control, empty for none.
    std::wstring Focus() const
    {
        SkinUI::CControlUI* focus = win.Host()->GetFocus();
        return focus != nullptr ? focus->GetName().GetData() : L"";
    }
    // What the controls logged while the window got WM_TIMER with this id.
    Lines Fire(WPARAM id)
    {
        log.Clear();
        ::SendMessageW(win.Hwnd(), WM_TIMER, id, 0);
        return log.lines;
    }
    // Destroys the window when a notification of the type arrives.
    void CloseOn(const wchar_t* type)
    {
        rec.onNotify = [this, wanted = std::wstring(type)](SkinUI::NotifyMessage& m) {
            if (m.type == wanted.c_str())
                ::DestroyWindow(win.Hwnd());
        };
    }
};

// The fixture's window open and laid out before the test body runs. The window outlives the
// body's locals: the callbacks that may capture them are dropped before it goes.
class HostTest : public testing::Test, protected Fixture {
protected:
    void SetUp() override { ASSERT_TRUE(Open()); }
    void TearDown() override
    {
        rec.onNotify = nullptr;
        win.onMessage = nullptr;
    }
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
