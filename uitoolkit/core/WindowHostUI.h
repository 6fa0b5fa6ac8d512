#pragma once
// CWindowHostUI binds one native window to one tree of controls. The window hands every message
// to MessageHandler before its own handling; the host lays the tree out, paints it
// double-buffered, turns mouse and keyboard messages into ControlEvents for the right control,
// keeps focus, hover, capture and Tab order, runs control timers, shows tooltips, and delivers
// notifications to the window's listeners synchronously or through a queue. A process-wide list
// of hosts lets modal loops pre-translate messages (Tab, shortcuts) through TranslateMessage.
//
// The resource side (fonts, images, default attributes, colours, resource parent) is the base
// class CHostResources.
//
// Re-entrancy: any listener, filter, delegate or control handler may destroy the window and the
// host (the call-out rule of CControlUI). The host's own handlers check its alive token after
// each call-out; a control watches itself (CControlUI::Watch), which covers the host too.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "foundation/AliveToken.h"
#include "uitoolkit/core/ControlEvent.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/ControlNameMap.h"
#include "uitoolkit/core/GdiObject.h"
#include "uitoolkit/core/HostResources.h"
#include "uitoolkit/core/NotifyMessage.h"
#include "uitoolkit/core/OffscreenSurface.h"
#include "uitoolkit/core/UIPtrArray.h"
#include "uitoolkit/core/UIRect.h"
#include "uitoolkit/core/UIString.h"
#include "uitoolkit/core/UIStringMap.h"

namespace SkinUI {

class CControlUI;

// One control timer.
struct TimerEntry {
    CControlUI* control = nullptr;
    UINT localId = 0;      // the control's own number
    HWND window = nullptr;
    UINT windowId = 0;     // the id given to the platform's SetTimer
    bool stopped = false;
};

class CWindowHostUI : public CHostResources {
public:
    CWindowHostUI();
    ~CWindowHostUI() override;

    // ---- binding and tree ----
    bool Init(HWND hWnd);
    HWND GetPaintWindow() const { return m_hWnd; }
    HDC GetPaintDC() const { return m_hPaintDC; }
    // Replaces the root (the old one goes to delayed clean-up) and initialises the new tree.
    bool AttachRoot(CControlUI* root);
    CControlUI* GetRoot() const { return m_root; }
    // Attaches and initialises a subtree and registers its named controls.
    bool InitControlTree(CControlUI* control, CControlUI* parent = nullptr);
    CControlUI* FindControlByName(const wchar_t* name) const;
    // The first control of the subtree (null parent: the root) whose name equals ignoring case.
    CControlUI* FindSubControlByName(CControlUI* parent, const wchar_t* name) const;
    // The topmost visible, hit-testable control at the client point.
    CControlUI* FindControlAtPoint(POINT pt) const;
    // Called by every control's destructor: no focus, hover, timer, name or queued notification
    // refers to the control afterwards.
    void ForgetControl(CControlUI* control);
    // Detaches the control and deletes it when WM_APP+1 arrives.
    void AddDelayedCleanup(CControlUI* control);
    void SetUpdateNeeded() { m_updateNeeded = true; }
    bool IsUpdateNeeded() const { return m_updateNeeded; }
    void Invalidate(const RECT& rc);
    // Whether the whole client area waits for the next paint: repaint requests add nothing then.
    bool IsWholeClientInvalid() const { return m_wholeClientInvalid; }
    // Repaint requests made while a batch is open (batches nest) are gathered into one rectangle
    // and sent to the window when the outermost batch closes: a layout pass over many controls
    // then makes one server call instead of one per control.
    class InvalidateBatch {
    public:
        explicit InvalidateBatch(CWindowHostUI* host);  // null: no batch
        ~InvalidateBatch();
        InvalidateBatch(const InvalidateBatch&) = delete;
        InvalidateBatch& operator=(const InvalidateBatch&) = delete;

    private:
        CWindowHostUI* m_host;
        mjz::AliveToken::Life m_life;  // the batch is left alone when the host died meanwhile
    };

    // ---- listeners and filters (insertion order; Remove takes the first equal entry) ----
    bool AddNotifyListener(INotifyUI* listener);
    bool RemoveNotifyListener(INotifyUI* listener);
    bool AddMessageFilter(IMessageFilterUI* filter);
    bool RemoveMessageFilter(IMessageFilterUI* filter);
    bool AddPreFilter(IMessageFilterUI* filter);
    bool RemovePreFilter(IMessageFilterUI* filter);
    bool AddPostPaint(CControlUI* control);
    bool RemovePostPaint(CControlUI* control);

    // ---- notifications ----
    void SendNotify(CControlUI* sender, const wchar_t* type, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool async = false);
    void DispatchNotify(NotifyMessage& msg, bool async = false);

