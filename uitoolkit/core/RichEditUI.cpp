#include "uitoolkit/core/RichEditUI.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <vector>

#include "uitoolkit/core/ClipGuard.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

constexpr UINT kFirstMouseMessage = 0x200;  // WM_MOUSEMOVE
constexpr UINT kLastMouseMessage = 0x20E;   // WM_MOUSEHWHEEL
constexpr UINT kUtf16CodePage = 1200;
constexpr DWORD kAlignmentStyles = ES_CENTER | ES_RIGHT;

bool IsMouseMessage(UINT message) { return message >= kFirstMouseMessage && message <= kLastMouseMessage; }

bool IsKeyMessage(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || message == WM_IME_CHAR ||
           (message >= WM_IME_STARTCOMPOSITION && message <= WM_IME_KEYLAST);
}

void SetBits(DWORD& style, DWORD bits, bool on)
{
    if (on)
        style |= bits;
    else
        style &= ~bits;
}

} // namespace

CRichEditUI::CRichEditUI() = default;

CRichEditUI::~CRichEditUI()
{
    m_twh.Reset();
    if (m_host != nullptr)
        m_host->RemoveMessageFilter(this);
}

const wchar_t* CRichEditUI::GetClass() const { return L"RichEditUI"; }

void* CRichEditUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"RichEdit") == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

UINT CRichEditUI::GetBehaviourFlags() const { return IsEnabled() ? kBehaviourTabStop | kBehaviourSetCursor : 0; }

// ---- text ----

HRESULT CRichEditUI::SendToServices(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) const
{
    if (!m_twh)
        return S_FALSE;
    LRESULT ignored = 0;
    return m_twh->GetTextServices()->TxSendMessage(message, wParam, lParam, result != nullptr ? result : &ignored);
}

HRESULT CRichEditUI::TxSendMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (!m_twh)
        return S_FALSE;
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
        const bool newLine = m_wantReturn && (!ctrl || m_wantCtrlReturn);
        if (!newLine) {
            if (result != nullptr)
                *result = 0;
            // Last (the call-out rule).
            if (m_host != nullptr)
                m_host->SendNotify(this, L"return");
            return S_OK;
        }
    }
    return SendToServices(message, wParam, lParam, result);
}

bool CRichEditUI::OnTxViewChanged() { return true; }

void CRichEditUI::OnTxNotify(DWORD /*code*/, void* /*data*/) {}

long CRichEditUI::GetTextLength(DWORD flags) const
{
    GETTEXTLENGTHEX request = {flags, kUtf16CodePage};
    LRESULT length = 0;
    SendToServices(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0, &length);
    return static_cast<long>(length);
}

CUIString CRichEditUI::GetText() const
{
    if (!m_twh)
        return CUIString();
    const long length = GetTextLength(GTL_DEFAULT);
    if (length <= 0)
        return CUIString();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    GETTEXTEX request = {};
    request.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    request.flags = GT_DEFAULT;
    request.codepage = kUtf16CodePage;
    SendToServices(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.back() = L'\0';
    return CUIString(buffer.data());
}

void CRichEditUI::SetText(const wchar_t* text)
{
    CControlUI::SetText(text);
    if (!m_twh)
        return;
    // The text services wrap the new text once, at the width it will show at: a hidden vertical
    // bar is taken as shown while they take it, and the guess is put right afterwards.
    const bool barTaken = text != nullptr && *text != L'\0' && TakeVerticalBarWidth();
    SetSel(0, -1);
    ReplaceSel(text, false);
    // The replacement keeps the old text's scroll position. A control that follows its caret
    // shows the end (where the caret is now); any other shows a new text from its first line.
    if ((m_style & ES_AUTOVSCROLL) == 0)
        Scroll(WM_VSCROLL, SB_TOP);
    if (barTaken)
        SettleVerticalBar();
}

bool CRichEditUI::TakeVerticalBarWidth()
{
    // Only a bar the text services show and hide themselves, beside an area wider than two bars.
    const CScrollBarUI* bar = m_verticalScrollBar.get();
    if (bar == nullptr || bar->IsVisible() || (m_style & (WS_VSCROLL | ES_MULTILINE)) != (WS_VSCROLL | ES_MULTILINE))
        return false;
    CUIRect rc = m_twh->GetControlRect();
    if (rc.GetWidth() <= 2 * bar->GetFixedWidth())
        return false;
    // The text still held fits in the area (its bar is hidden): wrapping it again costs little.
    rc.right -= bar->GetFixedWidth();
    m_twh->SetClientRect(rc);
    return true;
}

void CRichEditUI::SettleVerticalBar()
{
    CScrollBarUI* bar = m_verticalScrollBar.get();
    if (bar == nullptr)
        return;
    CUIRect rc = m_twh->GetControlRect();
    // Shown: the text overflows beside the bar. One shorter than two client heights there might
    // still fit in the whole width, where a taller one cannot (the bar is narrower than the text
    // area); that short text is cheap to measure.
    if (bar->IsVisible()) {
        if (bar->GetScrollRange() >= rc.GetHeight() ||
            NaturalHeight(static_cast<long long>(rc.GetWidth()) + bar->GetFixedWidth()) > rc.GetHeight()) {
            RequestLayout();  // the bar takes its place beside the text
            return;
        }
        bar->SetVisible(false);
    }
    // The text fits in the whole width: it takes it back, wrapped again at little cost.
    rc.right += bar->GetFixedWidth();
    m_twh->SetClientRect(rc);
}

LRESULT CRichEditUI::SetSel(long start, long end)
{
    CHARRANGE range = {start, end};
    LRESULT result = 0;
    SendToServices(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range), &result);
    return result;
}

