#pragma once
// CMessageBoxView: the program's modal message box, built from the resource skin
// "MessageBoxView" (XML 142): a title, a message, an icon by type, an OK button, a cancel button
// shown only with a caller's text, and a close button. The caller keeps the object on its stack:
//
//   CMessageBoxView box(L"Title", L"Something went wrong.", CMessageBoxView::kTypeWarning);
//   const int result = box.ShowModal(owner);   // 1 OK, 2 cancel, 8 close, 32000 timed out
//
// A message line longer than 20 characters widens the window by 8 pixels per extra character,
// up to the width of the monitor's work area. The frame's colour comes from "BkColor" (ARGB in
// hexadecimal) in section "Public" of config.ini in the game-data folder. When the skin cannot
// be built, the system's message box shows the same title and text instead.
#include <windows.h>

#include <string>

#include "login/windows/SkinWindowWrapper.h"

class CMessageBoxView : public CSkinWindowWrapper {
public:
    enum Type : UINT { kTypeWarning = 0, kTypeSuccess = 1, kTypeReminder = 2 };
    enum Result : int { kResultOk = 1, kResultCancel = 2, kResultClose = 8, kResultTimedOut = 32000 };
    static constexpr int kSkinResourceId = 142;
    static constexpr UINT_PTR kCountdownTimerId = 101;
    static constexpr UINT kCountdownIntervalMs = 1000;
    static constexpr DWORD kDefaultBkColor = 0xFF3D4253;
    // Lines up to this many characters fit the skin's width; each further one takes this much.
    static constexpr size_t kLineFitChars = 20;
    static constexpr int kPixelsPerExtraChar = 8;

    // An empty title keeps the skin's ("提示"), also as the window's text.
    CMessageBoxView(const std::wstring& title, const std::wstring& message, UINT type);
    ~CMessageBoxView() override = default;

    // Shows the box owned by `parent` (disabled meanwhile) until a button, the countdown or the
    // system closes it; the result as above, or what the window base's modal loop gives (0 when
    // the window was destroyed otherwise or the loop met WM_QUIT).
    int ShowModal(HWND parent);
    // Before ShowModal: the cancel button's caption; the button shows only with one.
    void SetCancelText(const std::wstring& text) { m_cancelCaption = text; }
    // Before ShowModal: seconds counted down on the OK button, once a second; after the count
    // the box closes with kResultTimedOut. 0 or less: no countdown.
    void SetCountdown(int seconds) { m_countdown = seconds; }

    void Notify(SkinUI::NotifyMessage& msg) override;
    // The caller owns the object: the final message only unhooks it.
    void OnWindowDestroyed(HWND hWnd) override;
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    // Runs the countdown; every other window timer is taken too (control timers never get here).
    LRESULT OnTimer(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void WidenForLongestLine();
    void ShowTypeIcon();
    // The OK caption, with "(n)" while the countdown is above 0.
    void RefreshOkText();
    void ApplyBackgroundColor();
    int ShowSystemMessageBox(HWND parent) const;

    std::wstring m_title;
    std::wstring m_message;
    std::wstring m_okCaption;
    std::wstring m_cancelCaption;
    UINT m_type;
    int m_countdown = -1;
};