    // ---- focus, capture, timers ----
    CControlUI* GetFocus() const { return m_focus; }
    void SetFocus(CControlUI* control);
    void RequestFocus(CControlUI* control);
    bool MoveTabFocus(bool forward);
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const { return m_captured; }
    bool SetTimer(CControlUI* control, UINT localId, UINT interval);
    bool KillTimer(CControlUI* control, UINT localId);
    void KillAllTimers(CControlUI* control);
    // Window timer ids the window sets itself with the platform; control timers never take them.
    void ReserveTimerId(UINT windowId);
    // Whether the window timer id is one of this window's control timers (a stopped one too):
    // a window that handles WM_TIMER itself hands these on to the host.
    bool IsControlTimer(UINT windowId) const;
    POINT GetMousePos() const { return m_lastMouse; }
    CControlUI* GetHovered() const { return m_hover; }
    CControlUI* GetPressed() const { return m_pressed; }

    // ---- window look ----
    void SetTransparent(int alpha);
    void SetBackgroundTransparent(bool on) { m_bkTransparent = on; }
    bool IsBackgroundTransparent() const { return m_bkTransparent; }
    void SetShowUpdateRect(bool on) { m_showDirty = on; }
    void SetOffscreenPaint(bool on) { m_offscreenPaint = on; }
    SIZE GetInitSize() const { return m_initSize; }
    void SetInitSize(int cx, int cy);
    SIZE GetMinInfo() const { return m_minTrack; }
    void SetMinInfo(int cx, int cy) { m_minTrack = {cx, cy}; }
    SIZE GetMaxInfo() const { return m_maxTrack; }
    void SetMaxInfo(int cx, int cy) { m_maxTrack = {cx, cy}; }
    const RECT& GetSizeBox() const { return m_sizeBox; }
    void SetSizeBox(const RECT& rc) { m_sizeBox = rc; }
    const RECT& GetCaptionRect() const { return m_caption; }
    void SetCaptionRect(const RECT& rc) { m_caption = rc; }
    SIZE GetRoundCorner() const { return m_roundCorner; }
    void SetRoundCorner(int cx, int cy) { m_roundCorner = {cx, cy}; }

