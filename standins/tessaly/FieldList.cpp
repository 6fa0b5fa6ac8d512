#include "standins/tessaly/FieldList.h"

#include "standins/tessaly/FieldContainer.h"

namespace tessaly {

ComPtr<FieldList> FieldList::Clone() const
{
    ComPtr<FieldList> copy = Create();
    for (const Item& item : items) {
        Item c = item;
        if (!item.isText && item.container)
            c.container = item.container->Clone();
        copy->items.push_back(std::move(c));
    }
    return copy;
}

void FieldList::AddText(const std::wstring& text)
{
    Item item;
    item.isText = true;
    item.text = text;
    items.push_back(std::move(item));
}

void FieldList::AddContainer(ComPtr<FieldContainer> container)
{
    Item item;
    item.container = std::move(container);
    items.push_back(std::move(item));
}

HRESULT STDMETHODCALLTYPE FieldList::GetText(DWORD index, BSTR* text)
{
    if (!text)
        return E_POINTER;
    if (index >= items.size() || !items[index].isText)
        return E_INVALIDARG;
    const std::wstring& t = items[index].text;
    *text = ::SysAllocStringLen(t.data(), static_cast<UINT>(t.size()));
    return *text ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE FieldList::GetCount(DWORD* count)
{
    if (!count)
        return E_POINTER;
    *count = static_cast<DWORD>(items.size());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FieldList::Insert(DWORD index, ISSOFieldContainer* item)
{
    ComPtr<FieldContainer> own = FieldContainer::From(item);
    if (!own || index > items.size())
        return E_INVALIDARG;
    return Guarded([&] {
        Item entry;
        entry.container = own;
        items.insert(items.begin() + index, std::move(entry));
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE FieldList::RemoveAt(DWORD index)
{
    if (index >= items.size())
        return E_INVALIDARG;
    items.erase(items.begin() + index);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FieldList::GetItem(DWORD index, ISSOFieldContainer** item)
{
    if (!item)
        return E_POINTER;
    *item = nullptr;
    if (index >= items.size() || items[index].isText || !items[index].container)
        return E_INVALIDARG;
    *item = items[index].container.Get();
    (*item)->AddRef();
    return S_OK;
}

} // namespace tessaly
