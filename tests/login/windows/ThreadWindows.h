#pragma once
// The windows of the test's own thread: how many of a class are shown, and the toolkit object
// behind a window (the window base keeps it in the window's user data).
//
//   EXPECT_EQ(CountThreadWindows(L"LoginDlg"), 1);
//   auto* box = WindowObject<CMessageBoxView>(hWnd);
#include <windows.h>

#include <cwchar>

#include "uitoolkit/core/WindowWnd.h"

struct ThreadWindowSearch {
    const wchar_t* cls;
    int count;
    static BOOL CALLBACK Match(HWND w, LPARAM data)
    {
        auto* search = reinterpret_cast<ThreadWindowSearch*>(data);
        wchar_t name[64] = {};
        ::GetClassNameW(w, name, 64);
        if (::IsWindowVisible(w) && std::wcscmp(name, search->cls) == 0) ++search->count;
        return TRUE;
    }
};

// The visible windows of this thread with the class.
inline int CountThreadWindows(const wchar_t* cls)
{
    ThreadWindowSearch search{cls, 0};
    ::EnumThreadWindows(::GetCurrentThreadId(), &ThreadWindowSearch::Match, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

// The object of that type behind a toolkit window; null for another window.
template <class T>
T* WindowObject(HWND w)
{
    return dynamic_cast<T*>(reinterpret_cast<SkinUI::CWindowWnd*>(::GetWindowLongPtrW(w, GWLP_USERDATA)));
}
