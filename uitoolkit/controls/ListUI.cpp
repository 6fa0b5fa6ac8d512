#include "uitoolkit/controls/ListUI.h"

#include <algorithm>
#include <cwchar>
#include <climits>
#include <memory>
#include <new>

#include "uitoolkit/controls/IListItemUI.h"
#include "uitoolkit/controls/ListBodyUI.h"
#include "uitoolkit/controls/ListHeaderUI.h"
#include "uitoolkit/controls/ListItemIndex.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

bool IsMouseEvent(int type) { return type >= kEventMouseMove && type <= kEventScrollWheel; }

// The body's scroll-bar attributes: the bars are the body's.
bool IsScrollBarAttribute(const wchar_t* name)
{
    for (const wchar_t* bar : {L"vscrollbar", L"vscrollbarstyle", L"hscrollbar", L"hscrollbarstyle"}) {
        if (std::wcscmp(name, bar) == 0)
            return true;
    }
    return false;
}

} // namespace

CListUI::CListUI()
{
    // The children can only be refused for want of memory, which allocation reports by throwing
    // as well.
    auto header = std::make_unique<CListHeaderUI>();
    m_header = header.get();
    if (!Add(m_header))
        throw std::bad_alloc();
    header.release();
    auto body = std::make_unique<CListBodyUI>(this);
    m_body = body.get();
    if (!CVerticalLayoutUI::Add(m_body))
        throw std::bad_alloc();
    body.release();
}

const wchar_t* CListUI::GetClass() const { return L"ListUI"; }

void* CListUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"List") == 0)
        return this;
    if (name != nullptr && std::wcscmp(name, L"IList") == 0)
        return static_cast<IListUI*>(this);
    if (name != nullptr && std::wcscmp(name, L"IListOwner") == 0)
        return static_cast<IListOwnerUI*>(this);
    return CVerticalLayoutUI::GetInterface(name);
}

UINT CListUI::GetBehaviourFlags() const { return kBehaviourTabStop; }

// ---- item routing ------------------------------------------------------------------------------

bool CListUI::IsHeader(CControlUI* control)
{
    return control != nullptr && control->GetInterface(L"ListHeader") != nullptr;
}

bool CListUI::IsHeaderItem(CControlUI* control)
{
    return control != nullptr && std::wcsstr(control->GetClass(), L"ListHeaderItemUI") != nullptr;
}

CControlUI* CListUI::GetItemAt(int index) const { return m_body->GetItemAt(index); }

int CListUI::GetCount() const { return m_body->GetCount(); }

int CListUI::GetItemIndex(CControlUI* control) const
{
    if (IsHeader(control))
        return CVerticalLayoutUI::GetItemIndex(control);
    if (IsHeaderItem(control))
        return m_header != nullptr ? m_header->GetItemIndex(control) : -1;
    return m_body->GetItemIndex(control);
}

void CListUI::RefreshColumnCount()
{
    m_listInfo.columnCount = m_header != nullptr ? std::min(m_header->GetCount(), kMaxListColumns) : 0;
}

bool CListUI::AddHeader(CControlUI* header)
{
    // An empty current header gives way; one with columns stays the header even though the new
    // one is inserted too.
    if (header != m_header && (m_header == nullptr || m_header->GetCount() == 0)) {
        if (m_header != nullptr)
            CVerticalLayoutUI::Remove(m_header);
        m_header = static_cast<CListHeaderUI*>(header->GetInterface(L"ListHeader"));
    }
    RefreshColumnCount();
    return CVerticalLayoutUI::AddAt(header, 0);
}

bool CListUI::Add(CControlUI* control)
{
    if (control == nullptr)
        return false;
    if (IsHeader(control))
        return AddHeader(control);
    if (IsHeaderItem(control)) {
        if (m_header == nullptr || !m_header->Add(control))
            return false;
        RefreshColumnCount();
        return true;
    }
    if (IListItemUI* item = AsListItem(control)) {
        item->SetOwner(this);
        item->SetIndex(GetCount());
    }
    return m_body->Add(control);
}

