#include "kit/Pump.h"

#include "uitoolkit/core/WindowHostUI.h"

namespace kit {

namespace {

// Dispatches every queued message; false when nothing was there. Bounded in count and time: a
// window that keeps invalidating itself would otherwise keep WM_PAINT coming forever.
bool DispatchQueued(bool preTranslate)
{
    bool any = false;
    MSG msg;
    const DWORD start = ::GetTickCount();
    for (int i = 0; i < 10000 && ::GetTickCount() - start < 200 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
         ++i) {
        any = true;
        if (msg.message == WM_QUIT)
            continue;
        if (preTranslate && SkinUI::CWindowHostUI::TranslateMessage(&msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return any;
}

} // namespace

void Pump(DWORD ms, bool preTranslate)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        DispatchQueued(preTranslate);
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= ms)
            return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, bool preTranslate)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        DispatchQueued(preTranslate);
        if (done())
            return true;
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        const DWORD left = timeoutMs - elapsed;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, left < 10 ? left : 10, QS_ALLINPUT);
    }
}

void Drain(bool preTranslate)
{
    const DWORD start = ::GetTickCount();
    for (int round = 0; round < 100 && ::GetTickCount() - start < 1000 && DispatchQueued(preTranslate); ++round) {
    }
}

} // namespace kit
