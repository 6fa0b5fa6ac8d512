#pragma once
// CRichEditUI: the toolkit's multi-line text control. While it runs it keeps no text of its own:
// a windowless Rich Edit text-services object, hosted by a CTxtWinHost, holds and edits the text
// and draws it into the window host's DC. The control lays out the text area, feeds the text
// services its window's messages as a message filter, turns Enter into the notification "return"
// when Enter is not wanted, and maps the container's scroll operations onto WM_VSCROLL and
// WM_HSCROLL of the text services. It is a container so that it can own scroll bars and floating
// children.
//
// Style attributes ("multiline", "readonly", "password", "align", the scroll bars) take effect
// when the text host is made (InitControl, when the control joins a window host).
//
// A system without the text services leaves the control without a text host: text operations do
// nothing, GetText is empty and only the control's background and border are painted.
#include <windows.h>
#include <richedit.h>

#include "foundation/ComPtr.h"
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/core/NotifyMessage.h"
#include "uitoolkit/core/TxtWinHost.h"

namespace SkinUI {

class CRichEditUI : public CContainerUI, public IMessageFilterUI {
public:
    CRichEditUI();
    // Releases the text host and leaves the window host's message filters.
    ~CRichEditUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetBehaviourFlags() const override;
    CUIString GetText() const override;
    void SetText(const wchar_t* text) override;
    void SetPos(RECT rc) override;
    void InitControl() override;
    void HandleEvent(ControlEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE GetDesiredSize(SIZE available) override;
    void Paint(HDC hDC, const RECT& rcDirty) override;
    void SetScrollPos(SIZE pos) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void HomeUp() override;
    void EndDown() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;
    void HomeLeft() override;
    void EndRight() override;

    // Hands a message to the text services; S_FALSE without them. Enter that is not wanted
    // becomes the notification "return" (which may destroy the window) and is not passed on.
    virtual HRESULT TxSendMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The text services changed their view: true repaints the control.
    virtual bool OnTxViewChanged();
    // Notifications of the text services other than resize requests.
    virtual void OnTxNotify(DWORD code, void* data);

    // The window's messages while the control is shown and enabled: mouse messages over the
    // text, keys while focused.
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    bool IsWantTab() const { return m_wantTab; }
    bool IsWantReturn() const { return m_wantReturn; }
    bool IsWantCtrlReturn() const { return m_wantCtrlReturn; }
    bool IsRich() const { return m_rich; }
    void SetRich(bool rich);
    bool IsReadOnly() const { return m_readOnly; }
    // The window host's font index (-1: the default font).
    int GetFont() const { return m_font; }
    void SetFont(int index);
    DWORD GetTextColor() const { return m_textColor; }
    void SetTextColor(DWORD argb);
    int GetLimitText() const { return m_limitText; }
    // The edit-control style bits the text host is made with.
    DWORD GetTextHostStyle() const { return m_style; }

    LRESULT SetSel(long start, long end);
    void ReplaceSel(const wchar_t* text, bool canUndo);
    long GetTextLength(DWORD flags = GTL_DEFAULT) const;
    // The text host; null before InitControl or when the text services are missing.
    CTxtWinHost* GetTextHost() const { return m_twh.Get(); }

private:
    // A message straight to the text services (no Enter handling); S_FALSE without them.
    HRESULT SendToServices(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr) const;
    // The text's height when laid out at the given width.
    LONG NaturalHeight(long long width) const;
    // Before a new text is set: a hidden vertical bar's width is taken from the text area, as the
    // bar will show when the text overflows. False when nothing was taken.
    bool TakeVerticalBarWidth();
    // After the text was set in the narrower area: the bar stays when the text overflows the whole
    // width too; otherwise the area is whole again.
    void SettleVerticalBar();
    // Shows the vertical bar when the text overflows the text services' area, hides it again when
    // it fits.
    void FixVerticalBar();
    void PlaceScrollBars(const RECT& rcText);
    // Whether the message's point hits the text (or the text host holds the mouse).
    bool HitsText(UINT message, LPARAM lParam) const;
    LRESULT Scroll(UINT message, WORD code);

    ComPtr<CTxtWinHost> m_twh;
    bool m_vbarFixing = false;
    bool m_wantTab = true;
    bool m_wantReturn = true;
    bool m_wantCtrlReturn = true;
    bool m_rich = true;
    bool m_readOnly = false;
    DWORD m_textColor = 0;
    int m_font = -1;
    int m_limitText = 32767;
    DWORD m_style = ES_MULTILINE;
};

} // namespace SkinUI