bool CListUI::AddAt(CControlUI* control, int index)
{
    if (control == nullptr)
        return false;
    if (IsHeader(control))
        return AddHeader(control);
    if (IsHeaderItem(control)) {
        if (m_header == nullptr || !m_header->AddAt(control, index))
            return false;
        RefreshColumnCount();
        return true;
    }
    if (!m_body->AddAt(control, index))
        return false;
    if (IListItemUI* item = AsListItem(control)) {
        item->SetOwner(this);
        item->SetIndex(index);
    }
    RenumberListItems(*this, index + 1, GetCount() - 1);
    // The selection and the expanded item keep pointing at their items.
    m_curSel = IndexAfterInsertion(m_curSel, index);
    m_expandedItem = IndexAfterInsertion(m_expandedItem, index);
    return true;
}

bool CListUI::SetItemIndex(CControlUI* control, int index)
{
    if (IsHeader(control))
        return CVerticalLayoutUI::SetItemIndex(control, index);
    if (IsHeaderItem(control))
        return m_header != nullptr && m_header->SetItemIndex(control, index);
    const int old = m_body->GetItemIndex(control);
    if (old < 0)
        return false;
    if (old == index)
        return true;
    // The selected and the expanded item are followed to where they end up.
    IListItemUI* selected = m_curSel >= 0 ? AsListItem(GetItemAt(m_curSel)) : nullptr;
    IListItemUI* expanded = m_expandedItem >= 0 ? AsListItem(GetItemAt(m_expandedItem)) : nullptr;
    if (!m_body->SetItemIndex(control, index))
        return false;
    RenumberListItems(*this, std::min(old, index), std::max(old, index));
    if (selected != nullptr)
        m_curSel = selected->GetIndex();
    if (expanded != nullptr)
        m_expandedItem = expanded->GetIndex();
    return true;
}

bool CListUI::Remove(CControlUI* control)
{
    if (IsHeader(control)) {
        if (control == m_header) {
            // The header pointer must not outlive the removed (and deleted) header.
            m_header = nullptr;
            RefreshColumnCount();
        }
        return CVerticalLayoutUI::Remove(control);
    }
    if (IsHeaderItem(control)) {
        if (m_header == nullptr || !m_header->Remove(control))
            return false;
        RefreshColumnCount();
        return true;
    }
    return RemoveItemAt(control != nullptr ? m_body->GetItemIndex(control) : -1);
}

bool CListUI::RemoveAt(int index) { return RemoveItemAt(GetItemAt(index) != nullptr ? index : -1); }

bool CListUI::RemoveItemAt(int index)
{
    if (index < 0 || !m_body->RemoveAt(index))
        return false;
    m_expandedItem = IndexAfterRemoval(m_expandedItem, index);
    AfterListItemRemoved(*this, *this, m_curSel, index);
    return true;
}

void CListUI::RemoveAll()
{
    m_curSel = -1;
    m_prevSel = -1;
    m_expandedItem = -1;
    m_body->RemoveAll();
}

// ---- forwarded to the body -----------------------------------------------------------------