void CRichEditUI::ReplaceSel(const wchar_t* text, bool canUndo)
{
    SendToServices(EM_REPLACESEL, canUndo ? TRUE : FALSE, reinterpret_cast<LPARAM>(text != nullptr ? text : L""));
}

void CRichEditUI::SetRich(bool rich)
{
    m_rich = rich;
    if (m_twh)
        m_twh->SetRichText(rich);
}

void CRichEditUI::SetFont(int index)
{
    m_font = index;
    if (m_twh && m_host != nullptr)
        m_twh->SetFont(m_host->GetFont(index));
}

void CRichEditUI::SetTextColor(DWORD argb)
{
    m_textColor = argb;
    if (m_twh)
        m_twh->SetColor(argb);
}

// ---- attributes ----

void CRichEditUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr)
        return;
    if (value == nullptr)
        value = L"";
    struct Setter {
        const wchar_t* name;
        void (*apply)(CRichEditUI& edit, const wchar_t* value);
        bool alsoContainer;  // the container makes the scroll bars
    };
    static const Setter kSetters[] = {
        {L"vscrollbar", [](CRichEditUI& e, const wchar_t* v) { if (ParseBool(v)) e.m_style |= WS_VSCROLL | ES_DISABLENOSCROLL; }, true},
        {L"autovscroll", [](CRichEditUI& e, const wchar_t* v) { if (ParseBool(v)) e.m_style |= ES_AUTOVSCROLL; }, true},
        {L"hscrollbar", [](CRichEditUI& e, const wchar_t* v) { if (ParseBool(v)) e.m_style |= WS_HSCROLL | ES_DISABLENOSCROLL; }, true},
        {L"autohscroll", [](CRichEditUI& e, const wchar_t* v) { if (ParseBool(v)) e.m_style |= ES_AUTOHSCROLL; }, false},
        {L"wanttab", [](CRichEditUI& e, const wchar_t* v) { e.m_wantTab = ParseBool(v); }, false},
        {L"wantreturn", [](CRichEditUI& e, const wchar_t* v) { e.m_wantReturn = ParseBool(v); }, false},
        {L"wantctrlreturn", [](CRichEditUI& e, const wchar_t* v) { e.m_wantCtrlReturn = ParseBool(v); }, false},
        {L"rich", [](CRichEditUI& e, const wchar_t* v) { e.SetRich(ParseBool(v)); }, false},
        {L"multiline", [](CRichEditUI& e, const wchar_t* v) { if (std::wcscmp(v, L"false") == 0) e.m_style &= ~ES_MULTILINE; }, false},
        {L"readonly", [](CRichEditUI& e, const wchar_t* v) {
             if (ParseBool(v)) {
                 e.m_style |= ES_READONLY;
                 e.m_readOnly = true;
             }
         }, false},
        {L"password", [](CRichEditUI& e, const wchar_t* v) { if (ParseBool(v)) e.m_style |= ES_PASSWORD; }, false},
        {L"align", [](CRichEditUI& e, const wchar_t* v) {
             // Each word in this order; the last one found wins.
             const struct { const wchar_t* word; DWORD bits; } kWords[] = {
                 {L"left", 0}, {L"center", ES_CENTER}, {L"right", ES_RIGHT}};
             for (const auto& word : kWords) {
                 if (std::wcsstr(v, word.word) != nullptr) {
                     SetBits(e.m_style, kAlignmentStyles, false);
                     e.m_style |= word.bits;
                 }
             }
         }, false},
        {L"font", [](CRichEditUI& e, const wchar_t* v) { e.SetFont(static_cast<int>(ParseInt(v))); }, false},
        {L"textcolor", [](CRichEditUI& e, const wchar_t* v) { e.SetTextColor(ParseColor(v, true)); }, false},
    };
    for (const Setter& setter : kSetters) {
        if (std::wcscmp(name, setter.name) == 0) {
            setter.apply(*this, value);
            if (setter.alsoContainer)
                CContainerUI::SetAttribute(name, value);
            return;
        }
    }
    CContainerUI::SetAttribute(name, value);
}

