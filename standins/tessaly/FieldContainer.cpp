#include "standins/tessaly/FieldContainer.h"

#include "standins/tessaly/ByteBuffer.h"
#include "standins/tessaly/ContainerCodec.h"
#include "standins/tessaly/FieldList.h"

namespace tessaly {

namespace {

bool NameOf(BSTR name, std::wstring& out)
{
    if (!name)
        return false;
    out.assign(name, ::SysStringLen(name));
    return !out.empty();
}

} // namespace

ComPtr<FieldContainer> FieldContainer::Clone() const
{
    ComPtr<FieldContainer> copy = Create();
    for (const auto& [name, value] : fields_) {
        FieldValue v = value;
        if (v.type == FieldType::Container && value.container)
            v.container = value.container->Clone();
        if (v.type == FieldType::List && value.list)
            v.list = value.list->Clone();
        copy->fields_.emplace_back(name, std::move(v));
    }
    return copy;
}

const FieldValue* FieldContainer::Find(const std::wstring& name) const
{
    for (const auto& field : fields_) {
        if (field.first == name)
            return &field.second;
    }
    return nullptr;
}

void FieldContainer::Put(const std::wstring& name, FieldValue value)
{
    for (auto& field : fields_) {
        if (field.first == name) {
            field.second = std::move(value);
            return;
        }
    }
    fields_.emplace_back(name, std::move(value));
}

void FieldContainer::PutBool(const std::wstring& name, bool v)
{
    Put(name, NumberValue(FieldType::Bool, v ? 1 : 0));
}

void FieldContainer::PutByte(const std::wstring& name, uint8_t v)
{
    Put(name, NumberValue(FieldType::Byte, v));
}

void FieldContainer::PutWord(const std::wstring& name, uint16_t v)
{
    Put(name, NumberValue(FieldType::Word, v));
}

void FieldContainer::PutDWord(const std::wstring& name, uint32_t v)
{
    Put(name, NumberValue(FieldType::DWord, v));
}

void FieldContainer::PutInt(const std::wstring& name, int32_t v)
{
    Put(name, NumberValue(FieldType::Int, static_cast<uint32_t>(v)));
}

void FieldContainer::PutText(const std::wstring& name, const std::wstring& v)
{
    FieldValue f;
    f.type = FieldType::Text;
    f.text = v;
    Put(name, std::move(f));
}

void FieldContainer::PutBytes(const std::wstring& name, std::vector<uint8_t> v)
{
    FieldValue f;
    f.type = FieldType::Buffer;
    f.bytes = std::move(v);
    Put(name, std::move(f));
}

void FieldContainer::PutContainer(const std::wstring& name, const FieldContainer& v)
{
    FieldValue f;
    f.type = FieldType::Container;
    f.container = v.Clone();
    Put(name, std::move(f));
}

void FieldContainer::PutList(const std::wstring& name, ComPtr<FieldList> v)
{
    FieldValue f;
    f.type = FieldType::List;
    f.list = std::move(v);
    Put(name, std::move(f));
}

bool FieldContainer::ReadDWord(const std::wstring& name, uint32_t& v) const
{
    const FieldValue* f = FindOfType(name, FieldType::DWord);
    if (f)
        v = f->number;
    return f != nullptr;
}

bool FieldContainer::ReadBool(const std::wstring& name, bool& v) const
{
    const FieldValue* f = FindOfType(name, FieldType::Bool);
    if (f)
        v = f->number != 0;
    return f != nullptr;
}

bool FieldContainer::ReadText(const std::wstring& name, std::wstring& v) const
{
    const FieldValue* f = FindOfType(name, FieldType::Text);
    if (f)
        v = f->text;
    return f != nullptr;
}

bool FieldContainer::ReadBytes(const std::wstring& name, std::vector<uint8_t>& v) const
{
    const FieldValue* f = FindOfType(name, FieldType::Buffer);
    if (f)
        v = f->bytes;
    return f != nullptr;
}

const FieldContainer* FieldContainer::ReadContainer(const std::wstring& name) const
{
    const FieldValue* f = FindOfType(name, FieldType::Container);
    return f ? f->container.Get() : nullptr;
}

FieldValue FieldContainer::NumberValue(FieldType type, uint32_t number)
{
    FieldValue f;
    f.type = type;
    f.number = number;
    return f;
}

const FieldValue* FieldContainer::FindOfType(const std::wstring& name, FieldType type) const
{
    const FieldValue* f = Find(name);
    return f && f->type == type ? f : nullptr;
}

const FieldValue* FieldContainer::FindTyped(BSTR name, FieldType type) const
{
    std::wstring key;
    return NameOf(name, key) ? FindOfType(key, type) : nullptr;
}

HRESULT FieldContainer::SetNumber(BSTR name, FieldType type, uint32_t value)
{
    return Guarded([&] {
        std::wstring key;
        if (!NameOf(name, key))
            return E_INVALIDARG;
        Put(key, NumberValue(type, value));
        return S_OK;
    });
}

template <class T>
HRESULT FieldContainer::GetNumber(BSTR name, FieldType type, T* value) const
{
    if (!value)
        return E_POINTER;
    return Guarded([&] {
        const FieldValue* f = FindTyped(name, type);
        if (!f)
            return E_FAIL;
        *value = static_cast<T>(f->number);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE FieldContainer::GetBool(BSTR name, BOOL* value)
{
    const HRESULT hr = GetNumber(name, FieldType::Bool, value);
    if (hr == S_OK)
        *value = *value ? TRUE : FALSE;
    return hr;
}

HRESULT STDMETHODCALLTYPE FieldContainer::GetByte(BSTR name, BYTE* value)
{
    return GetNumber(name, FieldType::Byte, value);
}

HRESULT STDMETHODCALLTYPE FieldContainer::GetWord(BSTR name, WORD* value)
{
    return GetNumber(name, FieldType::Word, value);
}

HRESULT STDMETHODCALLTYPE FieldContainer::GetDWord(BSTR name, DWORD* value)
{
    return GetNumber(name, FieldType::DWord, value);
}

HRESULT STDMETHODCALLTYPE FieldContainer::GetInt(BSTR name, LONG* value)
{
    return GetNumber(name, FieldType::Int, value);
}

HRESULT STDMETHODCALLTYPE FieldContainer::GetString(BSTR name, BSTR* value)
{
    if (!value)
        return E_POINTER;
    return Guarded([&] {
        const FieldValue* f = FindTyped(name, FieldType::Text);
        if (!f)
            return E_FAIL;
        BSTR s = ::SysAllocStringLen(f->text.data(), static_cast<UINT>(f->text.size()));
        if (!s)
            return E_OUTOFMEMORY;
        *value = s;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE FieldContainer::GetBuffer(BSTR name, ISSOByteBuffer** value)
{
    if (!value)
        return E_POINTER;
    return Guarded([&] {
        const FieldValue* f = FindTyped(name, FieldType::Buffer);
        if (!f)
            return E_FAIL;
        *value = ByteBuffer::Create(f->bytes).Detach();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE FieldContainer::GetContainer(BSTR name, ISSOFieldContainer** value)
{
    if (!value)
        return E_POINTER;
    return Guarded([&] {
        const FieldValue* f = FindTyped(name, FieldType::Container);
        if (!f || !f->container)
            return E_FAIL;
        *value = f->container.Get();
        (*value)->AddRef();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE FieldContainer::GetList(BSTR name, ISSOList** value)
{
    if (!value)
        return E_POINTER;
    return Guarded([&] {
        const FieldValue* f = FindTyped(name, FieldType::List);
        if (!f || !f->list)
            return E_FAIL;
        *value = f->list.Get();
        (*value)->AddRef();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE FieldContainer::SetBool(BSTR name, BOOL value)
{
    return SetNumber(name, FieldType::Bool, value ? 1 : 0);
}

HRESULT STDMETHODCALLTYPE FieldContainer::SetByte(BSTR name, BYTE value)
{
    return SetNumber(name, FieldType::Byte, value);
}

HRESULT STDMETHODCALLTYPE FieldContainer::SetWord(BSTR name, WORD value)
{
    return SetNumber(name, FieldType::Word, value);
}

HRESULT STDMETHODCALLTYPE FieldContainer::SetDWord(BSTR name, DWORD value)
{
    return SetNumber(name, FieldType::DWord, value);
}

HRESULT STDMETHODCALLTYPE FieldContainer::SetInt(BSTR name, LONG value)
{
    return SetNumber(name, FieldType::Int, static_cast<uint32_t>(value));
}

HRESULT STDMETHODCALLTYPE FieldContainer::SetString(BSTR name, BSTR value)
{
    return Guarded([&] {
        std::wstring key;
        if (!NameOf(name, key))
            return E_INVALIDARG;
        PutText(key, value ? std::wstring(value, ::SysStringLen(value)) : std::wstring());
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE FieldContainer::SetBuffer(BSTR name, ISSOByteBuffer* value)
{
    return Guarded([&] {
        std::wstring key;
        std::vector<uint8_t> bytes;
        if (!NameOf(name, key) || !ByteBuffer::ReadAll(value, bytes))
            return E_INVALIDARG;
        PutBytes(key, std::move(bytes));
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE FieldContainer::SetContainer(BSTR name, ISSOFieldContainer* value)
{
    return Guarded([&] {
        std::wstring key;
        ComPtr<FieldContainer> own = FieldContainer::From(value);
        if (!NameOf(name, key) || !own)
            return E_INVALIDARG;
        PutContainer(key, *own.Get());
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE FieldContainer::LoadFromBuffer(ISSOByteBuffer* buffer)
{
    return Guarded([&] {
        std::vector<uint8_t> bytes;
        if (!ByteBuffer::ReadAll(buffer, bytes))
            return E_INVALIDARG;
        Fields fields;
        if (!DecodeContainer(bytes.data(), bytes.size(), fields))
            return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
        fields_ = std::move(fields);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE FieldContainer::SaveToBuffer(ISSOByteBuffer* buffer)
{
    if (!buffer)
        return E_POINTER;
    return Guarded([&] {
        const std::vector<uint8_t> bytes = EncodeContainer(*this);
        return buffer->SetData(bytes.data(), static_cast<DWORD>(bytes.size()));
    });
}

} // namespace tessaly
