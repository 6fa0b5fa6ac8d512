#include "uitoolkit/core/ControlUI.h"

#include <cwchar>

#include "uitoolkit/core/ClipGuard.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

// Attribute name -> setter. Names are compared exactly; unknown names are ignored here (derived
// classes handle theirs before handing the rest to this base).
struct AttributeSetter {
    const wchar_t* name;
    void (*apply)(CControlUI& control, const wchar_t* value);
};

void ApplyPos(CControlUI& c, const wchar_t* value)
{
    long v[4];
    ParseNumberList(value, v, 4);
    const long l = v[0], t = v[1], r = v[2], b = v[3];
    // A negative left / top anchors the right / bottom edge to the parent's.
    c.SetFixedXY(SIZE{l < 0 ? r : l, t < 0 ? b : t});
    c.SetFixedWidth(r - l);
    c.SetFixedHeight(b - t);
}

void ApplyRelativePos(CControlUI& c, const wchar_t* value)
{
    long v[4];
    ParseNumberList(value, v, 4);
    c.SetRelativePos(v[0], v[1], v[2], v[3]);
}

const AttributeSetter kAttributes[] = {
    {L"pos", ApplyPos},
    {L"relativepos", ApplyRelativePos},
    {L"padding", [](CControlUI& c, const wchar_t* v) { c.SetPadding(ParseRect(v)); }},
    {L"bkcolor", [](CControlUI& c, const wchar_t* v) { c.SetBkColor(ParseColor(v, true)); }},
    {L"bkcolor1", [](CControlUI& c, const wchar_t* v) { c.SetBkColor(ParseColor(v, true)); }},
    {L"bkcolor2", [](CControlUI& c, const wchar_t* v) { c.SetBkColor2(ParseColor(v, true)); }},
    {L"bkcolor3", [](CControlUI& c, const wchar_t* v) { c.SetBkColor3(ParseColor(v, true)); }},
    {L"bordercolor", [](CControlUI& c, const wchar_t* v) { c.SetBorderColor(ParseColor(v, false)); }},
    {L"focusbordercolor", [](CControlUI& c, const wchar_t* v) { c.SetFocusBorderColor(ParseColor(v, false)); }},
    {L"colorhsl", [](CControlUI& c, const wchar_t* v) { c.SetColorHsl(ParseBool(v)); }},
    {L"bordersize", [](CControlUI& c, const wchar_t* v) { c.SetBorderSize(ParseInt(v)); }},
    {L"borderround", [](CControlUI& c, const wchar_t* v) { c.SetBorderRound(ParseSize(v)); }},
    {L"bkimage", [](CControlUI& c, const wchar_t* v) { c.SetBkImage(v); }},
    {L"width", [](CControlUI& c, const wchar_t* v) { c.SetFixedWidth(ParseInt(v)); }},
    {L"height", [](CControlUI& c, const wchar_t* v) { c.SetFixedHeight(ParseInt(v)); }},
    {L"minwidth", [](CControlUI& c, const wchar_t* v) { c.SetMinWidth(ParseInt(v)); }},
    {L"minheight", [](CControlUI& c, const wchar_t* v) { c.SetMinHeight(ParseInt(v)); }},
    {L"maxwidth", [](CControlUI& c, const wchar_t* v) { c.SetMaxWidth(ParseInt(v)); }},
    {L"maxheight", [](CControlUI& c, const wchar_t* v) { c.SetMaxHeight(ParseInt(v)); }},
    {L"name", [](CControlUI& c, const wchar_t* v) { c.SetName(v); }},
    {L"text", [](CControlUI& c, const wchar_t* v) { c.SetText(v); }},
    {L"tooltip", [](CControlUI& c, const wchar_t* v) { c.SetToolTip(v); }},
    {L"userdata", [](CControlUI& c, const wchar_t* v) { c.SetUserData(v); }},
    {L"enabled", [](CControlUI& c, const wchar_t* v) { c.SetEnabled(ParseBool(v)); }},
    {L"mouse", [](CControlUI& c, const wchar_t* v) { c.SetMouseEnabled(ParseBool(v)); }},
    {L"keyboard", [](CControlUI& c, const wchar_t* v) { c.SetKeyboardEnabled(ParseBool(v)); }},
    {L"visible", [](CControlUI& c, const wchar_t* v) { c.SetVisible(ParseBool(v)); }},
    {L"float", [](CControlUI& c, const wchar_t* v) { c.SetFloat(ParseBool(v)); }},
    {L"menu", [](CControlUI& c, const wchar_t* v) { c.SetMenuNotifyEnabled(ParseBool(v)); }},
    {L"shortcut", [](CControlUI& c, const wchar_t* v) { c.SetShortcut(v[0]); }},
};

} // namespace

