#pragma once
// IListItem: a row of a skinned list that builds its own controls from a skin file of its own.
namespace SkinUI {
class CControlUI;
}

class IListItem {
public:
    // The name of the row's skin file.
    virtual const wchar_t* GetSkinFile() const = 0;
    // Builds the row's controls once; the row's root control, or null when building failed.
    virtual SkinUI::CControlUI* Build() = 0;
    virtual ~IListItem() = default;
};
