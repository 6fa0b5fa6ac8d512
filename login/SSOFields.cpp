#include "login/SSOFields.h"

#include "login/BStr.h"

bool SSOFields::GetBool(const wchar_t* name, bool& value) const
{
    BOOL v = FALSE;
    if (FAILED(c_->GetBool(BStr(name).Get(), &v)))
        return false;
    value = v != FALSE;
    return true;
}

bool SSOFields::GetByte(const wchar_t* name, BYTE& value) const
{
    BYTE v = 0;
    if (FAILED(c_->GetByte(BStr(name).Get(), &v)))
        return false;
    value = v;
    return true;
}

bool SSOFields::GetWord(const wchar_t* name, WORD& value) const
{
    WORD v = 0;
    if (FAILED(c_->GetWord(BStr(name).Get(), &v)))
        return false;
    value = v;
    return true;
}

bool SSOFields::GetDWord(const wchar_t* name, DWORD& value) const
{
    DWORD v = 0;
    if (FAILED(c_->GetDWord(BStr(name).Get(), &v)))
        return false;
    value = v;
    return true;
}

bool SSOFields::GetInt(const wchar_t* name, LONG& value) const
{
    LONG v = 0;
    if (FAILED(c_->GetInt(BStr(name).Get(), &v)))
        return false;
    value = v;
    return true;
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
    ComPtr<ISSOByteBuffer> v;
    if (FAILED(c_->GetBuffer(BStr(name).Get(), v.GetAddressOf())) || !v)
        return false;
    value = v;
    return true;
}

bool SSOFields::GetContainer(const wchar_t* name, ComPtr<ISSOFieldContainer>& value) const
{
    ComPtr<ISSOFieldContainer> v;
    if (FAILED(c_->GetContainer(BStr(name).Get(), v.GetAddressOf())) || !v)
        return false;
    value = v;
    return true;
}

bool SSOFields::GetList(const wchar_t* name, ComPtr<ISSOList>& value) const
{
    ComPtr<ISSOList> v;
    if (FAILED(c_->GetList(BStr(name).Get(), v.GetAddressOf())) || !v)
        return false;
    value = v;
    return true;
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
