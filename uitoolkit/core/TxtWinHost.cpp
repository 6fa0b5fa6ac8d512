#include "uitoolkit/core/TxtWinHost.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "foundation/Folders.h"
#include "foundation/TraceLog.h"
#include "uitoolkit/controls/ScrollBarUI.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/RichEditUI.h"
#include "uitoolkit/core/SaturatingInt.h"
#include "uitoolkit/core/WindowHostUI.h"

// The interface ids of the text-services contract; the platform's import libraries lack them.
extern "C" const IID IID_ITextServices = {0x8d33f740, 0xcf58, 0x11ce, {0xa8, 0x9d, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};
extern "C" const IID IID_ITextHost = {0xc5bdd8d0, 0xd26e, 0x11ce, {0xa8, 0x9e, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};

namespace SkinUI {

namespace {

static_assert(sizeof(CHARFORMAT2W) == 116 && sizeof(PARAFORMAT2) == 188);

constexpr int kTwipsPerInch = 1440;
constexpr int kHimetricPerInch = 2540;
constexpr int kMaxTwips = 1638 * 20;
constexpr DWORD kCharFormatMask =
    CFM_SIZE | CFM_OFFSET | CFM_FACE | CFM_CHARSET | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE;
constexpr DWORD kScrollBarStyles = WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL;

std::wstring& LibraryName()
{
    static std::wstring name = L"Riched20.dll";
    return name;
}

// The library from the system directory only: a copy beside the program or in the current
// directory is never picked up.
HMODULE LoadFromSystemDirectory(const std::wstring& name)
{
    wchar_t folder[MAX_PATH] = {};
    const UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return nullptr;
    return ::LoadLibraryW((WithBackslash(folder) + name).c_str());
}

void SetEffect(CHARFORMAT2W& cf, DWORD effect, bool on)
{
    if (on)
        cf.dwEffects |= effect;
    else
        cf.dwEffects &= ~effect;
}

} // namespace

CTxtWinHost::CTxtWinHost() : m_module(LoadFromSystemDirectory(LibraryName())) {}

CTxtWinHost::~CTxtWinHost()
{
    if (m_services)
        m_services->OnTxInPlaceDeactivate();
    m_services.Reset();
}

void CTxtWinHost::SetLibraryName(const wchar_t* name) { LibraryName() = name != nullptr ? name : L""; }

bool CTxtWinHost::Init(CRichEditUI* owner, const CREATESTRUCTW* create)
{
    // 1. The owner (the creator holds the first reference already).
    m_owner = owner;

    // 2. The default character format: the owner's font and colour.
    m_cf = {};
    m_cf.cbSize = sizeof(m_cf);
    m_cf.dwMask = kCharFormatMask;
    m_cf.crTextColor = ArgbToColorRef(owner->GetTextColor());
    if (CWindowHostUI* host = owner->GetManager())
        ApplyFont(host->GetFont(owner->GetFont()));
    m_cf.yOffset = 0;

    // 3. The default paragraph format: left aligned, one tab stop every half inch.
    m_pf = {};
    m_pf.cbSize = sizeof(m_pf);
    m_pf.dwMask = PFM_ALL;
    m_pf.wAlignment = PFA_LEFT;
    m_pf.cTabCount = 1;
    m_pf.rgxTabs[0] = 720;

    // 4. Style and limits from the owner.
    m_style = ES_MULTILINE;
    if (owner->IsRich())
        m_flags |= kRichText;
    m_maxLength = owner->GetLimitText();

    // 5. The creation record's style decides wrapping, alignment and the password character.
    if (create != nullptr) {
        m_style = static_cast<DWORD>(create->style);
        if ((m_style & (ES_AUTOHSCROLL | WS_HSCROLL)) == 0)
            m_flags |= kWordWrap;
        if ((m_style & ES_CENTER) != 0)
            m_pf.wAlignment = PFA_CENTER;
        if ((m_style & ES_RIGHT) != 0)
            m_pf.wAlignment = PFA_RIGHT;
    }
    // Without a character of our own some text services show password text in clear.
    m_passwordChar = (m_style & ES_PASSWORD) != 0 ? L'*' : 0;

    // 6. The host counts as active in place from the start.
    m_flags |= kInPlaceActive;

    // 7. The text services. A system without them leaves the control without a text host.
    auto createServices = m_module ? reinterpret_cast<PCreateTextServices>(reinterpret_cast<void*>(
                                         ::GetProcAddress(m_module.get(), "CreateTextServices")))
                                   : nullptr;
    if (createServices == nullptr) {
        if (IsTraceViewerPresent())
            TraceLog(L"[CTxtWinHost] %s or its CreateTextServices is missing (error %lu)", LibraryName().c_str(),
                     ::GetLastError());
        return false;
    }
    ComPtr<IUnknown> unknown;
    if (FAILED(createServices(nullptr, this, unknown.GetAddressOf())) || !unknown)
        return false;
    if (FAILED(unknown->QueryInterface(IID_ITextServices, reinterpret_cast<void**>(m_services.GetAddressOf()))) ||
        !m_services)
        return false;

    // 8. The initial text, shown from its first line where the insertion point is: the text
    // services follow the point into a view that has no height yet and leave the text scrolled.
    if (create != nullptr && create->lpszName != nullptr) {
        if (FAILED(m_services->TxSetText(create->lpszName)))
            return false;
        LRESULT ignored = 0;
        m_services->TxSendMessage(WM_VSCROLL, SB_TOP, 0, &ignored);
    }
    return true;
}

void CTxtWinHost::ApplyFont(HFONT hFont)
{
    LOGFONTW lf = {};
    if (hFont == nullptr || ::GetObjectW(hFont, sizeof(lf), &lf) == 0)
        return;
    // Sizes beyond what the text services take (1638 points) come only from absurd skins.
    m_cf.yHeight = std::clamp(::MulDiv(-lf.lfHeight, kTwipsPerInch, PixelsPerInch(LOGPIXELSY)), -kMaxTwips, kMaxTwips);
    SetEffect(m_cf, CFE_BOLD, lf.lfWeight >= FW_BOLD);
    SetEffect(m_cf, CFE_ITALIC, lf.lfItalic != 0);
    SetEffect(m_cf, CFE_UNDERLINE, lf.lfUnderline != 0);
    m_cf.bCharSet = lf.lfCharSet;
    m_cf.bPitchAndFamily = lf.lfPitchAndFamily;
    ::lstrcpynW(m_cf.szFaceName, lf.lfFaceName, LF_FACESIZE);
}

int CTxtWinHost::PixelsPerInch(int axis) const
{
    const HDC hDC = PaintDC();
    const int dpi = hDC != nullptr ? ::GetDeviceCaps(hDC, axis) : 0;
    return dpi > 0 ? dpi : 96;
}

HDC CTxtWinHost::PaintDC() const
{
    CWindowHostUI* host = m_owner != nullptr ? m_owner->GetManager() : nullptr;
    return host != nullptr ? host->GetPaintDC() : nullptr;
}

HWND CTxtWinHost::PaintWindow() const
{
    CWindowHostUI* host = m_owner != nullptr ? m_owner->GetManager() : nullptr;
    return host != nullptr ? host->GetPaintWindow() : nullptr;
}

void CTxtWinHost::NotifyPropertyChange(DWORD bit, DWORD value)
{
    if (m_services)
        m_services->OnTxPropertyBitsChange(bit, value);
}

void CTxtWinHost::SetClientRect(const RECT& rc)
{
    // Skin and layout numbers may be anything: coordinates stay within the range GDI works in
    // and sides are never negative.
    const auto coord = [](LONG v) { return std::clamp<LONG>(v, -CRenderKit::kMaxGdiCoord, CRenderKit::kMaxGdiCoord); };
    CUIRect client(coord(rc.left), coord(rc.top), coord(rc.right), coord(rc.bottom));
    client.right = std::max(client.right, client.left);
    client.bottom = std::max(client.bottom, client.top);
    const bool changed = !::EqualRect(&client, &m_rcClient);
    m_rcClient = client;
    m_extent.cx = ::MulDiv(m_rcClient.GetWidth(), kHimetricPerInch, PixelsPerInch(LOGPIXELSX));
    m_extent.cy = ::MulDiv(m_rcClient.GetHeight(), kHimetricPerInch, PixelsPerInch(LOGPIXELSY));
    // An area narrower than one character shows no character, and the text services wrapping a
    // text into it put every character on a line of its own, at a cost that grows with the
    // square of the lines (seconds for a few thousand characters): there the text is not wrapped.
    const bool narrow = m_rcClient.GetWidth() < EmPixels();
    if (narrow != m_narrow) {
        m_narrow = narrow;
        NotifyPropertyChange(TXTBIT_WORDWRAP, WordWraps() ? TXTBIT_WORDWRAP : 0);
        // Wrapped again, nothing lies beside the area: the view goes back to its left edge.
        if (WordWraps() && m_services) {
            LRESULT ignored = 0;
            m_services->TxSendMessage(WM_HSCROLL, SB_LEFT, 0, &ignored);
        }
    }
    // The text services read the new rectangle and lay the whole text out again at once, so that
    // their scroll range and caret follow now rather than at the next draw. Layout passes repeat
    // the same rectangle: only a change is announced.
    if (changed)
        NotifyPropertyChange(TXTBIT_CLIENTRECTCHANGE, TXTBIT_CLIENTRECTCHANGE);
    m_caret.Follow(m_rcClient, TextOrigin());
}

POINT CTxtWinHost::TextOrigin() const
{
    LONG min = 0, max = 0, page = 0, x = 0, y = 0;
    BOOL enabled = FALSE;
    if (m_services) {
        m_services->TxGetHScroll(&min, &max, &x, &page, &enabled);
        m_services->TxGetVScroll(&min, &max, &y, &page, &enabled);
    }
    return POINT{ClampedDifference(m_rcClient.left, x), ClampedDifference(m_rcClient.top, y)};
}

int CTxtWinHost::EmPixels() const
{
    return ::MulDiv(std::abs(static_cast<int>(m_cf.yHeight)), PixelsPerInch(LOGPIXELSY), kTwipsPerInch);
}

void CTxtWinHost::AnnounceCharFormat()
{
    NotifyPropertyChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
    if (!m_services)
        return;
    // Some text services read the host's format only when they start and ignore the
    // announcement: they get the format as their default and for the text they hold.
    LRESULT ignored = 0;
    m_services->TxSendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&m_cf), &ignored);
    m_services->TxSendMessage(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&m_cf), &ignored);
}

