#pragma once
// The window host's names of its controls: name -> control in an 83-bucket string map, and for
// each control the names it was registered under, so that forgetting a control (also one renamed
// since) touches only its own names instead of walking the whole map.
#include <string>
#include <unordered_map>

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
    // Every name that still maps to the control is removed.
    void Forget(const CControlUI* control);
    // Empties the map for good: nothing is registered afterwards (the host is going away).
    void Close();

private:
    CUIStringMap m_map{83};
    std::unordered_multimap<const CControlUI*, std::wstring> m_namesOf;
};

} // namespace SkinUI
