#include "uitoolkit/controls/TabLayoutUI.h"

#include <algorithm>
#include <cwchar>

#include "uitoolkit/controls/LinearAxis.h"
#include "uitoolkit/controls/ScaledInt.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

const wchar_t* CTabLayoutUI::GetClass() const { return L"TabLayoutUI"; }

void* CTabLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"TabLayout") == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

void CTabLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name != nullptr && value != nullptr && std::wcscmp(name, L"selectedid") == 0)
        SelectItem(ParseInt(value));
    CContainerUI::SetAttribute(name, value);
}

bool CTabLayoutUI::Add(CControlUI* page)
{
    if (!CContainerUI::Add(page))
        return false;
    if (m_selected == -1 && page->IsVisible())
        m_selected = GetItemIndex(page);
    else
        page->SetVisible(false);
    return true;
}

bool CTabLayoutUI::AddAt(CControlUI* page, int index)
{
    if (!CContainerUI::AddAt(page, index))
        return false;
    if (m_selected == -1 && page->IsVisible()) {
        m_selected = index;
        return true;
    }
    // A page that holds the focus runs "killfocus" listeners when hidden.
    if (!Survives([page] { page->SetVisible(false); }))
        return true;
    if (m_selected != -1 && index <= m_selected)
        ++m_selected;  // still the same page
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* page) { return RemovePage(page, AfterSelectedRemoved::FirstPage); }

bool CTabLayoutUI::RemovePage(CControlUI* page, AfterSelectedRemoved rule)
{
    const int index = GetItemIndex(page);
    // A page deleted at once runs its destroy delegates.
    bool removed = false;
    if (!Survives([&] { removed = CContainerUI::Remove(page); }) || !removed)
        return removed;
    if (index != m_selected) {
        if (index < m_selected)
            --m_selected;  // still the same page
        return true;
    }
    const int count = GetCount();
    if (rule == AfterSelectedRemoved::FirstPage)
        m_selected = count > 0 ? 0 : -1;
    else if (m_selected == count)
        --m_selected;
    if (m_selected >= 0)
        GetItemAt(m_selected)->SetVisible(true);
    RequestParentLayout();
    return true;
}

bool CTabLayoutUI::RemoveAt(int index)
{
    CControlUI* page = GetItemAt(index);
    return page != nullptr && Remove(page);
}

void CTabLayoutUI::RemoveAll()
{
    m_selected = -1;
    if (Survives([this] { CContainerUI::RemoveAll(); }))
        RequestParentLayout();
}

bool CTabLayoutUI::SelectItem(int index)
{
    if (index < 0 || index >= GetCount())
        return false;
    if (index == m_selected)
        return true;
    const int previous = m_selected;
    m_selected = index;

    // Hiding a page that holds the focus, and focusing the new one, send notifications.
    const bool survived = ForEachChild([&](CControlUI* page, int i) {
        if (i == index) {
            page->SetVisible(true);
            page->SetFocus();
        } else {
            page->SetVisible(false);
        }
    });
    if (!survived)
        return true;
    RequestParentLayout();
    if (m_host != nullptr) {
        // Into the page: the next Tab stop after it once the layout has run.
        if (!Survives([&] { m_host->MoveTabFocus(true); }))
            return true;
        m_host->SendNotify(this, L"tabselect", static_cast<WPARAM>(index), static_cast<LPARAM>(previous));
    }
    return true;
}

void CTabLayoutUI::SetPos(RECT rc)
{
    // One repaint request for the whole pass.
    CWindowHostUI::InvalidateBatch batch(m_host);
    // 1. The bars are neither considered nor processed.
    if (!SetOwnPos(rc))
        return;
    const RECT inner = GetInsetRect();

    // 2. Only the selected page is placed; other visible pages keep their rectangles.
    ForEachPlacedChild([&](CControlUI* page, int index) {
        if (index != m_selected)
            return;
        const RECT padding = page->GetPadding();
        const long long left = static_cast<long long>(inner.left) + padding.left;
        const long long top = static_cast<long long>(inner.top) + padding.top;
        const long long cellWidth = static_cast<long long>(inner.right) - padding.right - left;
        const long long cellHeight = static_cast<long long>(inner.bottom) - padding.bottom - top;
        const SIZE size = page->GetDesiredSize(SIZE{ClampToInt(cellWidth), ClampToInt(cellHeight)});
        const long long width =
            LinearAxis::X().Clamp(*page, size.cx == 0 ? std::max<long long>(0, cellWidth) : size.cx);
        const long long height =
            LinearAxis::Y().Clamp(*page, size.cy == 0 ? std::max<long long>(0, cellHeight) : size.cy);
        page->SetPos(RECT{ClampToInt(left), ClampToInt(top), ClampToInt(left + width), ClampToInt(top + height)});
    });
}

} // namespace SkinUI