// ---- control ----------------------------------------------------------------------------------

CControlUI::CControlUI() = default;

CControlUI::~CControlUI()
{
    // A destroy delegate may end the host: it is told only while it still lives.
    const mjz::AliveToken::Life hostLife = m_host != nullptr ? m_host->GetAliveToken() : mjz::AliveToken::Life();
    if (!DestroyDelegates.IsEmpty())
        DestroyDelegates.Fire(this);
    if (!hostLife.Ended())
        m_host->ForgetControl(this);
    for (Watch* watch = m_watches; watch != nullptr; watch = watch->m_next) {
        watch->m_deleted = true;
        watch->m_control = nullptr;
    }
    m_watches = nullptr;
}

CUIString CControlUI::GetName() const { return m_name; }
void CControlUI::SetName(const wchar_t* name) { m_name = name; }
const wchar_t* CControlUI::GetClass() const { return L"ControlUI"; }

void* CControlUI::GetInterface(const wchar_t* name)
{
    return name != nullptr && std::wcscmp(name, L"Control") == 0 ? this : nullptr;
}

UINT CControlUI::GetBehaviourFlags() const { return 0; }
bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }
CWindowHostUI* CControlUI::GetManager() const { return m_host; }

void CControlUI::SetManager(CWindowHostUI* host, CControlUI* parent, bool init)
{
    m_host = host;
    m_parent = parent;
    if (init && m_parent != nullptr)
        Init();
}

CControlUI* CControlUI::GetParent() const { return m_parent; }
CUIString CControlUI::GetText() const { return m_text; }

void CControlUI::SetText(const wchar_t* text)
{
    if (m_text == text)
        return;
    m_text = text;
    Invalidate();
}

const RECT& CControlUI::GetPos() const { return m_rcItem; }

bool CControlUI::ClipToAncestors(RECT& rc) const
{
    for (const CControlUI* p = m_parent; p != nullptr; p = p->GetParent()) {
        const RECT rcParent = p->GetPos();
        if (!::IntersectRect(&rc, &rc, &rcParent))
            return false;
    }
    return true;
}

void CControlUI::SetPos(RECT rc)
{
    if (rc.right < rc.left)
        rc.right = rc.left;
    if (rc.bottom < rc.top)
        rc.bottom = rc.top;

    CUIRect invalidate = m_rcItem;
    if (::IsRectEmpty(&invalidate))
        invalidate = rc;

    m_rcItem = rc;
    if (m_host == nullptr)
        return;

    // (Without size delegates there is nothing to fire and nothing that could delete the control.)
    if (!m_inSetPos && !SizeDelegates.IsEmpty()) {
        m_inSetPos = true;
        // The list's result is false both when a delegate lost the control and when one just
        // stops the firing: the watch tells them apart.
        Watch watch(this);
        SizeDelegates.Fire(this);
        if (watch.ControlDeleted())
            return;
        m_inSetPos = false;
        if (watch.Lost())
            return;
    }

    if (m_float && m_parent != nullptr) {
        // Keep the fixed position in step with where the layout put a floating control.
        const RECT rcParent = m_parent->GetPos();
        m_fixedXY.cx = m_fixedXY.cx < 0 ? m_rcItem.right - rcParent.right : m_rcItem.left - rcParent.left;
        m_fixedXY.cy = m_fixedXY.cy < 0 ? m_rcItem.bottom - rcParent.bottom : m_rcItem.top - rcParent.top;
        m_fixedSize.cx = m_rcItem.right - m_rcItem.left;
        m_fixedSize.cy = m_rcItem.bottom - m_rcItem.top;
    }

    m_updateNeeded = false;

    if (m_host->IsWholeClientInvalid())
        return;  // painted anyway
    invalidate.Union(m_rcItem);
    if (ClipToAncestors(invalidate))
        m_host->Invalidate(invalidate);
}