// ---- life in a window ----

void CRichEditUI::InitControl()
{
    if (m_twh)
        return;
    // 1. The creation record: the style and the control's own text.
    CREATESTRUCTW create = {};
    create.style = static_cast<LONG>(m_style);
    create.lpszName = m_text.GetData();

    // 2. A host that cannot start its text services is dropped; the control then works without.
    // The text shows over the control's background. The host is transparent before its text
    // services start: some read the back style only then.
    auto host = ComPtr<CTxtWinHost>::Adopt(new CTxtWinHost());
    host->SetTransparent(true);
    if (!host->Init(this, &create))
        return;
    m_twh = std::move(host);

    // 3. No language options, active, and fed the window's messages.
    SendToServices(EM_SETLANGOPTIONS, 0, 0);
    m_twh->OnTxInPlaceActivate(nullptr);
    if (m_host != nullptr)
        m_host->AddMessageFilter(this);
}

SIZE CRichEditUI::GetDesiredSize(SIZE available) { return CControlUI::GetDesiredSize(available); }

LONG CRichEditUI::NaturalHeight(long long width) const
{
    if (!m_twh)
        return 0;
    const SIZEL extent = {-1, -1};
    // The width comes from layout and skin numbers: within the range GDI works in.
    LONG naturalWidth = static_cast<LONG>(std::clamp<long long>(width, 0, CRenderKit::kMaxGdiCoord));
    LONG naturalHeight = 0;
    m_twh->GetTextServices()->TxGetNaturalSize(DVASPECT_CONTENT, m_host != nullptr ? m_host->GetPaintDC() : nullptr,
                                               nullptr, nullptr, TXTNS_FITTOCONTENT, &extent, &naturalWidth,
                                               &naturalHeight);
    return naturalHeight;
}

void CRichEditUI::FixVerticalBar()
{
    CScrollBarUI* bar = m_verticalScrollBar.get();
    if (bar == nullptr)
        return;
    // The area the text services have, as the paint measures it: a layout rectangle beyond GDI's
    // range has sides that overflow, and the two answers would disagree and ask for layout forever.
    const CUIRect text = m_twh->GetControlRect();
    if (NaturalHeight(static_cast<long long>(text.GetWidth()) + bar->GetFixedWidth()) > text.GetHeight()) {
        bar->SetVisible(true);
        bar->SetScrollPos(0);
        m_vbarFixing = true;
    } else if (m_vbarFixing) {
        bar->SetVisible(false);
        m_vbarFixing = false;
    }
}

void CRichEditUI::PlaceScrollBars(const RECT& rcText)
{
    if (CScrollBarUI* bar = m_verticalScrollBar.get(); bar != nullptr && bar->IsVisible())
        bar->SetPos(RECT{rcText.right, rcText.top, rcText.right + bar->GetFixedWidth(), rcText.bottom});
    if (CScrollBarUI* bar = m_horizontalScrollBar.get(); bar != nullptr && bar->IsVisible())
        bar->SetPos(RECT{rcText.left, rcText.bottom, rcText.right, rcText.bottom + bar->GetFixedHeight()});
}

