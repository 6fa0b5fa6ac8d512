#pragma once
// Driving an edit field's native window in tests: focus the field (which opens the window),
// type into the window, read its text.
#include <windows.h>

#include <string>

#include "kit/Pump.h"
#include "uitoolkit/controls/EditFieldUI.h"

namespace edit_driver {

// Gives the field the host's focus and lets its native window open; that window, or null.
inline HWND Focus(SkinUI::CEditFieldUI* field)
{
    field->SetFocus();
    kit::Drain();
    return field->GetNativeWindow();
}

// Each character as WM_CHAR, as typing does.
inline void Type(HWND hWnd, const std::wstring& text)
{
    for (wchar_t ch : text)
        ::SendMessageW(hWnd, WM_CHAR, ch, 1);
}

inline std::wstring WindowText(HWND hWnd)
{
    wchar_t buffer[256] = {};
    ::GetWindowTextW(hWnd, buffer, 256);
    return buffer;
}

} // namespace edit_driver
