#pragma once
// CControlUI: the base of every element of a toolkit window. A rectangle in the window with a
// name, text, tooltip, visibility and enabled state, fixed or flexible size, background colours
// and image, border, and five event sources. Containers hold children; the window host
// (CWindowHostUI) lays the tree out, paints it and feeds input to it as ControlEvent records.
// Controls are configured by string attributes (SetAttribute), which derived classes extend and
// hand on to their base for names they do not know.
#include <windows.h>

#include <memory>

#include "uitoolkit/core/ControlEvent.h"
#include "uitoolkit/core/UIDelegate.h"
#include "uitoolkit/core/UIRect.h"
#include "uitoolkit/core/UIString.h"

namespace SkinUI {

class CWindowHostUI;
class CControlUI;

// FindControl's callback: returns the control to stop at, or null to go on.
using FindControlProc = CControlUI*(CALLBACK*)(CControlUI* control, void* data);

// FindControl flags.
enum : UINT {
    kFindVisible = 0x00000001,    // skip invisible controls
    kFindEnabled = 0x00000002,    // skip disabled controls
    kFindHitTest = 0x00000004,    // data is a POINT*; the control must be mouse-enabled and hold it
    kFindTopFirst = 0x00000008,   // containers: children from the last to the first
    kFindMeFirst = 0x80000000,    // containers: offer the container itself before its children
};

// Behaviour flags (GetBehaviourFlags).
enum : UINT {
    kBehaviourTabStop = 0x00000001,
    kBehaviourSetCursor = 0x00000002,
};

// Position relative to the parent's size, in percent.
struct RelativePosUI {
    bool relative = false;
    SIZE parentSize = {0, 0};
    int moveX = 0;
    int moveY = 0;
    int zoomX = 0;
    int zoomY = 0;
};

class CControlUI {
public:
    // The call-out rule of the toolkit: any notification, delegate, listener, filter, focus change
    // or child call may destroy the window, its host and the control that made it. A control
    // therefore calls out last, or watches itself across the call and touches nothing of itself
    // (nor of its host) once the call lost it:
    //     if (!Survives([&] { m_host->SendNotify(this, L"click"); }))
    //         return;
    // A Watch asks the same across several calls. Containers walk their children through
    // ForEachChild, which applies the rule after each child. The host's own handlers, and windows
    // with no control to watch, ask the host's alive token (GetAliveToken) instead.
    class Watch {
    public:
        explicit Watch(CControlUI* control);  // a null control is never lost
        ~Watch();
        Watch(const Watch&) = delete;
        Watch& operator=(const Watch&) = delete;

        bool ControlDeleted() const { return m_deleted; }
        // The control was deleted, or the host it had when the watch began was destroyed. A
        // control that outlives its host has forgotten it by then (the dying host tells it).
        bool Lost() const { return m_deleted || m_hostGone; }

    private:
        friend class CControlUI;
        friend class CWindowHostUI;
        // Called by the dying host: a control that survives it forgets it.
        void HostDestroyed();

        CControlUI* m_control;
        CWindowHostUI* m_host = nullptr;  // the control's host at the start, while it lives
        Watch* m_next = nullptr;          // the control's next watch
        Watch* m_nextOfHost = nullptr;    // the host's next watch
        bool m_deleted = false;
        bool m_hostGone = false;
    };