int CControlUI::GetWidth() const { return m_rcItem.right - m_rcItem.left; }
int CControlUI::GetHeight() const { return m_rcItem.bottom - m_rcItem.top; }
int CControlUI::GetX() const { return m_rcItem.left; }
int CControlUI::GetY() const { return m_rcItem.top; }
RECT CControlUI::GetPadding() const { return m_rcPadding; }

void CControlUI::SetPadding(RECT rc)
{
    m_rcPadding = rc;
    RequestParentLayout();
}

SIZE CControlUI::GetFixedXY() const { return m_fixedXY; }

namespace {
// Size and position changes: a floating control lays itself out, others ask their parent.
void Relayout(CControlUI& control)
{
    if (control.IsFloat())
        control.RequestLayout();
    else
        control.RequestParentLayout();
}

// Min / max sizes: a negative or unchanged value is ignored; a change lays the control out again.
void SetLimit(CControlUI& control, LONG& limit, int value)
{
    if (limit == value || value < 0)
        return;
    limit = value;
    Relayout(control);
}
} // namespace

void CControlUI::SetFixedXY(SIZE xy)
{
    m_fixedXY = xy;
    Relayout(*this);
}

int CControlUI::GetFixedWidth() const { return m_fixedSize.cx; }

void CControlUI::SetFixedWidth(int width)
{
    if (width < 0)
        return;
    m_fixedSize.cx = width;
    Relayout(*this);
}

int CControlUI::GetFixedHeight() const { return m_fixedSize.cy; }

void CControlUI::SetFixedHeight(int height)
{
    if (height < 0)
        return;
    m_fixedSize.cy = height;
    Relayout(*this);
}

int CControlUI::GetMinWidth() const { return m_minSize.cx; }

void CControlUI::SetMinWidth(int width) { SetLimit(*this, m_minSize.cx, width); }

int CControlUI::GetMaxWidth() const { return m_maxSize.cx; }

void CControlUI::SetMaxWidth(int width) { SetLimit(*this, m_maxSize.cx, width); }

int CControlUI::GetMinHeight() const { return m_minSize.cy; }

void CControlUI::SetMinHeight(int height) { SetLimit(*this, m_minSize.cy, height); }

int CControlUI::GetMaxHeight() const { return m_maxSize.cy; }

void CControlUI::SetMaxHeight(int height) { SetLimit(*this, m_maxSize.cy, height); }

void CControlUI::SetRelativePos(int moveX, int moveY, int zoomX, int zoomY)
{
    m_relativePos.moveX = moveX;
    m_relativePos.moveY = moveY;
    m_relativePos.zoomX = zoomX;
    m_relativePos.zoomY = zoomY;
    m_relativePos.relative = true;
}