void CTxtWinHost::SetFont(HFONT hFont)
{
    if (hFont == nullptr)
        return;
    ApplyFont(hFont);
    AnnounceCharFormat();
}

void CTxtWinHost::SetColor(DWORD argb)
{
    m_cf.crTextColor = ArgbToColorRef(argb);
    AnnounceCharFormat();
}

void CTxtWinHost::SetTransparent(bool transparent)
{
    if (transparent)
        m_flags |= kTransparent;
    else
        m_flags &= ~kTransparent;
    NotifyPropertyChange(TXTBIT_BACKSTYLECHANGE, 0);
}

void CTxtWinHost::SetRichText(bool rich)
{
    if (rich)
        m_flags |= kRichText;
    else
        m_flags &= ~kRichText;
    NotifyPropertyChange(TXTBIT_RICHTEXT, rich ? TXTBIT_RICHTEXT : 0);
}

HRESULT CTxtWinHost::OnTxInPlaceActivate(LPCRECT rcClient)
{
    if (!m_services)
        return E_UNEXPECTED;
    m_flags |= kInPlaceActive;
    const HRESULT hr = m_services->OnTxInPlaceActivate(rcClient);
    if (FAILED(hr))
        m_flags &= ~kInPlaceActive;
    return hr;
}

bool CTxtWinHost::DoSetCursor(const RECT* rc, const POINT* pt)
{
    const RECT* area = rc != nullptr ? rc : &m_rcClient;
    if (pt == nullptr || !::PtInRect(area, *pt) || !m_services)
        return false;
    // An active host's text services know their rectangle already.
    const RECT* given = ((m_flags & kInPlaceActive) != 0 && rc == nullptr) ? nullptr : area;
    m_services->OnTxSetCursor(DVASPECT_CONTENT, -1, nullptr, nullptr, PaintDC(), nullptr, given, pt->x, pt->y);
    return true;
}