    CControlUI();
    // Fires DestroyDelegates; lets the host forget the control.
    virtual ~CControlUI();                                         // 0
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    virtual CUIString GetName() const;                             // 1
    virtual void SetName(const wchar_t* name);                     // 2
    virtual const wchar_t* GetClass() const;                       // 3
    virtual void* GetInterface(const wchar_t* name);               // 4
    virtual UINT GetBehaviourFlags() const;                        // 5
    virtual bool Activate();                                       // 6
    virtual CWindowHostUI* GetManager() const;                     // 7
    virtual void SetManager(CWindowHostUI* host, CControlUI* parent, bool init = true);  // 8
    virtual CControlUI* GetParent() const;                         // 9
    virtual CUIString GetText() const;                             // 10
    virtual void SetText(const wchar_t* text);                     // 11
    virtual const RECT& GetPos() const;                            // 12
    virtual void SetPos(RECT rc);                                  // 13
    virtual int GetWidth() const;                                  // 14
    virtual int GetHeight() const;                                 // 15
    virtual int GetX() const;                                      // 16
    virtual int GetY() const;                                      // 17
    virtual RECT GetPadding() const;                               // 18
    virtual void SetPadding(RECT rc);                              // 19
    virtual SIZE GetFixedXY() const;                               // 20
    virtual void SetFixedXY(SIZE xy);                              // 21
    virtual int GetFixedWidth() const;                             // 22
    virtual void SetFixedWidth(int width);                         // 23
    virtual int GetFixedHeight() const;                            // 24
    virtual void SetFixedHeight(int height);                       // 25
    virtual int GetMinWidth() const;                               // 26
    virtual void SetMinWidth(int width);                           // 27
    virtual int GetMaxWidth() const;                               // 28
    virtual void SetMaxWidth(int width);                           // 29
    virtual int GetMinHeight() const;                              // 30
    virtual void SetMinHeight(int height);                         // 31
    virtual int GetMaxHeight() const;                              // 32
    virtual void SetMaxHeight(int height);                         // 33
    virtual void SetRelativePos(int moveX, int moveY, int zoomX, int zoomY);  // 34
    virtual void SetRelativeParentSize(SIZE size);                 // 35
    virtual RelativePosUI GetRelativePos() const;                  // 36
    virtual bool IsRelativePos() const;                            // 37
    virtual CUIString GetToolTip() const;                          // 38
    virtual void SetToolTip(const wchar_t* text);                  // 39
    virtual wchar_t GetShortcut() const;                           // 40
    virtual void SetShortcut(wchar_t ch);                          // 41
    virtual bool IsMenuNotifyEnabled() const;                      // 42
    virtual void SetMenuNotifyEnabled(bool enabled);               // 43
    virtual CUIString GetUserData() const;                         // 44
    virtual void SetUserData(const wchar_t* text);                 // 45
    virtual UINT_PTR GetUserTag() const;                           // 46
    virtual void SetUserTag(UINT_PTR tag);                         // 47
    virtual bool IsVisible() const;                                // 48
    virtual void SetVisible(bool visible = true);                  // 49
    virtual void SetInheritedVisible(bool visible = true);         // 50
    virtual bool IsEnabled() const;                                // 51
    virtual void SetEnabled(bool enabled = true);                  // 52
    virtual bool IsMouseEnabled() const;                           // 53
    virtual void SetMouseEnabled(bool enabled = true);             // 54
    virtual bool IsKeyboardEnabled() const;                        // 55
    virtual void SetKeyboardEnabled(bool enabled = true);          // 56
    virtual bool IsFocused() const;                                // 57
    virtual void SetFocus();                                       // 58
    virtual bool IsFloat() const;                                  // 59
    virtual void SetFloat(bool isFloat = true);                    // 60
    virtual CControlUI* FindControl(FindControlProc proc, void* data, UINT flags);  // 61
    virtual void Init();                                           // 62
    virtual void InitControl();                                    // 63
    virtual void Event(ControlEvent& event);                       // 64
    virtual void HandleEvent(ControlEvent& event);                 // 65
    virtual void SetAttribute(const wchar_t* name, const wchar_t* value);  // 66
    virtual SIZE GetDesiredSize(SIZE available);                   // 67
    virtual void Paint(HDC hDC, const RECT& rcDirty);              // 68
    virtual void PaintBackColor(HDC hDC);                          // 69
    virtual void PaintBackImage(HDC hDC);                          // 70
    virtual void PaintStateImage(HDC hDC);                         // 71
    virtual void PaintText(HDC hDC);                               // 72
    virtual void PaintBorder(HDC hDC);                             // 73
    virtual void PaintOverlay(HDC hDC, const RECT& rcPaint);       // 74