void CControlUI::SetRelativeParentSize(SIZE size) { m_relativePos.parentSize = size; }
RelativePosUI CControlUI::GetRelativePos() const { return m_relativePos; }
bool CControlUI::IsRelativePos() const { return m_relativePos.relative; }
CUIString CControlUI::GetToolTip() const { return m_toolTip; }
void CControlUI::SetToolTip(const wchar_t* text) { m_toolTip = text; }
wchar_t CControlUI::GetShortcut() const { return m_shortcut; }
void CControlUI::SetShortcut(wchar_t ch) { m_shortcut = ch; }
bool CControlUI::IsMenuNotifyEnabled() const { return m_menuNotify; }
void CControlUI::SetMenuNotifyEnabled(bool enabled) { m_menuNotify = enabled; }
CUIString CControlUI::GetUserData() const { return m_userData; }
void CControlUI::SetUserData(const wchar_t* text) { m_userData = text; }
UINT_PTR CControlUI::GetUserTag() const { return m_userTag; }
void CControlUI::SetUserTag(UINT_PTR tag) { m_userTag = tag; }
bool CControlUI::IsVisible() const { return m_visible && m_inheritedVisible; }

void CControlUI::SetVisible(bool visible)
{
    if (m_visible == visible)
        return;
    const bool wasVisible = IsVisible();
    m_visible = visible;
    m_focused = false;
    if (!visible && m_host != nullptr && m_host->GetFocus() == this) {
        // The "killfocus" listeners run here.
        if (!Survives([this] { m_host->SetFocus(nullptr); }))
            return;
    }
    if (IsVisible() != wasVisible)
        RequestParentLayout();
}

void CControlUI::SetInheritedVisible(bool visible)
{
    m_inheritedVisible = visible;
    if (!visible && m_host != nullptr && m_host->GetFocus() == this)
        m_host->SetFocus(nullptr);
}

bool CControlUI::IsEnabled() const { return m_enabled; }

void CControlUI::SetEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const { return m_mouseEnabled; }
void CControlUI::SetMouseEnabled(bool enabled) { m_mouseEnabled = enabled; }
bool CControlUI::IsKeyboardEnabled() const { return m_keyboardEnabled; }
void CControlUI::SetKeyboardEnabled(bool enabled) { m_keyboardEnabled = enabled; }
bool CControlUI::IsFocused() const { return m_focused; }

void CControlUI::SetFocus()
{
    if (m_host != nullptr)
        m_host->SetFocus(this);
}

bool CControlUI::IsFloat() const { return m_float; }

void CControlUI::SetFloat(bool isFloat)
{
    if (m_float == isFloat)
        return;
    m_float = isFloat;
    RequestParentLayout();
}

CControlUI* CControlUI::FindControl(FindControlProc proc, void* data, UINT flags)
{
    if ((flags & kFindVisible) != 0 && !IsVisible())
        return nullptr;
    if ((flags & kFindEnabled) != 0 && !IsEnabled())
        return nullptr;
    if ((flags & kFindHitTest) != 0 &&
        (!IsMouseEnabled() || data == nullptr || !::PtInRect(&m_rcItem, *static_cast<const POINT*>(data))))
        return nullptr;
    return proc(this, data);
}

void CControlUI::Init()
{
    if (Survives([this] { InitControl(); }))
        InitDelegates.Fire(this);
}

void CControlUI::InitControl() {}

void CControlUI::Event(ControlEvent& event)
{
    // False also when a delegate destroyed this control: nothing of it may be touched then.
    if (EventDelegates.Fire(&event))
        HandleEvent(event);
}

void CControlUI::HandleEvent(ControlEvent& event)
{
    switch (event.type) {
    case kEventSetCursor:
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        return;
    case kEventSetFocus:
        m_focused = true;
        Invalidate();
        return;
    case kEventKillFocus:
        m_focused = false;
        Invalidate();
        return;
    case kEventTimer:
        if (m_host != nullptr)
            m_host->SendNotify(this, L"timer", event.wParam, event.lParam);
        return;
    case kEventContextMenu:
        if (IsMenuNotifyEnabled()) {
            if (m_host != nullptr)
                m_host->SendNotify(this, L"menu", event.wParam, event.lParam);
            return;
        }
        break;
    default:
        break;
    }
    // The parent's handler, not its Event: the parent's EventDelegates do not see it.
    if (m_parent != nullptr)
        m_parent->HandleEvent(event);
}

void CControlUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr)
        return;
    if (value == nullptr)
        value = L"";
    for (const AttributeSetter& setter : kAttributes) {
        if (std::wcscmp(name, setter.name) == 0) {
            setter.apply(*this, value);
            return;
        }
    }
}

void CControlUI::ApplyAttributeText(const wchar_t* text)
{
    if (text == nullptr)
        return;
    Watch watch(this);  // a setter may hide the focused control, whose listeners may delete it
    const wchar_t* p = text;
    while (*p != L'\0') {
        const wchar_t* name = p;
        while (*p != L'\0' && *p != L'=')
            ++p;
        if (*p != L'=')
            return;
        const CUIString attrName(name, static_cast<int>(p - name));
        ++p;
        if (*p != L'"')
            return;
        ++p;
        const wchar_t* value = p;
        while (*p != L'\0' && *p != L'"')
            ++p;
        if (*p != L'"')
            return;
        const CUIString attrValue(value, static_cast<int>(p - value));
        ++p;
        SetAttribute(attrName.GetData(), attrValue.GetData());
        if (watch.Lost())
            return;
        // Exactly one blank separates pairs.
        if (*p != L' ')
            return;
        ++p;
        if (*p == L' ')
            return;
    }
}

SIZE CControlUI::GetDesiredSize(SIZE /*available*/) { return m_fixedSize; }

void CControlUI::Paint(HDC hDC, const RECT& rcDirty)
{
    if (!::IntersectRect(&m_rcPaint, &rcDirty, &m_rcItem))
        return;
    if (m_borderRound.cx < 1 && m_borderRound.cy < 1) {
        PaintSteps(hDC);
        return;
    }
    CClipGuard clip;
    CClipGuard::ClipToRoundRect(hDC, m_rcPaint, m_rcItem, m_borderRound.cx, m_borderRound.cy, clip);
    PaintSteps(hDC);
}

bool CControlUI::PaintSteps(HDC hDC)
{
    using Step = void (CControlUI::*)(HDC);
    static constexpr Step kSteps[] = {&CControlUI::PaintBackColor, &CControlUI::PaintBackImage,
                                      &CControlUI::PaintStateImage, &CControlUI::PaintText,
                                      &CControlUI::PaintBorder};
    // A step of a derived control may call out (a text callback) and lose the control.
    Watch watch(this);
    for (Step step : kSteps) {
        (this->*step)(hDC);
        if (watch.Lost())
            return false;
    }
    return true;
}

void CControlUI::PaintBackColor(HDC hDC)
{
    if (m_bkColor1 == 0)
        return;
    if (m_bkColor2 == 0) {
        const DWORD color = ApplyColorHsl(m_bkColor1);
        // A translucent colour covers the whole control so that the blend is the same
        // whichever part is repainted.
        CRenderKit::DrawColor(hDC, color >= 0xFF000000 ? m_rcPaint : m_rcItem, color);
        return;
    }
    if (m_bkColor3 == 0) {
        CRenderKit::DrawGradient(hDC, m_rcItem, ApplyColorHsl(m_bkColor1), ApplyColorHsl(m_bkColor2), true, 16);
        return;
    }
    RECT upper = m_rcItem;
    upper.bottom = (m_rcItem.top + m_rcItem.bottom) / 2;
    RECT lower = m_rcItem;
    lower.top = upper.bottom;
    CRenderKit::DrawGradient(hDC, upper, ApplyColorHsl(m_bkColor1), ApplyColorHsl(m_bkColor2), true, 8);
    CRenderKit::DrawGradient(hDC, lower, ApplyColorHsl(m_bkColor2), ApplyColorHsl(m_bkColor3), true, 8);
}