// ---- IUnknown ----

HRESULT STDMETHODCALLTYPE CTxtWinHost::QueryInterface(REFIID riid, void** object)
{
    return Answer(riid, object, {{&IID_IUnknown, static_cast<ITextHost*>(this)},
                                 {&IID_ITextHost, static_cast<ITextHost*>(this)}});
}

// ---- ITextHost ----

HDC CTxtWinHost::TxGetDC() { return PaintDC(); }

// The DC belongs to the window host.
INT CTxtWinHost::TxReleaseDC(HDC /*hDC*/) { return 1; }

WINBOOL CTxtWinHost::TxShowScrollBar(INT bar, WINBOOL show)
{
    auto apply = [show](CScrollBarUI* scrollBar) {
        if (scrollBar != nullptr)
            scrollBar->SetVisible(show == TRUE);
    };
    if (bar == SB_VERT || bar == SB_BOTH)
        apply(m_owner->GetVerticalScrollBar());
    if (bar == SB_HORZ || bar == SB_BOTH)
        apply(m_owner->GetHorizontalScrollBar());
    return TRUE;
}

WINBOOL CTxtWinHost::TxEnableScrollBar(INT bars, INT arrows)
{
    // The bars are made on demand; one whose arrows are both disabled stays hidden.
    const bool vertical = bars == SB_VERT || bars == SB_BOTH;
    const bool horizontal = bars == SB_HORZ || bars == SB_BOTH;
    if (!vertical && !horizontal)
        return TRUE;
    m_owner->EnableScrollBar(vertical || m_owner->GetVerticalScrollBar() != nullptr,
                             horizontal || m_owner->GetHorizontalScrollBar() != nullptr);
    const bool visible = arrows != ESB_DISABLE_BOTH;
    if (vertical && m_owner->GetVerticalScrollBar() != nullptr)
        m_owner->GetVerticalScrollBar()->SetVisible(visible);
    if (horizontal && m_owner->GetHorizontalScrollBar() != nullptr)
        m_owner->GetHorizontalScrollBar()->SetVisible(visible);
    return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL /*redraw*/)
{
    // The bar scrolls over what does not fit in the client rectangle.
    CScrollBarUI* scrollBar = nullptr;
    LONG range = 0;
    if (bar == SB_VERT) {
        scrollBar = m_owner->GetVerticalScrollBar();
        range = ClampedDifference(maxPos, static_cast<long long>(minPos) + m_rcClient.GetHeight());
    } else if (bar == SB_HORZ) {
        scrollBar = m_owner->GetHorizontalScrollBar();
        range = ClampedDifference(maxPos, static_cast<long long>(minPos) + m_rcClient.GetWidth());
    }
    if (scrollBar == nullptr)
        return TRUE;
    if (range > 0) {
        scrollBar->SetVisible(true);
        scrollBar->SetScrollRange(range);
    } else {
        scrollBar->SetVisible(false);
    }
    return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollPos(INT bar, INT pos, WINBOOL /*redraw*/)
{
    CScrollBarUI* scrollBar = bar == SB_VERT   ? m_owner->GetVerticalScrollBar()
                              : bar == SB_HORZ ? m_owner->GetHorizontalScrollBar()
                                               : nullptr;
    if (scrollBar != nullptr)
        scrollBar->SetScrollPos(pos);
    // The text scrolled (the text services report every scroll here, bar or not): the caret goes
    // with it, as a window's caret goes with its scrolled contents.
    m_caret.Follow(m_rcClient, TextOrigin());
    return TRUE;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT rc, WINBOOL /*mode*/)
{
    if (CWindowHostUI* host = m_owner->GetManager())
        host->Invalidate(rc != nullptr ? *rc : m_rcClient);
}

void CTxtWinHost::TxViewChange(WINBOOL /*update*/)
{
    if (m_owner->OnTxViewChanged())
        m_owner->Invalidate();
}

WINBOOL CTxtWinHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height)
{
    return m_caret.Create(PaintWindow(), bitmap, width, height);
}

