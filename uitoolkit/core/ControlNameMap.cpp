#include "uitoolkit/core/ControlNameMap.h"

#include <new>

namespace SkinUI {

void CControlNameMap::Register(const wchar_t* name, CControlUI* control)
{
    if (name == nullptr || name[0] == L'\0' || m_map.GetBucketCount() == 0)
        return;
    m_map.Set(name, control);
    // A control registered again under the same name keeps one record of it.
    const auto [first, last] = m_namesOf.equal_range(control);
    for (auto it = first; it != last; ++it) {
        if (it->second == name)
            return;
    }
    try {
        m_namesOf.emplace(control, name);
    } catch (const std::bad_alloc&) {
        // Without the record the name stays until the host closes; Find then answers a control
        // that is gone, so the name is not kept at all.
        m_map.Remove(name);
    }
}

CControlUI* CControlNameMap::Find(const wchar_t* name) const
{
    return static_cast<CControlUI*>(m_map.Find(name));
}

void CControlNameMap::Forget(const CControlUI* control)
{
    const auto [first, last] = m_namesOf.equal_range(control);
    for (auto it = first; it != last; ++it) {
        // The name may have passed to another control since.
        if (m_map.Find(it->second.c_str()) == control)
            m_map.Remove(it->second.c_str());
    }
    m_namesOf.erase(first, last);
}

void CControlNameMap::Close()
{
    m_map.Resize(0);
    m_namesOf.clear();
}

} // namespace SkinUI