    // name="value" pairs separated by exactly one blank; parsing stops silently at the first
    // deviation, after applying the pairs before it.
    void ApplyAttributeText(const wchar_t* text);
    // Draws an image string into the control rectangle, clipped to the paint rectangle.
    bool DrawImage(HDC hDC, const wchar_t* image, const wchar_t* modifier = nullptr);
    // The colour shifted by the global hue / saturation / lightness when "colorhsl" is set.
    DWORD ApplyColorHsl(DWORD color) const;
    void Invalidate();
    void RequestLayout();
    void RequestParentLayout();
    bool IsUpdateNeeded() const { return m_updateNeeded; }

    // Background and border look (the attributes set these too).
    DWORD GetBkColor() const { return m_bkColor1; }
    void SetBkColor(DWORD color);
    DWORD GetBkColor2() const { return m_bkColor2; }
    void SetBkColor2(DWORD color);
    DWORD GetBkColor3() const { return m_bkColor3; }
    void SetBkColor3(DWORD color);
    const wchar_t* GetBkImage() const { return m_bkImage.GetData(); }
    void SetBkImage(const wchar_t* image);
    DWORD GetBorderColor() const { return m_borderColor; }
    void SetBorderColor(DWORD color);
    DWORD GetFocusBorderColor() const { return m_focusBorderColor; }
    void SetFocusBorderColor(DWORD color);
    bool IsColorHsl() const { return m_colorHsl; }
    void SetColorHsl(bool on);
    int GetBorderSize() const { return m_borderSize; }
    void SetBorderSize(int size);
    SIZE GetBorderRound() const { return m_borderRound; }
    void SetBorderRound(SIZE round);
    const RECT& GetPaintRect() const { return m_rcPaint; }

    // Runs one call-out; false when it lost this control or its host (see Watch).
    template <typename Call>
    bool Survives(Call&& call)
    {
        Watch watch(this);
        call();
        return !watch.Lost();
    }

    CUIDelegateList InitDelegates;     // fired by Init with the control
    CUIDelegateList DestroyDelegates;  // fired by the destructor with the control
    CUIDelegateList SizeDelegates;     // fired by SetPos with the control
    CUIDelegateList EventDelegates;    // fired by Event with the ControlEvent; false drops it
    CUIDelegateList NotifyDelegates;   // fired with each NotifyMessage this control sends

protected:
    // Clips a rectangle by every ancestor's rectangle; false when it becomes empty.
    bool ClipToAncestors(RECT& rc) const;

    CWindowHostUI* m_host = nullptr;
    CControlUI* m_parent = nullptr;
    CUIString m_name;
    bool m_updateNeeded = true;
    bool m_menuNotify = false;
    RECT m_rcItem = {0, 0, 0, 0};
    RECT m_rcPadding = {0, 0, 0, 0};
    SIZE m_fixedXY = {0, 0};
    SIZE m_fixedSize = {0, 0};
    SIZE m_minSize = {0, 0};
    SIZE m_maxSize = {9999, 9999};
    bool m_visible = true;
    bool m_inheritedVisible = true;
    bool m_enabled = true;
    bool m_mouseEnabled = true;
    bool m_keyboardEnabled = true;
    bool m_focused = false;
    bool m_float = false;
    bool m_inSetPos = false;
    RelativePosUI m_relativePos;
    CUIString m_text;
    CUIString m_toolTip;
    wchar_t m_shortcut = 0;
    CUIString m_userData;
    UINT_PTR m_userTag = 0;
    DWORD m_bkColor1 = 0;
    DWORD m_bkColor2 = 0;
    DWORD m_bkColor3 = 0;
    CUIString m_bkImage;
    DWORD m_borderColor = 0;
    DWORD m_focusBorderColor = 0;
    bool m_colorHsl = false;
    int m_borderSize = 1;
    SIZE m_borderRound = {0, 0};
    RECT m_rcPaint = {0, 0, 0, 0};

private:
    // The five paint steps in order; false when one of them lost the control or its host.
    bool PaintSteps(HDC hDC);

    Watch* m_watches = nullptr;  // the watches of running call-outs, told when the control dies
};

} // namespace SkinUI