    // ---- message entry points ----
    bool MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool PreMessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Offers a queued message to the hosts of the process (the window's own host, or the host of
    // the parent of a child window). True when one took it.
    static bool TranslateMessage(const MSG* msg);

    // Ends when the host is destroyed.
    mjz::AliveToken::Life GetAliveToken() const { return m_alive.GetLife(); }
    static WORD GetKeyStateMask();

private:
    // Posted to the window after AddDelayedCleanup: the controls put aside are deleted then.
    static constexpr UINT kDelayedCleanupMessage = WM_APP + 1;
    // Posted to the window when it is activated again: the focused control takes the keys once
    // the activation that moved them has settled.
    static constexpr UINT kFocusReturnMessage = WM_APP + 2;

    // ---- message handlers: each returns true when the message is done with (taken, or the host
    //      died under it) and false when the window's own handling follows ----
    // Hands one message to its handler.
    bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnSize();
    bool OnClose();
    bool OnSetCursor(WPARAM wParam, LPARAM lParam);
    bool OnGetMinMaxInfo(LPARAM lParam);
    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnTimer(WPARAM wParam);
    bool OnKeyDown(WPARAM wParam, LPARAM lParam);
    bool OnKeyUp(WPARAM wParam, LPARAM lParam);
    bool OnChar(WPARAM wParam, LPARAM lParam);
    bool OnMouseMove(LPARAM lParam);
    bool OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnButtonUp(WPARAM wParam, LPARAM lParam);
    bool OnDoubleClick(WPARAM wParam, LPARAM lParam);
    bool OnContextMenu(WPARAM wParam, LPARAM lParam);
    bool OnMouseWheel(WPARAM wParam, LPARAM lParam);
    bool OnMouseHover(LPARAM lParam);
    bool OnMouseLeave();
    bool OnWindowActivate(WPARAM wParam);
    bool OnFocusReturn();
    bool RunDelayedCleanup();
    // Pre-translation: true when the message was taken.
    bool PreTranslateTab();
    void PreTranslateSysKey(WPARAM wParam, LPARAM lParam);
    bool ActivateShortcut(wchar_t key);

    // Delivers queued notifications; false when the host died meanwhile.
    bool DeliverQueued();
    // One notification to the sender's NotifyDelegates and every listener; false when the host
    // died meanwhile.
    bool Deliver(NotifyMessage& msg);
    // Builds and sends an event to a control; false when the host died meanwhile.
    bool SendEvent(CControlUI* control, int type, CControlUI* sender, POINT pt, wchar_t key = 0,
                   WORD keyState = 0, WPARAM wParam = 0, LPARAM lParam = 0);
    CControlUI* BeginPress(LPARAM lParam, POINT& pt, bool& died);
    void ShowToolTip(CControlUI* control);
    void HideToolTip();
    bool OwnsControl(CControlUI* control) const;
    // The focus loses its events and "killfocus"; false when the host died meanwhile.
    bool KillFocus(CControlUI* gaining);
    bool IsTimerIdTaken(UINT windowId) const;
    // Whether the focused rich edit takes Tab as text.
    static bool RichEditWantsTab(CControlUI* control);

    // ---- painting ----
    void OnPaint();
    bool GetPendingUpdate(bool& wholeClient) const;
    // The paint steps below return false when the host died meanwhile.
    bool PrepareTreeForPaint();
    // Lays the tree out before a paint.
    bool LayoutBeforePaint();
    bool PaintDirect(const PAINTSTRUCT& ps);
    bool PaintOffscreen(const PAINTSTRUCT& ps, HDC hOffscreen, SIZE client);
    void CopyBackground(const PAINTSTRUCT& ps, HDC hOffscreen, SIZE client);
    // The memory context lent to the image draws of every paint, made on first use.
    HDC ImageDC();
    // Repaints the whole client area; nothing more needs repainting until the next paint.
    void InvalidateClient();
    void PrintClient(HDC hDC, LPARAM flags);
    void ReleaseOffscreen();
    // The pen that outlines each repainted area ("showdirty"), shared by every host.
    static HPEN DirtyPen();
    void RemoveFromHostList();

    HWND m_hWnd = nullptr;
    HDC m_hPaintDC = nullptr;
    COffscreenSurface m_offscreen;   // the double buffer, kept while the client size stays
    COffscreenSurface m_background;  // what lay under the window ("bktrans"), copied once per size
    std::unique_ptr<CMemoryDC> m_imageDC;  // the image draws' context, kept from paint to paint
    HWND m_hToolTip = nullptr;
    TOOLINFOW m_toolInfo = {};
    CUIString m_toolText;
    bool m_showDirty = false;

    CControlUI* m_root = nullptr;
    CControlUI* m_focus = nullptr;
    CControlUI* m_hover = nullptr;
    CControlUI* m_pressed = nullptr;
    CControlUI* m_keyControl = nullptr;
    POINT m_lastMouse = {-1, -1};

    SIZE m_minTrack = {0, 0};
    SIZE m_maxTrack = {0, 0};
    SIZE m_initSize = {0, 0};
    RECT m_sizeBox = {0, 0, 0, 0};
    SIZE m_roundCorner = {0, 0};
    RECT m_caption = {0, 0, 0, 0};

    int m_invalidateBatch = 0;            // open InvalidateBatch scopes
    RECT m_batchedInvalid = {0, 0, 0, 0};  // what they gathered
    // The window's whole client area waits for the next paint, so repaint requests add nothing
    // until then. Cleared by every paint and by every change of the window's size.
    bool m_wholeClientInvalid = false;
    UINT m_timerCounter = 4096;
    bool m_windowInitPending = true;
    bool m_updateNeeded = false;
    bool m_focusNeeded = false;
    bool m_offscreenPaint = true;
    bool m_bkTransparent = false;
    bool m_mouseTracking = false;
    // The move being handled is the pointer leaving the window, not a place it moved to.
    bool m_mouseLeaving = false;
    bool m_captured = false;

    CUIPtrArray m_notifiers;       // INotifyUI*
    CUIPtrArray m_timers;          // owned TimerEntry*
    CUIPtrArray m_preFilters;      // IMessageFilterUI*
    CUIPtrArray m_filters;         // IMessageFilterUI*
    CUIPtrArray m_postPaint;       // CControlUI*
    CUIPtrArray m_delayedCleanup;  // owned CControlUI*
    CUIPtrArray m_asyncNotify;     // owned NotifyMessage*
    CUIPtrArray m_inFlightNotify;  // NotifyMessage* being delivered right now
    CUIPtrArray m_reservedTimerIds;  // UINT ids stored as pointers
    CControlNameMap m_nameMap;     // control names, with each control's own names

    // The watches of running call-outs on this host's controls, told when the host dies.
    friend class CControlUI::Watch;
    void AddWatch(CControlUI::Watch* watch);
    void RemoveWatch(CControlUI::Watch* watch);
    CControlUI::Watch* m_watches = nullptr;
    mjz::AliveToken m_alive;
};

// The process-wide host list lives in static storage that is constructed before, and destroyed
// after, every static object of a file that includes this header (a counted initialiser), so
// that a window destroyed at exit never unregisters from a destroyed list.
class CHostListInit {
public:
    CHostListInit();
    ~CHostListInit();
};
static CHostListInit s_hostListInit;

} // namespace SkinUI
