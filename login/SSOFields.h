#pragma once

#include <windows.h>
#include "login/ComPtr.h"

#include <string>

#include "login/SSOLibraryInterfaces.h"

// Typed access to the named fields of one library field container. A getter returns whether
// the field was given and leaves `value` alone otherwise; setters ignore the library's result.
// Every call allocates the field name as a BSTR and throws ComError(E_OUTOFMEMORY) when that fails.
class SSOFields {
public:
    explicit SSOFields(ISSOFieldContainer* container) : c_(container) {}

    bool GetBool(const wchar_t* name, bool& value) const;
    bool GetByte(const wchar_t* name, BYTE& value) const;
    bool GetWord(const wchar_t* name, WORD& value) const;
    bool GetDWord(const wchar_t* name, DWORD& value) const;
    bool GetInt(const wchar_t* name, LONG& value) const;
    bool GetString(const wchar_t* name, std::wstring& value) const;
    bool GetBuffer(const wchar_t* name, ComPtr<ISSOByteBuffer>& value) const;
    bool GetContainer(const wchar_t* name, ComPtr<ISSOFieldContainer>& value) const;
    bool GetList(const wchar_t* name, ComPtr<ISSOList>& value) const;

    void SetBool(const wchar_t* name, bool value) const;
    void SetByte(const wchar_t* name, BYTE value) const;
    void SetWord(const wchar_t* name, WORD value) const;
    void SetDWord(const wchar_t* name, DWORD value) const;
    void SetString(const wchar_t* name, const std::wstring& value) const;
    void SetBuffer(const wchar_t* name, ISSOByteBuffer* value) const;
    void SetContainer(const wchar_t* name, ISSOFieldContainer* value) const;

private:
    ISSOFieldContainer* c_;
};

// The bytes of a library byte buffer. False when the buffer gives no readable data (an empty
// buffer reads as zero bytes at a null pointer).
bool ReadBufferBytes(ISSOByteBuffer* buffer, const BYTE*& data, DWORD& size);