void CRichEditUI::SetPos(RECT rc)
{
    // 1. The text rectangle: inside the inset, beside the visible bars.
    if (!SetOwnPos(rc))
        return;
    const RECT rcText = GetInnerRect();

    // 2. The text services follow; a bar they hid is shown again while the text overflows.
    if (m_twh) {
        const CScrollBarUI* bar = m_verticalScrollBar.get();
        const bool barWasVisible = bar != nullptr && bar->IsVisible();
        m_twh->SetClientRect(rcText);
        if ((barWasVisible && !bar->IsVisible()) || m_vbarFixing)
            FixVerticalBar();
    }

    // 3. The bars beside the text.
    PlaceScrollBars(rcText);

    // 4. Children share the text rectangle; floating ones keep their own place.
    PlaceChildren(rcText);
}

void CRichEditUI::Paint(HDC hDC, const RECT& rcDirty)
{
    // 1. Only what is dirty of the control, clipped to it.
    RECT rcPaint = {};
    if (!::IntersectRect(&rcPaint, &rcDirty, &m_rcItem))
        return;
    CClipGuard clip;
    CClipGuard::ClipToRect(hDC, rcPaint, clip);

    // 2. Background, images, border.
    CControlUI::Paint(hDC, rcDirty);

    // 3. The text, inside the text rectangle: scrolled by part of a line, the text services draw
    //    that line from above the rectangle's top, over the inset.
    if (m_twh) {
        const CUIRect& rcClient = m_twh->GetControlRect();
        const RECTL bounds = {rcClient.left, rcClient.top, rcClient.right, rcClient.bottom};
        RECT update = m_rcPaint;
        CClipGuard textClip;
        CClipGuard::ClipToRect(hDC, rcClient, textClip);
        m_twh->GetTextServices()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, hDC, nullptr, &bounds, nullptr, &update,
                                         nullptr, 0, TXTVIEW_ACTIVE);
        if (m_vbarFixing) {
            const int barWidth = m_verticalScrollBar ? m_verticalScrollBar->GetFixedWidth() : 0;
            if (NaturalHeight(static_cast<long long>(rcClient.GetWidth()) + barWidth) <= rcClient.GetHeight())
                RequestLayout();
        }
    }

    // 4. Children within the text rectangle, then the bars.
    PaintChildren(hDC, rcDirty);
}

// ---- input ----

void CRichEditUI::HandleEvent(ControlEvent& event)
{
    // 1. Mouse events pass by while the control ignores the mouse.
    if (PassOnIgnoredMouseEvent(event))
        return;
    // 2. The text services pick the cursor over the text.
    if (event.type == kEventSetCursor && IsEnabled() && m_twh && m_twh->DoSetCursor(nullptr, &event.point))
        return;
    // 3. Focus and the text services' own timers.
    switch (event.type) {
    case kEventSetFocus:
    case kEventKillFocus:
        if (m_twh) {
            m_twh->OnTxInPlaceActivate(nullptr);
            SendToServices(event.type == kEventSetFocus ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
        }
        break;
    case kEventTimer:
        SendToServices(WM_TIMER, event.wParam, event.lParam);
        break;
    default:
        break;
    }
    // 4. Mouse and keys reach the text services through the message filter.
    switch (event.type) {
    case kEventScrollWheel:
        if ((event.keyState & kKeyStateControl) != 0)
            return;
        break;
    case kEventButtonDown:
    case kEventDblClick:
    case kEventMouseMove:
    case kEventButtonUp:
    case kEventMouseEnter:
    case kEventMouseLeave:
    case kEventKeyDown:
    case kEventKeyUp:
    case kEventChar:
    case kEventSysKey:
        return;
    default:
        break;
    }
    CContainerUI::HandleEvent(event);
}

bool CRichEditUI::HitsText(UINT message, LPARAM lParam) const
{
    if (m_twh->IsCaptured())
        return true;
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (message == WM_SETCURSOR)
        ::GetCursorPos(&pt);
    if (message == WM_SETCURSOR || message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL)
        ::ScreenToClient(m_host->GetPaintWindow(), &pt);
    // A press over a child or bar that overlaps the text belongs to that control.
    if (message >= WM_LBUTTONDOWN && message <= WM_RBUTTONUP && m_host->FindControlAtPoint(pt) != this)
        return false;
    return ::PtInRect(&m_twh->GetControlRect(), pt) && !m_host->IsCaptured();
}

LRESULT CRichEditUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    // 1. Only while shown and enabled; Ctrl+wheel only (a plain wheel scrolls the container).
    if (!m_twh || m_host == nullptr || !IsVisible() || !IsEnabled())
        return 0;
    const bool mouse = IsMouseMessage(message);
    if (mouse && !IsMouseEnabled())
        return 0;
    if (message == WM_MOUSEWHEEL && (LOWORD(wParam) & MK_CONTROL) == 0)
        return 0;
    const bool keys = IsKeyMessage(message);

    // 2. Which messages the text services get; `mark` is false for those that the window
    // must still see.
    bool mark = true;
    if (mouse || message == WM_SETCURSOR) {
        if (!HitsText(message, lParam))
            return 0;
        if (message == WM_SETCURSOR) {
            mark = false;
        } else if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN) {
            if (!Survives([this] { SetFocus(); })) {
                handled = true;
                return 0;
            }
        }
    } else if (keys) {
        if (!IsFocused())
            return 0;
    } else if (message == WM_CONTEXTMENU) {
        POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(m_host->GetPaintWindow(), &pt);
        if (m_host->FindControlAtPoint(pt) != this)
            return 0;
    } else if (message == WM_HELP) {
        mark = false;
    } else {
        return 0;
    }

    // 3. Keys count as taken whatever the text services say; mouse messages while they hold
    // the mouse. Enter notifies "return", after which nothing of this control may be touched.
    LRESULT result = 0;
    HRESULT hr = S_FALSE;
    if (!Survives([&] { hr = TxSendMessage(message, wParam, lParam, &result); })) {
        handled = true;
        return result;
    }
    if (hr == S_OK || keys || (mouse && m_twh && m_twh->IsCaptured()))
        handled = mark;
    return result;
}