void CControlUI::PaintBackImage(HDC hDC)
{
    if (m_bkImage.IsEmpty())
        return;
    if (!DrawImage(hDC, m_bkImage.GetData()))
        m_bkImage.Empty();
}

void CControlUI::PaintStateImage(HDC /*hDC*/) {}
void CControlUI::PaintText(HDC /*hDC*/) {}

void CControlUI::PaintBorder(HDC hDC)
{
    if (m_borderSize < 1)
        return;
    const DWORD color = (IsFocused() && m_focusBorderColor != 0) ? m_focusBorderColor : m_borderColor;
    if (m_borderRound.cx < 1 && m_borderRound.cy < 1) {
        if (color == 0)
            return;
        CRenderKit::DrawRect(hDC, m_rcItem, m_borderSize, ApplyColorHsl(color));
        return;
    }
    CRenderKit::DrawRoundRect(hDC, m_rcItem, m_borderSize, m_borderRound.cx, m_borderRound.cy,
                              ApplyColorHsl(color));
}

void CControlUI::PaintOverlay(HDC /*hDC*/, const RECT& /*rcPaint*/) {}

bool CControlUI::DrawImage(HDC hDC, const wchar_t* image, const wchar_t* modifier)
{
    return CRenderKit::DrawImageBySpec(hDC, m_host, m_rcItem, m_rcPaint, image, modifier);
}

DWORD CControlUI::ApplyColorHsl(DWORD color) const
{
    if (!m_colorHsl)
        return color;
    short hue = 180, saturation = 100, lightness = 100;
    CHostResources::GetHsl(&hue, &saturation, &lightness);
    return CRenderKit::AdjustColor(color, hue, saturation, lightness);
}

void CControlUI::Invalidate()
{
    if (!IsVisible() || (m_host != nullptr && m_host->IsWholeClientInvalid()))
        return;
    RECT rc = m_rcItem;
    if (ClipToAncestors(rc) && m_host != nullptr)
        m_host->Invalidate(rc);
}

void CControlUI::RequestLayout()
{
    if (!IsVisible())
        return;
    m_updateNeeded = true;
    Invalidate();
    if (m_host != nullptr)
        m_host->SetUpdateNeeded();
}

void CControlUI::RequestParentLayout()
{
    if (m_parent != nullptr) {
        m_parent->RequestLayout();
        m_parent->Invalidate();
    } else {
        RequestLayout();
    }
    if (m_host != nullptr)
        m_host->SetUpdateNeeded();
}

void CControlUI::SetBkColor(DWORD color)
{
    if (m_bkColor1 == color)
        return;
    m_bkColor1 = color;
    Invalidate();
}

void CControlUI::SetBkColor2(DWORD color)
{
    if (m_bkColor2 == color)
        return;
    m_bkColor2 = color;
    Invalidate();
}

void CControlUI::SetBkColor3(DWORD color)
{
    if (m_bkColor3 == color)
        return;
    m_bkColor3 = color;
    Invalidate();
}

void CControlUI::SetBkImage(const wchar_t* image)
{
    if (m_bkImage == image)
        return;
    m_bkImage = image;
    Invalidate();
}

void CControlUI::SetBorderColor(DWORD color)
{
    if (m_borderColor == color)
        return;
    m_borderColor = color;
    Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD color)
{
    if (m_focusBorderColor == color)
        return;
    m_focusBorderColor = color;
    Invalidate();
}

void CControlUI::SetColorHsl(bool on)
{
    if (m_colorHsl == on)
        return;
    m_colorHsl = on;
    Invalidate();
}

void CControlUI::SetBorderSize(int size)
{
    if (m_borderSize == size)
        return;
    m_borderSize = size;
    Invalidate();
}

void CControlUI::SetBorderRound(SIZE round)
{
    m_borderRound = round;
    Invalidate();
}

} // namespace SkinUI