int CListUI::GetChildPadding() const { return m_body->GetChildPadding(); }
void CListUI::SetChildPadding(int padding) { m_body->SetChildPadding(padding); }
int CListUI::FindSelectable(int index, bool forward) { return m_body->FindSelectable(index, forward); }
SIZE CListUI::GetScrollPos() const { return m_body->GetScrollPos(); }
SIZE CListUI::GetScrollRange() const { return m_body->GetScrollRange(); }
void CListUI::SetScrollPos(SIZE pos) { m_body->SetScrollPos(pos); }
void CListUI::LineUp() { m_body->LineUp(); }
void CListUI::LineDown() { m_body->LineDown(); }
void CListUI::PageUp() { m_body->PageUp(); }
void CListUI::PageDown() { m_body->PageDown(); }
void CListUI::HomeUp() { m_body->HomeUp(); }
void CListUI::EndDown() { m_body->EndDown(); }
void CListUI::LineLeft() { m_body->LineLeft(); }
void CListUI::LineRight() { m_body->LineRight(); }
void CListUI::PageLeft() { m_body->PageLeft(); }
void CListUI::PageRight() { m_body->PageRight(); }
void CListUI::HomeLeft() { m_body->HomeLeft(); }
void CListUI::EndRight() { m_body->EndRight(); }
void CListUI::EnableScrollBar(bool vertical, bool horizontal) { m_body->EnableScrollBar(vertical, horizontal); }
CScrollBarUI* CListUI::GetVerticalScrollBar() const { return m_body->GetVerticalScrollBar(); }
CScrollBarUI* CListUI::GetHorizontalScrollBar() const { return m_body->GetHorizontalScrollBar(); }

// ---- selection and expansion --------------------------------------------------------------

ListInfo* CListUI::GetListInfo() { return &m_listInfo; }
int CListUI::GetCurSel() const { return m_curSel; }
CListHeaderUI* CListUI::GetHeader() const { return m_header; }
CListBodyUI* CListUI::GetList() const { return m_body; }
IListTextCallback* CListUI::GetTextCallback() const { return m_textCallback; }
void CListUI::SetTextCallback(IListTextCallback* callback) { m_textCallback = callback; }
int CListUI::GetExpandedItem() const { return m_expandedItem; }

bool CListUI::SelectItem(int index, bool takeFocus)
{
    // 1. The item already selected: nothing more. Otherwise the current selection becomes the
    //    previous one.
    if (index == m_curSel)
        return true;
    const int entry = m_curSel;
    m_prevSel = m_curSel;
    // 2. The old item lets go first.
    if (m_curSel >= 0) {
        if (IListItemUI* old = AsListItem(GetItemAt(m_curSel)))
            old->Select(false);
        m_curSel = -1;
    }
    // 3. A negative index leaves nothing selected; only a visible, enabled list item can be.
    if (index < 0)
        return false;
    CControlUI* control = GetItemAt(index);
    IListItemUI* item = AsListItem(control);
    if (item == nullptr || !control->IsVisible() || !control->IsEnabled())
        return false;
    // 4. The item's own Select calls back here and finds the selection already made.
    m_curSel = index;
    if (!item->Select(true)) {
        m_curSel = -1;
        return false;
    }
    // 5. The notification last: its listeners, and the items' size delegates when scrolling,
    //    may delete the list.
    if (!Survives([&] { EnsureVisible(index); }))
        return true;
    if (takeFocus && !Survives([control] { control->SetFocus(); }))
        return true;
    if (m_host != nullptr)
        m_host->SendNotify(this, L"itemselect", static_cast<WPARAM>(index), static_cast<LPARAM>(entry));
    return true;
}

bool CListUI::ExpandItem(int index, bool expand)
{
    // 1. Unless several items may stay expanded, the expanded one collapses.
    if (m_expandedItem >= 0 && !m_listInfo.multiExpanding) {
        if (IListItemUI* old = AsListItem(GetItemAt(m_expandedItem)))
            old->Expand(false);
        m_expandedItem = -1;
    }
    // 2. A collapse needs only a new layout.
    if (!expand) {
        RequestLayout();
        return true;
    }
    // 3. Only a visible list item expands; one that refuses leaves none expanded.
    CControlUI* control = GetItemAt(index);
    IListItemUI* item = AsListItem(control);
    if (item == nullptr || !control->IsVisible())
        return false;
    m_expandedItem = index;
    if (!item->Expand(true)) {
        m_expandedItem = -1;
        return false;
    }
    RequestLayout();
    return true;
}

