#pragma once
// Drives a window's own modal loop from inside: a thread timer runs the steps in order, each
// until it returns true, once the window of the given class is shown. Steps post their input
// (never pump), so that the modal loop itself dispatches it. A script still unfinished after
// the time limit closes the window with kTimedOutResult, so that a broken test ends.
//
//   ModalScript script(L"MessageBoxView", {[&](HWND w) { ...; return true; }});
//   const int result = box.ShowModal(owner);
//   EXPECT_TRUE(script.Finished());
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <vector>

class ModalScript {
public:
    using Step = std::function<bool(HWND)>;
    static constexpr UINT kTimedOutResult = 0xDEAD;

    ModalScript(const wchar_t* windowClass, std::vector<Step> steps, DWORD limitMs = 8000)
        : m_class(windowClass), m_steps(std::move(steps)), m_limit(limitMs), m_start(::GetTickCount())
    {
        s_current = this;
        m_timer = ::SetTimer(nullptr, 0, 20, &ModalScript::Tick);
    }
    ~ModalScript()
    {
        ::KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    bool Finished() const { return m_next == m_steps.size(); }

    // Posts a left click at a client point, as the system would queue it.
    static void PostClick(HWND hWnd, POINT pt)
    {
        const LPARAM at = MAKELPARAM(pt.x, pt.y);
        ::PostMessageW(hWnd, WM_MOUSEMOVE, 0, at);
        ::PostMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(hWnd, WM_LBUTTONUP, 0, at);
    }
    static POINT Centre(const RECT& rc) { return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }
    // A step that keeps the window up for OMBREL_SHOW_MS (for a screenshot of the display), else
    // not at all.
    static Step Hold()
    {
        char text[16] = {};
        const DWORD ms = ::GetEnvironmentVariableA("OMBREL_SHOW_MS", text, 16) ? std::strtoul(text, nullptr, 10) : 0;
        return [ms, since = DWORD{0}](HWND) mutable {
            since = since ? since : ::GetTickCount();
            return ::GetTickCount() - since >= ms;
        };
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        ModalScript* self = s_current;
        if (self == nullptr || self->m_running) return;
        HWND hWnd = ::FindWindowW(self->m_class, nullptr);
        if (hWnd == nullptr || !::IsWindowVisible(hWnd)) return;
        if (::GetTickCount() - self->m_start > self->m_limit) {
            ::PostMessageW(hWnd, WM_CLOSE, 0, kTimedOutResult);
            return;
        }
        if (self->Finished()) return;
        self->m_running = true;  // a step's own message calls do not re-enter the script
        if (self->m_steps[self->m_next](hWnd)) ++self->m_next;
        self->m_running = false;
    }

    static inline ModalScript* s_current = nullptr;
    const wchar_t* m_class;
    std::vector<Step> m_steps;
    DWORD m_limit;
    DWORD m_start;
    UINT_PTR m_timer = 0;
    size_t m_next = 0;
    bool m_running = false;
};