// ---- scrolling ----

LRESULT CRichEditUI::Scroll(UINT message, WORD code)
{
    LRESULT result = 0;
    TxSendMessage(message, code, 0, &result);
    return result;
}

void CRichEditUI::SetScrollPos(SIZE pos)
{
    CScrollBarUI* vbar = m_verticalScrollBar.get();
    CScrollBarUI* hbar = m_horizontalScrollBar.get();
    int oldV = 0;
    int dx = 0;
    int dy = 0;
    if (vbar != nullptr && vbar->IsVisible()) {
        oldV = vbar->GetScrollPos();
        vbar->SetScrollPos(pos.cy);
        dy = vbar->GetScrollPos() - oldV;
    }
    if (hbar != nullptr && hbar->IsVisible()) {
        const int oldH = hbar->GetScrollPos();
        hbar->SetScrollPos(pos.cx);
        dx = hbar->GetScrollPos() - oldH;
    }
    if (dy != 0) {
        TxSendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, vbar->GetScrollPos()), 0, nullptr);
        // Plain text may refuse to move on: the bar stays where the text is.
        if (!m_rich && dy > 0 && vbar->GetScrollPos() <= oldV)
            vbar->SetScrollPos(oldV);
    }
    if (dx != 0)
        TxSendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, hbar->GetScrollPos()), 0, nullptr);
}

void CRichEditUI::LineUp() { Scroll(WM_VSCROLL, SB_LINEUP); }

void CRichEditUI::LineDown()
{
    // Plain text does not always report its last line: a step that did not move ends at the end.
    CScrollBarUI* bar = m_verticalScrollBar.get();
    const bool watch = !m_rich && bar != nullptr && bar->IsVisible();
    const int before = watch ? bar->GetScrollPos() : 0;
    Scroll(WM_VSCROLL, SB_LINEDOWN);
    if (watch && bar->GetScrollPos() <= before)
        bar->SetScrollPos(bar->GetScrollRange());
}

void CRichEditUI::PageUp() { Scroll(WM_VSCROLL, SB_PAGEUP); }
void CRichEditUI::PageDown() { Scroll(WM_VSCROLL, SB_PAGEDOWN); }
void CRichEditUI::HomeUp() { Scroll(WM_VSCROLL, SB_TOP); }
void CRichEditUI::EndDown() { Scroll(WM_VSCROLL, SB_BOTTOM); }
void CRichEditUI::LineLeft() { Scroll(WM_HSCROLL, SB_LINELEFT); }
void CRichEditUI::LineRight() { Scroll(WM_HSCROLL, SB_LINERIGHT); }
void CRichEditUI::PageLeft() { Scroll(WM_HSCROLL, SB_PAGELEFT); }
void CRichEditUI::PageRight() { Scroll(WM_HSCROLL, SB_PAGERIGHT); }
void CRichEditUI::HomeLeft() { Scroll(WM_HSCROLL, SB_LEFT); }
void CRichEditUI::EndRight() { Scroll(WM_HSCROLL, SB_RIGHT); }

} // namespace SkinUI
