#pragma once
// Attribute tables of the controls: one row per attribute name with the setter it runs. A control
// looks its names up here and hands the names its table lacks to its base class.
//
//   const AttributeSetterOf<CMyUI> kAttributes[] = {
//       {L"selected", [](CMyUI& c, const wchar_t* v) { c.SetSelected(ParseBool(v)); }},
//   };
//   if (!ApplyAttribute(kAttributes, *this, name, value)) CBaseUI::SetAttribute(name, value);
#include <cstddef>
#include <cwchar>

namespace SkinUI {

template <class T>
struct AttributeSetterOf {
    const wchar_t* name;
    void (*apply)(T& target, const wchar_t* value);
};

// Runs the setter of the row whose name equals `name` exactly (a null value counts as empty);
// false when there is no such row.
template <class T, std::size_t N>
bool ApplyAttribute(const AttributeSetterOf<T> (&table)[N], T& target, const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr)
        return false;
    for (const AttributeSetterOf<T>& row : table) {
        if (std::wcscmp(name, row.name) == 0) {
            row.apply(target, value != nullptr ? value : L"");
            return true;
        }
    }
    return false;
}

} // namespace SkinUI
