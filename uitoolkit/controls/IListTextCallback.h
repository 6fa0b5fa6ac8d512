#pragma once
// The program's provider of cell texts for a list's text elements.
namespace SkinUI {

class CControlUI;

class IListTextCallback {
public:
    // The text of one cell: the item control, its index in the list and the column index.
    virtual const wchar_t* GetItemText(CControlUI* item, int index, int column) = 0;

protected:
    ~IListTextCallback() = default;
};

} // namespace SkinUI