WINBOOL CTxtWinHost::TxShowCaret(WINBOOL show)
{
    m_caret.Show(show != FALSE);
    return TRUE;
}

WINBOOL CTxtWinHost::TxSetCaretPos(INT x, INT y)
{
    m_caret.SetPos(POINT{x, y}, TextOrigin());
    return TRUE;
}

WINBOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout)
{
    m_flags |= kTimer;
    CWindowHostUI* host = m_owner->GetManager();
    return host != nullptr && host->SetTimer(m_owner, id, timeout);
}

void CTxtWinHost::TxKillTimer(UINT id)
{
    if (CWindowHostUI* host = m_owner->GetManager())
        host->KillTimer(m_owner, id);
    m_flags &= ~kTimer;
}

void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) {}

void CTxtWinHost::TxSetCapture(WINBOOL capture)
{
    if (CWindowHostUI* host = m_owner->GetManager()) {
        if (capture)
            host->SetCapture();
        else
            host->ReleaseCapture();
    }
    if (capture)
        m_flags |= kCaptured;
    else
        m_flags &= ~kCaptured;
}

void CTxtWinHost::TxSetFocus() { m_owner->SetFocus(); }

void CTxtWinHost::TxSetCursor(HCURSOR cursor, WINBOOL /*text*/) { ::SetCursor(cursor); }