void CListUI::EnsureVisible(int index)
{
    if (m_curSel < 0)
        return;
    const CControlUI* item = GetItemAt(index);
    if (item == nullptr)
        return;
    const RECT& rcItem = item->GetPos();
    const RECT& rcBody = m_body->GetPos();
    const RECT inset = m_body->GetInset();
    const long long top = static_cast<long long>(rcBody.top) + inset.top;
    long long bottom = static_cast<long long>(rcBody.bottom) - inset.bottom;
    const CScrollBarUI* hbar = m_body->GetHorizontalScrollBar();
    if (hbar != nullptr && hbar->IsVisible())
        bottom -= hbar->GetFixedHeight();
    long long dy = 0;
    if (rcItem.top < top)
        dy = rcItem.top - top;
    if (rcItem.bottom > bottom)
        dy = rcItem.bottom - bottom;
    Scroll(0, static_cast<int>(std::clamp<long long>(dy, INT_MIN / 2, INT_MAX / 2)));
}

void CListUI::Scroll(int dx, int dy)
{
    if (dx == 0 && dy == 0)
        return;
    const SIZE pos = m_body->GetScrollPos();
    m_body->SetScrollPos(SIZE{pos.cx + dx, pos.cy + dy});
}

// ---- placement -------------------------------------------------------------------------------

void CListUI::ShiftColumns(int shift, const RECT* hiddenHeaderRect)
{
    if (m_header == nullptr)
        return;
    RefreshColumnCount();
    // The columns' size delegates may lose the list or take the header away: stop as soon as
    // that happened.
    Watch watch(this);
    const auto lost = [&] { return watch.Lost() || m_header == nullptr; };
    const bool hidden = !m_header->IsVisible();
    const auto showColumns = [this](bool shown) {
        return m_header->ForEachChild([shown](CControlUI* column, int) { column->SetInheritedVisible(shown); });
    };
    if (hidden) {
        if (!showColumns(true) || lost())
            return;
        if (hiddenHeaderRect != nullptr) {
            m_header->SetPos(*hiddenHeaderRect);
            if (lost())
                return;
        }
    }
    for (int i = 0; i < m_listInfo.columnCount && i < m_header->GetCount(); ++i) {
        CControlUI* column = m_header->GetItemAt(i);
        if (!column->IsVisible() || column->IsFloat())
            continue;
        if (shift != 0) {
            const RECT& rc = column->GetPos();
            column->SetPos(RECT{rc.left - shift, rc.top, rc.right - shift, rc.bottom});
            if (lost())
                return;
        }
        m_listInfo.columns[i] = column->GetPos();
    }
    if (hidden)
        showColumns(false);
}

void CListUI::SetPos(RECT rc)
{
    // 1. Header on top, body below.
    CWindowHostUI::InvalidateBatch batch(m_host);
    if (!Survives([&] { CVerticalLayoutUI::SetPos(rc); }))
        return;
    // 2. The columns, scrolled with the body; a hidden header still gives them widths.
    const RECT hiddenHeader = {m_rcItem.left, 0, m_rcItem.right, 0};
    ShiftColumns(m_body->GetScrollPos().cx, &hiddenHeader);
}

// ---- input ---------------------------------------------------------------------------------

void CListUI::NavigateTo(int index)
{
    if (index >= 0)
        SelectItem(index, true);
}

