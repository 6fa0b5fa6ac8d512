#pragma once
// The login dialog's frame: a layered window showing the skin's background picture with its
// caption buttons ("MinSize", "Close" from skin\Button.ini of the game-data folder), their
// tooltips, and click reports to IButtonEvent listeners. Windows attached to it (the login
// dialog) follow it at the offsets of skin\Display.ini:
//
//   [Display]
//   LoginWindowOffset_X=12
//   LoginWindowOffset_Y=40
//
// Pressing the background drags the frame. Closing it by the system menu or Alt+F4 asks the
// attached windows instead (WM_USER+100), and key presses go to them too. Activated (a click, a
// drag, the system's switching), the frame passes the activation on to the first attached window
// that shows, so that the keyboard focus never lands on the frame. The attached windows hide with
// the frame (minimised or hidden) and show again with it, at their offsets right above it,
// without taking the activation.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/AliveToken.h"
#include "login/windows/ButtonEvent.h"
#include "login/windows/FrameButton.h"
#include "login/windows/IrregularWindow.h"
#include "uitoolkit/core/ImageEntry.h"
#include "uitoolkit/core/UIPtrArray.h"
#include "uitoolkit/core/UIStringMap.h"

struct AttachedWindow {
    HWND hWnd = nullptr;
    int x = 0;  // offset from the frame's top-left corner
    int y = 0;
    DWORD flags = 1;
};

class CFrameView : public CIrregularWindow {
public:
    // What the frame asks an attached window to close with.
    static constexpr UINT kCloseRequest = WM_USER + 100;
    // Posted to itself when it shows again: the attached windows come back once the showing,
    // activation included, is over (an activation afterwards would put the frame above them).
    static constexpr UINT kShowAttachedMessage = WM_APP + 0x122;

    // `baseDirectory`: the game-data folder, ending in a backslash.
    explicit CFrameView(const std::wstring& baseDirectory);
    ~CFrameView() override;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Repaints background and buttons when some button changed since the last repaint.
    void Redraw();
    // Keeps `hWnd` at the skin's offsets from the frame; false when it is no window.
    bool AttachWindow(HWND hWnd);
    void AddButtonListener(IButtonEvent* listener) { m_listeners.Add(listener); }

    const std::vector<FrameButton*>& GetButtons() const { return m_buttons; }
    const std::vector<AttachedWindow>& GetAttachedWindows() const { return m_attached; }
    HWND GetToolTipWindow() const { return m_hToolTip; }

private:
    using Handler = bool (CFrameView::*)(WPARAM, LPARAM, LRESULT&);
    struct MessageHandler {
        UINT message;
        Handler handler;
    };
    static const MessageHandler kHandlers[];

    // Each returns false to leave the message to DefWindowProcW.
    bool OnCreate(WPARAM, LPARAM, LRESULT& result);
    bool OnFrameMoved(WPARAM, LPARAM, LRESULT& result);
    bool OnWindowPosChanged(WPARAM, LPARAM lParam, LRESULT& result);
    bool OnSize(WPARAM wParam, LPARAM, LRESULT& result);
    bool OnShowAttached(WPARAM, LPARAM, LRESULT& result);
    bool OnActivate(WPARAM wParam, LPARAM, LRESULT& result);
    bool OnActivateApp(WPARAM wParam, LPARAM, LRESULT& result);
    bool OnSysCommand(WPARAM wParam, LPARAM, LRESULT& result);
    bool OnKeyDown(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnMouseMove(WPARAM, LPARAM, LRESULT& result);
    bool OnLeftButtonDown(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnMouseHover(WPARAM, LPARAM, LRESULT& result);
    bool OnMouseLeave(WPARAM, LPARAM, LRESULT& result);

    // The cursor in window coordinates.
    POINT CursorInWindow() const;
    // The first button in list order under the point.
    FrameButton* ButtonAt(POINT pt) const;
    void PostToAttached(UINT message, WPARAM wParam, LPARAM lParam) const;
    // The window that takes the activation in the frame's place: the first attached window that
    // shows and takes input; null when there is none. (While a modal window of the dialog runs,
    // the frame is disabled with it and is not activated by the player.)
    HWND ActivationHeir() const;
    // Shows every attached window at its offset, stacked right above the frame, not activated.
    void ShowAttached() const;
    void ShowAttachedLater();
    void HideAttached() const;
    // Minimised or hidden: the attached windows go (they would float alone on the desktop), and
    // the caption buttons and their tooltip forget the press and hover that sent the frame away.
    void PutAway();
    // Reports a click to every listener, in order; stops when a listener destroys the frame.
    void FireClick(FrameButton* button, WPARAM wParam, LPARAM lParam);
    void ShowToolTip(FrameButton* button);
    void HideToolTip();
    // The decoded image of a path, loaded on first use; null when it cannot be loaded.
    const SkinUI::ImageEntry* CachedImage(const std::wstring& path);

    HWND m_hToolTip = nullptr;
    std::vector<std::unique_ptr<FrameButton>> m_loadedButtons;
    std::wstring m_baseDirectory;
    std::vector<FrameButton*> m_buttons;  // hit testing and painting order
    SkinUI::CUIPtrArray m_listeners;      // IButtonEvent*
    TOOLINFOW m_toolInfo = {};
    SkinUI::CUIStringMap m_images{83};    // image path -> owned ImageEntry
    std::vector<AttachedWindow> m_attached;
    bool m_tracking = false;              // a hover / leave report is pending
    bool m_minimised = false;             // the last size report was a minimise
    bool m_showPending = false;           // kShowAttachedMessage is on its way
    // Ends when the frame is destroyed, so a firing loop can tell.
    mjz::AliveToken m_alive;
};
