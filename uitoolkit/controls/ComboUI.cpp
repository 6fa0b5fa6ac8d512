#include "uitoolkit/controls/ComboUI.h"

#include <cwchar>
#include <new>
#include <utility>

#include "uitoolkit/controls/ButtonBehaviour.h"
#include "uitoolkit/controls/ButtonState.h"
#include "uitoolkit/controls/ComboWnd.h"
#include "uitoolkit/controls/IListItemUI.h"
#include "uitoolkit/controls/ListItemIndex.h"
#include "uitoolkit/core/AttributeTable.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

// Room around the default font's line in a combo of automatic height.
constexpr int kTextLineMargin = 12;

const AttributeSetterOf<CComboUI> kComboAttributes[] = {
    {L"textpadding", [](CComboUI& c, const wchar_t* v) { c.SetTextPadding(ParseRect(v)); }},
    {L"normalimage", [](CComboUI& c, const wchar_t* v) { c.SetNormalImage(v); }},
    {L"hotimage", [](CComboUI& c, const wchar_t* v) { c.SetHotImage(v); }},
    {L"pushedimage", [](CComboUI& c, const wchar_t* v) { c.SetPushedImage(v); }},
    {L"focusedimage", [](CComboUI& c, const wchar_t* v) { c.SetFocusedImage(v); }},
    {L"disabledimage", [](CComboUI& c, const wchar_t* v) { c.SetDisabledImage(v); }},
    {L"dropbox", [](CComboUI& c, const wchar_t* v) { c.SetDropBoxAttributeList(v); }},
    {L"dropboxsize", [](CComboUI& c, const wchar_t* v) { c.SetDropBoxSize(ParseSize(v)); }},
};

} // namespace

CComboUI::CComboUI()
{
    // The combo's items show their selection in a light blue unless the skin says otherwise.
    m_listInfo.selectedBkColor = 0xFFC1E3FF;
}

CComboUI::~CComboUI()
{
    // Before the container deletes the items: the pop-up hands them back first.
    if (CComboWnd* window = std::exchange(m_dropWindow, nullptr))
        window->CloseForDyingOwner();
}

const wchar_t* CComboUI::GetClass() const { return L"ComboUI"; }

void* CComboUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"Combo") == 0)
        return this;
    if (name != nullptr && std::wcscmp(name, L"IListOwner") == 0)
        return static_cast<IListOwnerUI*>(this);
    return CContainerUI::GetInterface(name);
}

UINT CComboUI::GetBehaviourFlags() const { return kBehaviourTabStop; }

// ---- pop-up ------------------------------------------------------------------------------------

bool CComboUI::Activate()
{
    if (!CControlUI::Activate())
        return false;
    if (m_dropWindow != nullptr)
        return true;
    if (m_host == nullptr || m_host->GetPaintWindow() == nullptr)
        return false;
    auto* window = new (std::nothrow) CComboWnd();
    if (window == nullptr)
        return false;
    // The pop-up's creation runs the items' init delegates.
    m_dropWindow = window;
    bool created = false;
    if (!Survives([&] { created = window->Init(this); }))
        return created;
    if (!created) {
        m_dropWindow = nullptr;
        return false;
    }
    Invalidate();
    m_host->SendNotify(this, L"dropdown");  // last: a listener may delete the combo
    return true;
}

void CComboUI::OnDropWindowGone()
{
    m_dropWindow = nullptr;
    m_state &= ~kStatePushed;
    Invalidate();
}

bool CComboUI::CloseDropWindow()
{
    if (m_dropWindow == nullptr)
        return true;
    // Handing the items back focuses the combo, which runs listeners.
    return Survives([this] { m_dropWindow->Destroy(); });
}

// ---- items ---------------------------------------------------------------------------------------

bool CComboUI::Add(CControlUI* control)
{
    if (control == nullptr || !CloseDropWindow())
        return false;
    if (IListItemUI* item = AsListItem(control)) {
        item->SetOwner(this);
        item->SetIndex(GetCount());
    }
    return CContainerUI::Add(control);
}

bool CComboUI::AddAt(CControlUI* control, int index)
{
    if (control == nullptr || !CloseDropWindow())
        return false;
    if (!CContainerUI::AddAt(control, index))
        return false;
    if (IListItemUI* item = AsListItem(control)) {
        item->SetOwner(this);
        item->SetIndex(index);
    }
    RenumberListItems(*this, index + 1, GetCount() - 1);
    m_curSel = IndexAfterInsertion(m_curSel, index);
    return true;
}

bool CComboUI::SetItemIndex(CControlUI* control, int index)
{
    if (!CloseDropWindow())
        return false;
    const int old = GetItemIndex(control);
    if (old < 0)
        return false;
    IListItemUI* selected = m_curSel >= 0 ? AsListItem(GetItemAt(m_curSel)) : nullptr;
    if (!CContainerUI::SetItemIndex(control, index))
        return false;
    RenumberListItems(*this, old < index ? old : index, old < index ? index : old);
    if (selected != nullptr)
        m_curSel = selected->GetIndex();
    return true;
}

