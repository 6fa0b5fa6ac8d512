#include "standins/tessaly/Courier.h"

#include "foundation/UniqueHandle.h"
#include "standins/tessaly/ComObject.h"

#include <string>

namespace tessaly {

namespace {

constexpr wchar_t kClass[] = L"TessalyCourier";

} // namespace

Courier::Courier()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &Courier::WindowProc;
    wc.hInstance = LibraryInstance();
    wc.lpszClassName = kClass;
    ::RegisterClassW(&wc);   // fails harmlessly when a previous courier registered it
    window_ = ::CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, LibraryInstance(), nullptr);
    if (window_)
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Courier::~Courier()
{
    if (window_) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

void Courier::UnregisterWindowClass()
{
    ::UnregisterClassW(kClass, LibraryInstance());
}

void Courier::Schedule(unsigned delayMs, std::function<void()> job)
{
    if (!window_)
        return;
    const UINT_PTR id = nextId_++;
    jobs_[id] = std::move(job);
    if (!::SetTimer(window_, id, delayMs < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : delayMs, nullptr))
        jobs_.erase(id);
}

LRESULT CALLBACK Courier::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const UINT probe = ::RegisterWindowMessageW(L"TessalyProbe");
    if (message == probe && probe != 0) {
        const std::wstring name = L"TessalyProbe_" + std::to_wstring(static_cast<unsigned long>(wParam));
        const mjz::UniqueHandle event(::OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str()));
        if (event)
            ::SetEvent(event.Get());
        return 0;
    }
    if (message != WM_TIMER)
        return ::DefWindowProcW(window, message, wParam, lParam);
    ::KillTimer(window, wParam);
    auto* self = reinterpret_cast<Courier*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return 0;
    const auto it = self->jobs_.find(wParam);
    if (it == self->jobs_.end())
        return 0;
    // The job may end the library (and this courier): nothing here is touched after it.
    std::function<void()> job = std::move(it->second);
    self->jobs_.erase(it);
    try {
        job();
    } catch (...) {
        // An answer that cannot be built is not delivered.
    }
    return 0;
}

} // namespace tessaly
