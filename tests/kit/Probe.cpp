#include "kit/Probe.h"

#include <algorithm>

#include "uitoolkit/core/WindowHostUI.h"

namespace kit {

using namespace SkinUI;

namespace {

// "keydown", "enter", "down", "setfocus", ... for a ControlEvent type.
const wchar_t* EventName(int type)
{
    switch (type) {
    case kEventKeyDown: return L"keydown";
    case kEventKeyUp: return L"keyup";
    case kEventChar: return L"char";
    case kEventSysKey: return L"syskey";
    case kEventMouseMove: return L"move";
    case kEventMouseLeave: return L"leave";
    case kEventMouseEnter: return L"enter";
    case kEventMouseHover: return L"hover";
    case kEventButtonDown: return L"down";
    case kEventButtonUp: return L"up";
    case kEventRButtonDown: return L"rdown";
    case kEventDblClick: return L"dblclick";
    case kEventContextMenu: return L"menu";
    case kEventScrollWheel: return L"wheel";
    case kEventKillFocus: return L"killfocus";
    case kEventSetFocus: return L"setfocus";
    case kEventWindowSize: return L"size";
    case kEventSetCursor: return L"cursor";
    case kEventTimer: return L"timer";
    default: return L"?";
    }
}

} // namespace

std::vector<std::wstring> EventLog::Without(const std::vector<std::wstring>& names) const
{
    std::vector<std::wstring> out;
    for (const std::wstring& line : lines) {
        const std::wstring event = line.substr(line.find(L':') + 1);
        if (std::find(names.begin(), names.end(), event) == names.end())
            out.push_back(line);
    }
    return out;
}

ProbeControl::ProbeControl(const wchar_t* name, EventLog* log, UINT behaviour) : m_log(log), m_behaviour(behaviour)
{
    SetName(name);
}

bool ProbeControl::Activate()
{
    if (!CControlUI::Activate())
        return false;
    ++activations;
    return true;
}

void ProbeControl::Event(ControlEvent& event)
{
    events.push_back(event);
    if (m_log != nullptr)
        m_log->lines.push_back(std::wstring(m_name.GetData()) + L":" + EventName(event.type));
    if (onEvent && !onEvent(event))
        return;
    CControlUI::Event(event);
}

Box::Box(const wchar_t* name)
{
    SetName(name);
}

Box::~Box()
{
    // Children go first, each letting the host forget it.
    std::vector<CControlUI*> children;
    children.swap(m_children);
    for (CControlUI* child : children)
        delete child;
}

bool Box::Add(CControlUI* child)
{
    if (child == nullptr)
        return false;
    m_children.push_back(child);
    // The child's init delegates may close the window, which deletes this box.
    Watch watch(this);
    if (m_host != nullptr)
        m_host->InitControlTree(child, this);
    else
        child->SetManager(nullptr, this, false);
    if (watch.Lost())
        return true;
    child->SetInheritedVisible(IsVisible());
    RequestLayout();
    return true;
}

bool Box::Remove(CControlUI* child)
{
    const auto it = std::find(m_children.begin(), m_children.end(), child);
    if (it == m_children.end())
        return false;
    m_children.erase(it);
    Watch watch(this);  // the child's destroy delegates may close the window
    delete child;
    if (!watch.Lost())
        RequestLayout();
    return true;
}

void Box::SetManager(CWindowHostUI* host, CControlUI* parent, bool init)
{
    Watch watch(this);
    for (size_t i = 0; i < m_children.size(); ++i) {
        m_children[i]->SetManager(host, this, init);
        if (watch.ControlDeleted())
            return;
    }
    CControlUI::SetManager(host, parent, init);
}

void Box::SetPos(RECT rc)
{
    // Size delegates and the children's layout may close the window, which deletes this box.
    Watch watch(this);
    CControlUI::SetPos(rc);
    if (watch.Lost())
        return;
    for (size_t i = 0; i < m_children.size(); ++i) {
        CControlUI* child = m_children[i];
        if (!child->IsVisible())
            continue;
        RECT rcChild = m_rcItem;
        const SIZE xy = child->GetFixedXY();
        const int width = child->GetFixedWidth();
        const int height = child->GetFixedHeight();
        if (width > 0 || height > 0) {
            rcChild.left = m_rcItem.left + xy.cx;
            rcChild.top = m_rcItem.top + xy.cy;
            rcChild.right = width > 0 ? rcChild.left + width : m_rcItem.right;
            rcChild.bottom = height > 0 ? rcChild.top + height : m_rcItem.bottom;
        }
        child->SetPos(rcChild);
        if (watch.Lost())
            return;
    }
}

void Box::SetVisible(bool visible)
{
    if (m_visible == visible)
        return;
    Watch watch(this);
    CControlUI::SetVisible(visible);
    for (size_t i = 0; !watch.Lost() && i < m_children.size(); ++i)
        m_children[i]->SetInheritedVisible(IsVisible());
}

void Box::SetInheritedVisible(bool visible)
{
    Watch watch(this);
    CControlUI::SetInheritedVisible(visible);
    for (size_t i = 0; !watch.Lost() && i < m_children.size(); ++i)
        m_children[i]->SetInheritedVisible(IsVisible());
}

CControlUI* Box::FindControl(FindControlProc proc, void* data, UINT flags)
{
    if ((flags & kFindVisible) != 0 && !IsVisible())
        return nullptr;
    if ((flags & kFindEnabled) != 0 && !IsEnabled())
        return nullptr;
    if ((flags & kFindHitTest) != 0 && !::PtInRect(&m_rcItem, *static_cast<const POINT*>(data)))
        return nullptr;
    if ((flags & kFindMeFirst) != 0) {
        if (CControlUI* self = CControlUI::FindControl(proc, data, flags))
            return self;
    }
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        CControlUI* child = m_children[static_cast<size_t>((flags & kFindTopFirst) != 0 ? count - 1 - i : i)];
        if (CControlUI* found = child->FindControl(proc, data, flags))
            return found;
    }
    if ((flags & kFindMeFirst) == 0)
        return CControlUI::FindControl(proc, data, flags);
    return nullptr;
}

void Box::Paint(HDC hDC, const RECT& rcDirty)
{
    RECT rcPaint;
    if (!::IntersectRect(&rcPaint, &rcDirty, &m_rcItem))
        return;
    Watch watch(this);  // a paint step may call out and close the window
    CControlUI::Paint(hDC, rcDirty);
    for (size_t i = 0; !watch.Lost() && i < m_children.size(); ++i) {
        CControlUI* child = m_children[i];
        RECT rcChild;
        if (child->IsVisible() && ::IntersectRect(&rcChild, &rcPaint, &child->GetPos()))
            child->Paint(hDC, rcPaint);
    }
}

} // namespace kit