bool CComboUI::Remove(CControlUI* control)
{
    if (control == nullptr || !CloseDropWindow())
        return false;
    return RemoveItemAt(GetItemIndex(control));
}

bool CComboUI::RemoveAt(int index)
{
    if (!CloseDropWindow())
        return false;
    return RemoveItemAt(GetItemAt(index) != nullptr ? index : -1);
}

bool CComboUI::RemoveItemAt(int index)
{
    if (index < 0 || !CContainerUI::RemoveAt(index))
        return false;
    AfterListItemRemoved(*this, *this, m_curSel, index);
    return true;
}

void CComboUI::RemoveAll()
{
    if (!CloseDropWindow())
        return;
    m_curSel = -1;
    CContainerUI::RemoveAll();
}

// ---- selection -----------------------------------------------------------------------------------

ListInfo* CComboUI::GetListInfo() { return &m_listInfo; }
int CComboUI::GetCurSel() const { return m_curSel; }

bool CComboUI::SelectItem(int index, bool takeFocus)
{
    // 1. Any selection closes the open pop-up, by a posted message.
    if (m_dropWindow != nullptr)
        m_dropWindow->PostMessage(WM_CLOSE);
    // 2. The item already selected: nothing more.
    if (index == m_curSel)
        return true;
    const int previous = m_curSel;
    // 3. The old item lets go first; an old selection that is no list item fails the call.
    if (m_curSel >= 0) {
        IListItemUI* old = AsListItem(GetItemAt(m_curSel));
        if (old == nullptr)
            return false;
        old->Select(false);
        m_curSel = -1;
    }
    // 4. A negative index or an empty combo leaves nothing selected; past the end means the last.
    const int count = GetCount();
    if (index < 0 || count == 0)
        return false;
    if (index >= count)
        index = count - 1;
    // 5. Only a visible, enabled list item can be selected.
    CControlUI* control = GetItemAt(index);
    IListItemUI* item = AsListItem(control);
    if (item == nullptr || !control->IsVisible() || !control->IsEnabled())
        return false;
    // 6. The item's own Select calls back here and finds the selection already made.
    m_curSel = index;
    if (m_dropWindow != nullptr || takeFocus) {
        CControlUI::Watch itemWatch(control);
        if (!Survives([control] { control->SetFocus(); }) || itemWatch.Lost())
            return true;
    }
    if (!Survives([item] { item->Select(true); }))
        return true;
    // 7. The notification last: its listeners may delete the combo.
    Invalidate();
    if (m_host != nullptr)
        m_host->SendNotify(this, L"itemselect", static_cast<WPARAM>(index), static_cast<LPARAM>(previous));
    return true;
}

void CComboUI::NavigateTo(int index)
{
    if (index >= 0)
        SelectItem(index, false);
}

CUIString CComboUI::GetText() const
{
    const CControlUI* selected = GetItemAt(m_curSel);
    return selected != nullptr ? selected->GetText() : CUIString();
}

// ---- placement -----------------------------------------------------------------------------------

void CComboUI::SetPos(RECT rc)
{
    // The items are never placed inside the closed box. Items lent to the open pop-up belong to
    // its window and keep their places there.
    const bool survived = ForEachChild([this](CControlUI* item, int) {
        if (item->GetManager() == m_host)
            item->SetPos(RECT{0, 0, 0, 0});
    });
    if (survived)
        CControlUI::SetPos(rc);
}

SIZE CComboUI::GetDesiredSize(SIZE available)
{
    if (m_fixedSize.cy != 0)
        return CControlUI::GetDesiredSize(available);
    const FontEntry* font = m_host != nullptr ? m_host->GetDefaultFontEntry() : nullptr;
    const int fontHeight = font != nullptr ? font->metrics.tmHeight : 0;
    return SIZE{m_fixedSize.cx, fontHeight + kTextLineMargin};
}

void CComboUI::SetEnabled(bool enabled)
{
    CContainerUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_state = 0;
}

// ---- input ---------------------------------------------------------------------------------------

