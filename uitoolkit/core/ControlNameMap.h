#pragma once
// The window host's names of its controls: name -> control in an 83-bucket string map, and for
// each control the names that map to it, so that forgetting a control (also one renamed since it
// was registered) touches only its own names instead of walking the whole map. Neither side
// allocates anything per name beyond the string map's own node.
#include "uitoolkit/core/ProbeTable.h"
#include "uitoolkit/core/UIStringMap.h"

namespace SkinUI {

class CControlUI;

class CControlNameMap {
public:
    CControlNameMap() = default;
    CControlNameMap(const CControlNameMap&) = delete;
    CControlNameMap& operator=(const CControlNameMap&) = delete;

    // The name maps to the control from now on (a later control of a name replaces an earlier).
    void Register(const wchar_t* name, CControlUI* control);
    CControlUI* Find(const wchar_t* name) const;
    // Every name that maps to the control is removed.
    void Forget(const CControlUI* control);
    // Empties the map for good: nothing is registered afterwards (the host is going away).
    void Close();

private:
    // One name that maps to a control; the text is the string map's own copy of the name.
    struct NameOf {
        const CControlUI* control;
        const wchar_t* name;
        bool Free() const { return control == nullptr; }
        unsigned int Hash() const;
    };

    // The record of the name that maps to the control, or null.
    NameOf* FindRecord(const CControlUI* control, const wchar_t* storedName) const;

    CUIStringMap m_map{83};
    CProbeTable<NameOf> m_namesOf;  // exactly one record per name in m_map
};

} // namespace SkinUI
