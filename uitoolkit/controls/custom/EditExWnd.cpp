#include "uitoolkit/controls/custom/EditExWnd.h"

#include <string>


namespace SkinUI {

LRESULT CEditExWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CHAR:
        if (IsRefused(static_cast<wchar_t>(wParam)))
            return 0;
        // Other characters are the system edit's (no Tab moves here).
        return CNativeFieldWnd::ProcessMessage(message, wParam, lParam);
    case WM_COMMAND + kReflectOffset:
        if (HIWORD(wParam) == EN_CHANGE) {
            if (m_stripping)
                return 0;
            if (IsInitialised())
                StripRefused();
        }
        break;
    default:
        break;
    }
    return CEditWnd::ProcessMessage(message, wParam, lParam);
}

bool CEditExWnd::StripRefused()
{
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
    const int length = ::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    if (text.find_first_of(L" ,") == std::wstring::npos)
        return false;
    DWORD start = 0, end = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    // Each selection end moves back by the refused characters before it.
    std::wstring kept;
    DWORD newStart = 0, newEnd = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsRefused(text[i]))
            continue;
        kept += text[i];
        if (i < start)
            ++newStart;
        if (i < end)
            ++newEnd;
    }
    m_stripping = true;
    ::SetWindowTextW(m_hWnd, kept.c_str());
    SendMessage(EM_SETSEL, newStart, newEnd);
    m_stripping = false;
    return true;
}

} // namespace SkinUI