void CComboUI::HandleEvent(ControlEvent& event)
{
    if (PassOnIgnoredMouseEvent(event))
        return;
    switch (event.type) {
    // Items forward their own focus events here too; only the combo's own change its flag.
    case kEventSetFocus:
        if (event.sender == this)
            m_focused = true;
        Invalidate();
        return;
    case kEventKillFocus:
        if (m_host != nullptr && m_host->GetFocus() == this &&
            (event.sender == nullptr || event.sender->GetManager() == m_host))
            m_focused = false;
        Invalidate();
        return;
    // A press opens the pop-up, after clearing the selection when the skin asks for that.
    case kEventButtonDown: {
        if (!IsEnabled())
            return;
        if (m_clearSelectionOnPress && !Survives([this] { SelectItem(-1, false); }))
            return;
        if (Survives([this] { Activate(); }))
            m_state |= kStatePushed | kStateCaptured;
        return;
    }
    // Pushed stays until the pop-up closes.
    case kEventButtonUp:
        if ((m_state & kStateCaptured) != 0) {
            m_state &= ~kStateCaptured;
            Invalidate();
        }
        return;
    // Mouse moves end here: the parent does not see them.
    case kEventMouseMove:
        return;
    // Keys move the selection; F4 opens the pop-up.
    case kEventKeyDown:
        switch (event.key) {
        case VK_UP:
        case VK_PRIOR:
            NavigateTo(FindSelectable(m_curSel - 1, false));
            return;
        case VK_DOWN:
        case VK_NEXT:
            NavigateTo(FindSelectable(m_curSel + 1, true));
            return;
        case VK_HOME:
            NavigateTo(FindSelectable(0, false));
            return;
        case VK_END:
            // Backwards from the end: the last selectable item, like the list.
            NavigateTo(FindSelectable(GetCount() - 1, false));
            return;
        case VK_F4:
            Activate();
            return;
        default:
            break;
        }
        break;
    // The wheel moves the selection, down for 1, up otherwise.
    case kEventScrollWheel:
        if (event.wParam == 1)
            NavigateTo(FindSelectable(m_curSel + 1, true));
        else
            NavigateTo(FindSelectable(m_curSel - 1, false));
        return;
    // A combo has no context menu: no "menu" notification, nothing to the parent.
    case kEventContextMenu:
        return;
    // Hot while the mouse is over the combo.
    case kEventMouseEnter:
        if (::PtInRect(&m_rcItem, event.point)) {
            m_state |= kStateHot;
            Invalidate();
        }
        return;
    case kEventMouseLeave:
        if ((m_state & kStateHot) != 0) {
            m_state &= ~kStateHot;
            Invalidate();
        }
        return;
    default:
        break;
    }
    CControlUI::HandleEvent(event);
}

// ---- attributes ------------------------------------------------------------------------------------

void CComboUI::SetTextPadding(RECT rc)
{
    m_textPadding = rc;
    Invalidate();
}

void CComboUI::SetImage(CUIString& field, const wchar_t* image)
{
    field = image;
    Invalidate();
}

void CComboUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr || ApplyAttribute(kComboAttributes, *this, name, value))
        return;
    // The item attributes the lists share, except the end ellipsis, which combos do not take.
    if (std::wcscmp(name, L"itemendellipsis") != 0) {
        const ListInfoChange change = ApplyListInfoAttribute(m_listInfo, name, value);
        if (change == ListInfoChange::kTextPadding || change == ListInfoChange::kShowHtmlChanged ||
            std::wcscmp(name, L"itemtextcolor") == 0)
            Invalidate();
        if (change != ListInfoChange::kNone)
            return;
    }
    CContainerUI::SetAttribute(name, value);
}

// ---- painting ------------------------------------------------------------------------------------

void CComboUI::Paint(HDC hDC, const RECT& rcDirty)
{
    // The items are drawn by the pop-up, never inside the closed box.
    CControlUI::Paint(hDC, rcDirty);
}

void CComboUI::PaintStateImage(HDC hDC)
{
    m_state = IsFocused() ? (m_state | kStateFocused) : (m_state & ~kStateFocused);
    m_state = !IsEnabled() ? (m_state | kStateDisabled) : (m_state & ~kStateDisabled);
    CButtonBehaviour::DrawFirstStateImage(*this, hDC, m_state,
                                          {{kStateDisabled, &m_disabledImage},
                                           {kStatePushed, &m_pushedImage},
                                           {kStateHot, &m_hotImage},
                                           {kStateFocused, &m_focusedImage}},
                                          m_normalImage);
}

void CComboUI::PaintText(HDC hDC)
{
    CControlUI* selected = GetItemAt(m_curSel);
    if (selected == nullptr)
        return;
    const RECT rc = {m_rcItem.left + m_textPadding.left, m_rcItem.top + m_textPadding.top,
                     m_rcItem.right - m_textPadding.right, m_rcItem.bottom - m_textPadding.bottom};
    if (IListItemUI* item = AsListItem(selected))
        item->DrawItemText(hDC, rc);
    else
        PaintChildAt(*selected, hDC, rc);
}

void CComboUI::PaintChildAt(CControlUI& child, HDC hDC, const RECT& rc)
{
    // The rectangle is exchanged directly: SetPos would ask for a repaint, and a repaint asked
    // for while painting paints again for ever. (A derived class may name the base's field for
    // any control through a member pointer.)
    RECT CControlUI::*const rectField = &CComboUI::m_rcItem;
    RECT saved = rc;
    std::swap(child.*rectField, saved);
    Watch watch(&child);
    child.Paint(hDC, rc);
    if (!watch.ControlDeleted())
        child.*rectField = saved;
}

} // namespace SkinUI
