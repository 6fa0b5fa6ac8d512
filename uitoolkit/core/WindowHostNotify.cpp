// CWindowHostUI: the listener and filter lists, notification delivery, control timers and the
// clean-up lists (controls deleted later, controls forgotten).
#include "uitoolkit/core/WindowHostUI.h"

#include <new>

#include "uitoolkit/core/ControlUI.h"

namespace SkinUI {

namespace {

bool RemoveFirst(CUIPtrArray& list, void* item)
{
    const int index = list.Find(item);
    return index >= 0 && list.Remove(index);
}

} // namespace

// ---- listeners and filters --------------------------------------------------------------------

bool CWindowHostUI::AddNotifyListener(INotifyUI* listener) { return m_notifiers.Add(listener); }
bool CWindowHostUI::RemoveNotifyListener(INotifyUI* listener) { return RemoveFirst(m_notifiers, listener); }
bool CWindowHostUI::AddMessageFilter(IMessageFilterUI* filter) { return m_filters.Add(filter); }
bool CWindowHostUI::RemoveMessageFilter(IMessageFilterUI* filter) { return RemoveFirst(m_filters, filter); }
bool CWindowHostUI::AddPreFilter(IMessageFilterUI* filter) { return m_preFilters.Add(filter); }
bool CWindowHostUI::RemovePreFilter(IMessageFilterUI* filter) { return RemoveFirst(m_preFilters, filter); }
bool CWindowHostUI::AddPostPaint(CControlUI* control) { return m_postPaint.Add(control); }
bool CWindowHostUI::RemovePostPaint(CControlUI* control) { return RemoveFirst(m_postPaint, control); }

// ---- notifications ----------------------------------------------------------------------------

void CWindowHostUI::SendNotify(CControlUI* sender, const wchar_t* type, WPARAM wParam, LPARAM lParam, bool async)
{
    NotifyMessage msg;
    msg.type = type;
    msg.sender = sender;
    msg.wParam = wParam;
    msg.lParam = lParam;
    DispatchNotify(msg, async);
}

void CWindowHostUI::DispatchNotify(NotifyMessage& msg, bool async)
{
    msg.point = m_lastMouse;
    msg.timestamp = ::GetTickCount();
    if (async) {
        auto* copy = new (std::nothrow) NotifyMessage(msg);
        if (copy != nullptr && !m_asyncNotify.Add(copy))
            delete copy;
        return;
    }
    Deliver(msg);
}

// One notification to the sender's delegates, then to every listener. The record is known to
// ForgetControl meanwhile, so a sender deleted by a listener is cleared for the later ones.
bool CWindowHostUI::Deliver(NotifyMessage& msg)
{
    if (!m_inFlightNotify.Add(&msg))
        return true;
    const mjz::AliveToken::Life life = m_alive.GetLife();
    if (msg.sender != nullptr) {
        msg.sender->NotifyDelegates.Fire(&msg);
        if (life.Ended())
            return false;
    }
    for (int i = 0; i < m_notifiers.GetSize(); ++i) {
        static_cast<INotifyUI*>(m_notifiers[i])->Notify(msg);
        if (life.Ended())
            return false;
    }
    RemoveFirst(m_inFlightNotify, &msg);
    return true;
}

bool CWindowHostUI::DeliverQueued()
{
    while (!m_asyncNotify.IsEmpty()) {
        std::unique_ptr<NotifyMessage> msg(static_cast<NotifyMessage*>(m_asyncNotify[0]));
        m_asyncNotify.Remove(0);
        if (!Deliver(*msg))
            return false;
    }
    return true;
}

// ---- timers -----------------------------------------------------------------------------------

bool CWindowHostUI::IsTimerIdTaken(UINT windowId) const
{
    if (windowId == 0 || m_reservedTimerIds.Find(reinterpret_cast<void*>(static_cast<UINT_PTR>(windowId))) >= 0)
        return true;
    return IsControlTimer(windowId);
}

bool CWindowHostUI::IsControlTimer(UINT windowId) const
{
    for (int i = 0; i < m_timers.GetSize(); ++i) {
        const auto* entry = static_cast<const TimerEntry*>(m_timers[i]);
        // Stopped entries keep their id for a restart.
        if (entry->window == m_hWnd && entry->windowId == windowId)
            return true;
    }
    return false;
}

bool CWindowHostUI::SetTimer(CControlUI* control, UINT localId, UINT interval)
{
    if (control == nullptr || m_hWnd == nullptr)
        return false;
    for (int i = 0; i < m_timers.GetSize(); ++i) {
        auto* entry = static_cast<TimerEntry*>(m_timers[i]);
        if (entry->control == control && entry->window == m_hWnd && entry->localId == localId) {
            if (!entry->stopped)
                return false;
            if (::SetTimer(m_hWnd, entry->windowId, interval, nullptr) == 0)
                return false;
            entry->stopped = false;
            return true;
        }
    }
    // Ids cycle through 1..254, skipping those held by this window's timers or reserved by it.
    UINT windowId = 0;
    for (int tries = 0; tries < 255; ++tries) {
        m_timerCounter = (m_timerCounter + 1) % 255;
        if (!IsTimerIdTaken(m_timerCounter)) {
            windowId = m_timerCounter;
            break;
        }
    }
    if (windowId == 0)
        return false;
    auto* entry = new (std::nothrow) TimerEntry{control, localId, m_hWnd, windowId, false};
    if (entry == nullptr)
        return false;
    if (::SetTimer(m_hWnd, windowId, interval, nullptr) == 0) {
        delete entry;
        return false;
    }
    if (!m_timers.Add(entry)) {
        ::KillTimer(m_hWnd, windowId);
        delete entry;
        return false;
    }
    return true;
}

bool CWindowHostUI::KillTimer(CControlUI* control, UINT localId)
{
    for (int i = 0; i < m_timers.GetSize(); ++i) {
        auto* entry = static_cast<TimerEntry*>(m_timers[i]);
        if (entry->control == control && entry->window == m_hWnd && entry->localId == localId && !entry->stopped) {
            if (::IsWindow(m_hWnd))
                ::KillTimer(entry->window, entry->windowId);
            entry->stopped = true;
            return true;
        }
    }
    return false;
}

void CWindowHostUI::KillAllTimers(CControlUI* control)
{
    for (int i = m_timers.GetSize() - 1; i >= 0; --i) {
        auto* entry = static_cast<TimerEntry*>(m_timers[i]);
        if (entry->control == control && entry->window == m_hWnd) {
            if (!entry->stopped && ::IsWindow(m_hWnd))
                ::KillTimer(entry->window, entry->windowId);
            m_timers.Remove(i);
            delete entry;
        }
    }
}

void CWindowHostUI::ReserveTimerId(UINT windowId)
{
    void* id = reinterpret_cast<void*>(static_cast<UINT_PTR>(windowId));
    if (m_reservedTimerIds.Find(id) < 0)
        m_reservedTimerIds.Add(id);
}

// ---- clean-up lists ---------------------------------------------------------------------------

void CWindowHostUI::ForgetControl(CControlUI* control)
{
    if (control == nullptr)
        return;
    if (m_focus == control)
        m_focus = nullptr;
    if (m_hover == control)
        m_hover = nullptr;
    if (m_pressed == control)
        m_pressed = nullptr;
    if (m_keyControl == control)
        m_keyControl = nullptr;
    if (m_root == control)
        m_root = nullptr;
    KillAllTimers(control);

    // Every name that maps to the control (it may have been renamed since it was registered).
    m_nameMap.Forget(control);
    for (int i = 0; i < m_asyncNotify.GetSize(); ++i) {
        auto* msg = static_cast<NotifyMessage*>(m_asyncNotify[i]);
        if (msg->sender == control)
            msg->sender = nullptr;
    }
    for (int i = 0; i < m_inFlightNotify.GetSize(); ++i) {
        auto* msg = static_cast<NotifyMessage*>(m_inFlightNotify[i]);
        if (msg->sender == control)
            msg->sender = nullptr;
    }
    // A layout deleted mid-drag must not be called by the next paint.
    for (int index; (index = m_postPaint.Find(control)) >= 0;)
        m_postPaint.Remove(index);
    for (int index; (index = m_delayedCleanup.Find(control)) >= 0;)
        m_delayedCleanup.Remove(index);
}

void CWindowHostUI::AddDelayedCleanup(CControlUI* control)
{
    if (control == nullptr)
        return;
    control->SetManager(this, nullptr, false);
    m_delayedCleanup.Add(control);
    ::PostMessageW(m_hWnd, kDelayedCleanupMessage, 0, 0);
}

// Deletes the controls put aside for clean-up. A control's destructor may destroy the host:
// true then (the message is done with), else false.
bool CWindowHostUI::RunDelayedCleanup()
{
    const mjz::AliveToken::Life life = m_alive.GetLife();
    CUIPtrArray cleanup = m_delayedCleanup;
    m_delayedCleanup.Empty();
    for (int i = 0; i < cleanup.GetSize(); ++i) {
        delete static_cast<CControlUI*>(cleanup[i]);
        if (life.Ended())
            return true;
    }
    return false;
}

} // namespace SkinUI
