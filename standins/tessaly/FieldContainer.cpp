#include "standins/tessaly/FieldContainer.h"

#include "standins/tessaly/ByteBuffer.h"
#include "standins/tessaly/ContainerCodec.h"
#include "standins/tessaly/FieldList.h"
#include "standins/tessaly/ImplIds.h"

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

ComPtr<FieldContainer> FieldContainer::Create()
{
    ComPtr<FieldContainer> c;
    c = ComPtr<FieldContainer>::Adopt(new FieldContainer);
    return c;
}

ComPtr<FieldContainer> FieldContainer::From(ISSOFieldContainer* container)
{
    ComPtr<FieldContainer> own;
    if (container)
        container->QueryInterface(IID_FieldContainerImpl, reinterpret_cast<void**>(own.GetAddressOf()));
    return own;
}

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
    FieldValue f;
    f.type = FieldType::Bool;
    f.number = v ? 1 : 0;
    Put(name, std::move(f));
}

void FieldContainer::PutByte(const std::wstring& name, uint8_t v)
{
    FieldValue f;
    f.type = FieldType::Byte;
    f.number = v;
    Put(name, std::move(f));
}

void FieldContainer::PutWord(const std::wstring& name, uint16_t v)
{
    FieldValue f;
    f.type = FieldType::Word;
    f.number = v;
    Put(name, std::move(f));
}

void FieldContainer::PutDWord(const std::wstring& name, uint32_t v)
{
    FieldValue f;
    f.type = FieldType::DWord;
    f.number = v;
    Put(name, std::move(f));
}

void FieldContainer::PutInt(const std::wstring& name, int32_t v)
{
    FieldValue f;
    f.type = FieldType::Int;
    f.number = static_cast<uint32_t>(v);
    Put(name, std::move(f));
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
    const FieldValue* f = Find(name);
    if (!f || f->type != FieldType::DWord)
        return false;
    v = f->number;
    return true;
}

bool FieldContainer::ReadBool(const std::wstring& name, bool& v) const
{
    const FieldValue* f = Find(name);
    if (!f || f->type != FieldType::Bool)
        return false;
    v = f->number != 0;
    return true;
}

bool FieldContainer::ReadText(const std::wstring& name, std::wstring& v) const
{
    const FieldValue* f = Find(name);
    if (!f || f->type != FieldType::Text)
        return false;
    v = f->text;
    return true;
}

bool FieldContainer::ReadBytes(const std::wstring& name, std::vector<uint8_t>& v) const
{
    const FieldValue* f = Find(name);
    if (!f || f->type != FieldType::Buffer)
        return false;
    v = f->bytes;
    return true;
}

const FieldContainer* FieldContainer::ReadContainer(const std::wstring& name) const
{
    const FieldValue* f = Find(name);
    return f && f->type == FieldType::Container ? f->container.Get() : nullptr;
}

HRESULT STDMETHODCALLTYPE FieldContainer::QueryInterface(REFIID riid, void** out)
{
    if (out && IsEqualIID(riid, IID_FieldContainerImpl)) {
        AddRef();
        *out = this;
        return S_OK;
    }
    return ComObject::QueryInterface(riid, out);
}

const FieldValue* FieldContainer::FindTyped(BSTR name, FieldType type) const
{
    std::wstring key;
    if (!NameOf(name, key))
        return nullptr;
    const FieldValue* f = Find(key);
    return f && f->type == type ? f : nullptr;
}

HRESULT FieldContainer::SetNumber(BSTR name, FieldType type, uint32_t value)
{
    return Guarded([&] {
        std::wstring key;
        if (!NameOf(name, key))
            return E_INVALIDARG;
        FieldValue f;
        f.type = type;
        f.number = value;
        Put(key, std::move(f));
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE FieldContainer::GetBool(BSTR name, BOOL* value)
{
    if (!value)
        return E_POINTER;
    return Guarded([&] {
        const FieldValue* f = FindTyped(name, FieldType::Bool);
        if (!f)
            return E_FAIL;
        *value = f->number ? TRUE : FALSE;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE FieldContainer::GetByte(BSTR name, BYTE* value)
{
    if (!value)
        return E_POINTER;
    return Guarded([&] {
        const FieldValue* f = FindTyped(name, FieldType::Byte);
        if (!f)
            return E_FAIL;
        *value = static_cast<BYTE>(f->number);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE FieldContainer::GetWord(BSTR name, WORD* value)
{
    if (!value)
        return E_POINTER;
    return Guarded([&] {
        const FieldValue* f = FindTyped(name, FieldType::Word);
        if (!f)
            return E_FAIL;
        *value = static_cast<WORD>(f->number);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE FieldContainer::GetDWord(BSTR name, DWORD* value)
{
    if (!value)
        return E_POINTER;
    return Guarded([&] {
        const FieldValue* f = FindTyped(name, FieldType::DWord);
        if (!f)
            return E_FAIL;
        *value = f->number;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE FieldContainer::GetInt(BSTR name, LONG* value)
{
    if (!value)
        return E_POINTER;
    return Guarded([&] {
        const FieldValue* f = FindTyped(name, FieldType::Int);
        if (!f)
            return E_FAIL;
        *value = static_cast<LONG>(f->number);
        return S_OK;
    });
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
