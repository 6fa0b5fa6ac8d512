#pragma once
// Controls for building trees from code in tests.
//
// ProbeControl: a plain control that logs every event it sees as "name:event" ("a:enter",
// "a:down", ...) into a shared EventLog, with settable behaviour flags (Tab stop, set-cursor)
// and class name (e.g. "LabelUI" to test label rules). onEvent runs after logging and before
// the control's own handling; returning false stops there (use it when the callback deletes the
// control or its window).
//
// Box: a minimal container for tests, until the toolkit's containers are used instead. It owns
// its children, passes the host on, walks them in FindControl with the container rules (flags
// visible / enabled / hit test / topmost first / self first), paints them after itself, and lays
// each child out at its fixed position and size inside the box (a child without fixed size
// fills the box).
#include <functional>
#include <string>
#include <vector>

#include "uitoolkit/core/ControlUI.h"

namespace kit {

struct EventLog {
    std::vector<std::wstring> lines;
    // Lines without the given event names (e.g. {L"move"} to drop the mouse moves).
    std::vector<std::wstring> Without(const std::vector<std::wstring>& names) const;
    void Clear() { lines.clear(); }
};

class ProbeControl : public SkinUI::CControlUI {
public:
    explicit ProbeControl(const wchar_t* name, EventLog* log = nullptr, UINT behaviour = 0);

    const wchar_t* GetClass() const override { return m_class.c_str(); }
    UINT GetBehaviourFlags() const override { return m_behaviour; }
    bool Activate() override;
    void Event(SkinUI::ControlEvent& event) override;

    void SetClass(const wchar_t* name) { m_class = name; }
    void SetBehaviour(UINT flags) { m_behaviour = flags; }

    std::vector<SkinUI::ControlEvent> events;  // every event, in order
    int activations = 0;
    std::function<bool(SkinUI::ControlEvent&)> onEvent;

private:
    EventLog* m_log;
    UINT m_behaviour;
    std::wstring m_class = L"ProbeUI";
};

class Box : public SkinUI::CControlUI {
public:
    explicit Box(const wchar_t* name = L"");
    ~Box() override;

    bool Add(SkinUI::CControlUI* child);
    // Removes and deletes the child.
    bool Remove(SkinUI::CControlUI* child);
    int Count() const { return static_cast<int>(m_children.size()); }
    SkinUI::CControlUI* At(int index) const { return m_children[static_cast<size_t>(index)]; }

    const wchar_t* GetClass() const override { return L"KitBoxUI"; }
    void SetManager(SkinUI::CWindowHostUI* host, SkinUI::CControlUI* parent, bool init = true) override;
    void SetPos(RECT rc) override;
    void SetVisible(bool visible = true) override;
    void SetInheritedVisible(bool visible = true) override;
    SkinUI::CControlUI* FindControl(SkinUI::FindControlProc proc, void* data, UINT flags) override;
    void Paint(HDC hDC, const RECT& rcDirty) override;

private:
    std::vector<SkinUI::CControlUI*> m_children;
};

} // namespace kit
