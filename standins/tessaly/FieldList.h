#pragma once

#include "login/ComPtr.h"

#include <string>
#include <vector>

#include "login/SSOLibraryInterfaces.h"
#include "standins/tessaly/ComObject.h"
#include "standins/tessaly/ImplIds.h"

namespace tessaly {

class FieldContainer;

// A list of field containers (kept by reference) or texts.
class FieldList : public ComObject<ISSOList, &IID_ISSOList, &IID_FieldListImpl> {
public:
    struct Item {
        bool isText = false;
        std::wstring text;
        ComPtr<FieldContainer> container;
    };

    static ComPtr<FieldList> Create() { return ComPtr<FieldList>::Adopt(new FieldList); }
    static ComPtr<FieldList> From(ISSOList* list) { return Own<FieldList>(list); }
    // A copy whose containers are copies too.
    ComPtr<FieldList> Clone() const;

    std::vector<Item> items;
    void AddText(const std::wstring& text);
    void AddContainer(ComPtr<FieldContainer> container);

    TESSALY_SLOT(3) TESSALY_SLOT(4) TESSALY_SLOT(5) TESSALY_SLOT(6) TESSALY_SLOT(7) TESSALY_SLOT(8)
    TESSALY_SLOT(9) TESSALY_SLOT(10) TESSALY_SLOT(11) TESSALY_SLOT(12) TESSALY_SLOT(13)
    HRESULT STDMETHODCALLTYPE GetText(DWORD index, BSTR* text) override;
    TESSALY_SLOT(15) TESSALY_SLOT(16) TESSALY_SLOT(17) TESSALY_SLOT(18) TESSALY_SLOT(19) TESSALY_SLOT(20)
    TESSALY_SLOT(21)
    HRESULT STDMETHODCALLTYPE GetCount(DWORD* count) override;
    TESSALY_SLOT(23) TESSALY_SLOT(24) TESSALY_SLOT(25) TESSALY_SLOT(26) TESSALY_SLOT(27) TESSALY_SLOT(28)
    TESSALY_SLOT(29) TESSALY_SLOT(30) TESSALY_SLOT(31) TESSALY_SLOT(32) TESSALY_SLOT(33) TESSALY_SLOT(34)
    TESSALY_SLOT(35) TESSALY_SLOT(36) TESSALY_SLOT(37) TESSALY_SLOT(38) TESSALY_SLOT(39) TESSALY_SLOT(40)
    TESSALY_SLOT(41) TESSALY_SLOT(42) TESSALY_SLOT(43) TESSALY_SLOT(44) TESSALY_SLOT(45) TESSALY_SLOT(46)
    TESSALY_SLOT(47) TESSALY_SLOT(48) TESSALY_SLOT(49) TESSALY_SLOT(50) TESSALY_SLOT(51) TESSALY_SLOT(52)
    HRESULT STDMETHODCALLTYPE Insert(DWORD index, ISSOFieldContainer* item) override;
    TESSALY_SLOT(54) TESSALY_SLOT(55) TESSALY_SLOT(56) TESSALY_SLOT(57) TESSALY_SLOT(58) TESSALY_SLOT(59)
    HRESULT STDMETHODCALLTYPE RemoveAt(DWORD index) override;
    TESSALY_SLOT(61)
    HRESULT STDMETHODCALLTYPE GetItem(DWORD index, ISSOFieldContainer** item) override;
};

} // namespace tessaly