void CListUI::HandleEvent(ControlEvent& event)
{
    // While the list ignores the mouse, mouse events go to the parent (to the layout's own
    // handling without one).
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_parent != nullptr)
            m_parent->HandleEvent(event);
        else
            CVerticalLayoutUI::HandleEvent(event);
        return;
    }
    switch (event.type) {
    // Focus only sets the flag; nothing is repainted for it.
    case kEventSetFocus:
        m_focused = true;
        return;
    case kEventKillFocus:
        m_focused = false;
        return;
    // Return activates the selected item; the arrows, Home and End move the selection, the page
    // keys scroll.
    case kEventKeyDown:
        switch (event.key) {
        case VK_RETURN:
            if (CControlUI* item = m_curSel >= 0 ? GetItemAt(m_curSel) : nullptr)
                item->Activate();
            return;
        case VK_PRIOR:
            PageUp();
            return;
        case VK_NEXT:
            PageDown();
            return;
        case VK_END:
            NavigateTo(FindSelectable(GetCount() - 1, false));
            return;
        case VK_HOME:
            NavigateTo(FindSelectable(0, false));
            return;
        case VK_UP:
            NavigateTo(FindSelectable(m_curSel - 1, false));
            return;
        case VK_DOWN:
            NavigateTo(FindSelectable(m_curSel + 1, true));
            return;
        default:
            break;
        }
        break;
    // The wheel moves the selection with "scrollselect" on, else scrolls a line.
    case kEventScrollWheel:
        switch (LOWORD(event.wParam)) {
        case 0:
            if (m_scrollSelect)
                NavigateTo(FindSelectable(m_curSel - 1, false));
            else
                LineUp();
            return;
        case 1:
            if (m_scrollSelect)
                NavigateTo(FindSelectable(m_curSel + 1, true));
            else
                LineDown();
            return;
        default:
            break;
        }
        break;
    default:
        break;
    }
    CVerticalLayoutUI::HandleEvent(event);
}

// ---- attributes ------------------------------------------------------------------------------

void CListUI::SetInfoColor(DWORD ListInfo::*field, DWORD color)
{
    m_listInfo.*field = color;
    Invalidate();
}

void CListUI::SetInfoImage(CUIString ListInfo::*field, const wchar_t* image)
{
    m_listInfo.*field = image;
    Invalidate();
}

void CListUI::SetItemTextPadding(RECT rc)
{
    m_listInfo.textPadding = rc;
    RequestLayout();
}

void CListUI::SetAlternateBk(bool on)
{
    m_listInfo.alternateBk = on;
    Invalidate();
}

void CListUI::SetItemShowHtml(bool showHtml)
{
    if (m_listInfo.showHtml == showHtml)
        return;
    m_listInfo.showHtml = showHtml;
    RequestLayout();
}

void CListUI::ApplyItemChange(ListInfoChange change)
{
    switch (change) {
    case ListInfoChange::kColor:
    case ListInfoChange::kImage:
    case ListInfoChange::kAlternateBk:
        Invalidate();
        break;
    case ListInfoChange::kTextPadding:
    case ListInfoChange::kShowHtmlChanged:
        RequestLayout();
        break;
    default:
        break;
    }
}

void CListUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr)
        return;
    if (value == nullptr)
        value = L"";
    if (std::wcscmp(name, L"header") == 0) {
        if (m_header != nullptr)
            m_header->SetVisible(std::wcscmp(value, L"hidden") != 0);
    } else if (std::wcscmp(name, L"headerbkimage") == 0) {
        if (m_header != nullptr)
            m_header->SetBkImage(value);
    } else if (std::wcscmp(name, L"scrollselect") == 0) {
        SetScrollSelect(ParseBool(value));
    } else if (std::wcscmp(name, L"multiexpanding") == 0) {
        SetMultiExpanding(ParseBool(value));
    } else if (std::wcscmp(name, L"enablehotbkcolor") == 0) {
        SetEnableHotBkColor(std::wcscmp(value, L"false") != 0);
    } else if (std::wcscmp(name, L"enableselectedbkcolor") == 0) {
        SetEnableSelectedBkColor(std::wcscmp(value, L"false") != 0);
    } else if (IsScrollBarAttribute(name)) {
        m_body->SetAttribute(name, value);
    } else {
        const ListInfoChange change = ApplyListInfoAttribute(m_listInfo, name, value);
        if (change == ListInfoChange::kNone)
            CVerticalLayoutUI::SetAttribute(name, value);
        else
            ApplyItemChange(change);
    }
}

} // namespace SkinUI
