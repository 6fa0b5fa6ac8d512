#include "login/SSOFields.h"

#include "login/BStr.h"

namespace {

// Calls one getter of the container; the value is handed on only when the call succeeded.
template <class T, class Getter>
bool GetValue(ISSOFieldContainer* c, Getter getter, const wchar_t* name, T& value)
{
    T v{};
    if (FAILED((c->*getter)(BStr(name).Get(), &v)))
        return false;
    value = v;
    return true;
}

// The same for a getter of an interface, whose result must not be null either.
template <class I, class Getter>
bool GetInterface(ISSOFieldContainer* c, Getter getter, const wchar_t* name, ComPtr<I>& value)
{
    ComPtr<I> v;
    if (FAILED((c->*getter)(BStr(name).Get(), v.GetAddressOf())) || !v)
        return false;
    value = v;
    return true;
}

} // namespace

bool SSOFields::GetBool(const wchar_t* name, bool& value) const
{
    BOOL v = FALSE;
    if (!GetValue(c_, &ISSOFieldContainer::GetBool, name, v))
        return false;
    value = v != FALSE;
    return true;
}

bool SSOFields::GetByte(const wchar_t* name, BYTE& value) const
{
    return GetValue(c_, &ISSOFieldContainer::GetByte, name, value);
}

bool SSOFields::GetWord(const wchar_t* name, WORD& value) const
{
    return GetValue(c_, &ISSOFieldContainer::GetWord, name, value);
}

bool SSOFields::GetDWord(const wchar_t* name, DWORD& value) const
{
    return GetValue(c_, &ISSOFieldContainer::GetDWord, name, value);
}

bool SSOFields::GetInt(const wchar_t* name, LONG& value) const
{
    return GetValue(c_, &ISSOFieldContainer::GetInt, name, value);
}

bool SSOFields::GetString(const wchar_t* name, std::wstring& value) const
{
    BStr v;
    if (FAILED(c_->GetString(BStr(name).Get(), v.Out())))
        return false;
    value = v.Str();
    return true;
}

bool SSOFields::GetBuffer(const wchar_t* name, ComPtr<ISSOByteBuffer>& value) const
{
    return GetInterface(c_, &ISSOFieldContainer::GetBuffer, name, value);
}

bool SSOFields::GetContainer(const wchar_t* name, ComPtr<ISSOFieldContainer>& value) const
{
    return GetInterface(c_, &ISSOFieldContainer::GetContainer, name, value);
}

bool SSOFields::GetList(const wchar_t* name, ComPtr<ISSOList>& value) const
{
    return GetInterface(c_, &ISSOFieldContainer::GetList, name, value);
}

void SSOFields::SetBool(const wchar_t* name, bool value) const
{
    c_->SetBool(BStr(name).Get(), value ? TRUE : FALSE);
}

void SSOFields::SetByte(const wchar_t* name, BYTE value) const
{
    c_->SetByte(BStr(name).Get(), value);
}

void SSOFields::SetWord(const wchar_t* name, WORD value) const
{
    c_->SetWord(BStr(name).Get(), value);
}

void SSOFields::SetDWord(const wchar_t* name, DWORD value) const
{
    c_->SetDWord(BStr(name).Get(), value);
}

void SSOFields::SetString(const wchar_t* name, const std::wstring& value) const
{
    c_->SetString(BStr(name).Get(), BStr(value).Get());
}

void SSOFields::SetBuffer(const wchar_t* name, ISSOByteBuffer* value) const
{
    c_->SetBuffer(BStr(name).Get(), value);
}

void SSOFields::SetContainer(const wchar_t* name, ISSOFieldContainer* value) const
{
    c_->SetContainer(BStr(name).Get(), value);
}

bool ReadBufferBytes(ISSOByteBuffer* buffer, const BYTE*& data, DWORD& size)
{
    if (!buffer)
        return false;
    const BYTE* d = nullptr;
    DWORD n = 0;
    if (FAILED(buffer->GetData(&d)) || FAILED(buffer->GetSize(&n)) || (n != 0 && !d))
        return false;
    data = d;
    size = n;
    return true;
}