WINBOOL CTxtWinHost::TxScreenToClient(LPPOINT pt) { return ::ScreenToClient(PaintWindow(), pt); }

WINBOOL CTxtWinHost::TxClientToScreen(LPPOINT pt) { return ::ClientToScreen(PaintWindow(), pt); }

HRESULT CTxtWinHost::TxActivate(LONG* /*oldState*/) { return S_OK; }

HRESULT CTxtWinHost::TxDeactivate(LONG /*newState*/) { return S_OK; }

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rc)
{
    *rc = m_rcClient;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT rc)
{
    *rc = RECT{0, 0, 0, 0};
    return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** cf)
{
    *cf = reinterpret_cast<const CHARFORMATW*>(&m_cf);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** pf)
{
    *pf = &m_pf;
    return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index) { return ::GetSysColor(index); }

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style)
{
    *style = (m_flags & kTransparent) != 0 ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length)
{
    *length = static_cast<DWORD>(m_maxLength);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* scrollBars)
{
    // A text with a scroll bar follows its insertion point along that axis, as the system's own
    // rich edit window does: without it, keys that move the point (Ctrl+End, the arrows, Page
    // Down) would leave it out of view.
    DWORD bars = m_style & kScrollBarStyles;
    if ((bars & WS_VSCROLL) != 0)
        bars |= ES_AUTOVSCROLL;
    if ((bars & WS_HSCROLL) != 0)
        bars |= ES_AUTOHSCROLL;
    *scrollBars = bars;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* ch)
{
    *ch = m_passwordChar;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* pos)
{
    *pos = m_accelPos;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL extent)
{
    *extent = m_extent;
    return S_OK;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW* /*cf*/) { return S_OK; }

HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT* /*pf*/) { return S_OK; }

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits)
{
    struct Rule {
        DWORD bit;
        bool on;
    };
    const Rule rules[] = {
        {TXTBIT_RICHTEXT, (m_flags & kRichText) != 0},
        {TXTBIT_MULTILINE, (m_style & ES_MULTILINE) != 0},
        {TXTBIT_READONLY, (m_style & ES_READONLY) != 0},
        {TXTBIT_USEPASSWORD, (m_style & ES_PASSWORD) != 0},
        {TXTBIT_HIDESELECTION, (m_style & ES_NOHIDESEL) == 0},
        {TXTBIT_AUTOWORDSEL, (m_flags & kAutoWordSel) != 0},
        {TXTBIT_WORDWRAP, WordWraps()},
        {TXTBIT_ALLOWBEEP, (m_flags & kAllowBeep) != 0},
        {TXTBIT_SAVESELECTION, (m_flags & kSaveSelection) != 0},
    };
    DWORD value = 0;
    for (const Rule& rule : rules)
        if (rule.on)
            value |= rule.bit;
    *bits = value & mask;
    return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD code, void* data)
{
    if (code == EN_REQUESTRESIZE) {
        // The text asks for a size: the client rectangle grows or shrinks from its left-top corner.
        if (const auto* request = static_cast<const REQRESIZE*>(data)) {
            CUIRect rc = m_rcClient;
            rc.right = ClampedSum(rc.left, request->rc.right);
            rc.bottom = ClampedSum(rc.top, request->rc.bottom);
            SetClientRect(rc);
        }
        return S_OK;
    }
    m_owner->OnTxNotify(code, data);
    return S_OK;
}

HIMC CTxtWinHost::TxImmGetContext() { return nullptr; }

void CTxtWinHost::TxImmReleaseContext(HIMC /*himc*/) {}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width)
{
    *width = m_selBarWidth;
    return S_OK;
}

} // namespace SkinUI
