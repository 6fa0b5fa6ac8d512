#include "uitoolkit/core/ControlNameMap.h"

#include <cstdint>

namespace SkinUI {

unsigned int CControlNameMap::NameOf::Hash() const
{
    // The table places records by the low bits: mix the address so that they all count.
    auto h = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(control));
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

CControlNameMap::NameOf* CControlNameMap::FindRecord(const CControlUI* control, const wchar_t* storedName) const
{
    for (NameOf* r = m_namesOf.Home(NameOf{control, nullptr}.Hash()); r != nullptr && !r->Free(); r = m_namesOf.Next(r)) {
        if (r->control == control && r->name == storedName)
            return r;
    }
    return nullptr;
}

void CControlNameMap::Register(const wchar_t* name, CControlUI* control)
{
    if (name == nullptr || name[0] == L'\0' || control == nullptr || m_map.GetBucketCount() == 0)
        return;
    CControlUI* const previous = Find(name);
    if (previous == control)
        return;
    // Room for the record first: a name the map holds always has its record.
    if (!m_namesOf.Reserve())
        return;
    m_map.Set(name, control);
    const wchar_t* stored = m_map.FindKey(name);
    if (stored == nullptr || Find(name) != control)
        return;  // no memory for the name: nothing changed
    if (previous != nullptr) {
        if (NameOf* record = FindRecord(previous, stored))
            m_namesOf.Erase(record);
    }
    m_namesOf.Add(NameOf{control, stored});
}

CControlUI* CControlNameMap::Find(const wchar_t* name) const
{
    return static_cast<CControlUI*>(m_map.Find(name));
}

void CControlNameMap::Forget(const CControlUI* control)
{
    for (NameOf* r = m_namesOf.Home(NameOf{control, nullptr}.Hash()); r != nullptr && !r->Free();) {
        if (r->control != control) {
            r = m_namesOf.Next(r);
            continue;
        }
        m_map.Remove(r->name);
        m_namesOf.Erase(r);  // a later record of the run may now stand here
    }
}

void CControlNameMap::Close()
{
    m_map.Resize(0);
    m_namesOf.Clear();
}

} // namespace SkinUI
