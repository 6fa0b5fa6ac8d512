#pragma once

#include <windows.h>
#include <oleauto.h>

#include <exception>
#include <string>

// The COM error raised as an exception, e.g. E_OUTOFMEMORY when a string cannot be allocated.
// It must be caught before it reaches a window procedure or a COM method's caller.
class ComError : public std::exception {
public:
    explicit ComError(HRESULT hr) : hr_(hr) {}
    HRESULT Code() const { return hr_; }
    const char* what() const noexcept override { return "COM error"; }

private:
    HRESULT hr_;
};

// Owner of one BSTR, freed with SysFreeString.
class BStr {
public:
    BStr() = default;
    // A copy of the text (null stays null); throws ComError(E_OUTOFMEMORY) when allocation fails.
    explicit BStr(const wchar_t* text) : BStr(text, text ? wcslen(text) : 0) {}
    explicit BStr(const std::wstring& text) : BStr(text.c_str(), text.size()) {}
    BStr(const wchar_t* text, size_t length)
    {
        if (!text)
            return;
        s_ = ::SysAllocStringLen(text, static_cast<UINT>(length));
        if (!s_)
            throw ComError(E_OUTOFMEMORY);
    }
    ~BStr() { ::SysFreeString(s_); }
    BStr(const BStr&) = delete;
    BStr& operator=(const BStr&) = delete;
    BStr(BStr&& other) noexcept : s_(other.Detach()) {}
    BStr& operator=(BStr&& other) noexcept
    {
        if (this != &other) {
            ::SysFreeString(s_);
            s_ = other.Detach();
        }
        return *this;
    }

    BSTR Get() const { return s_; }
    // For an out parameter: frees the current string first.
    BSTR* Out()
    {
        ::SysFreeString(s_);
        s_ = nullptr;
        return &s_;
    }
    BSTR Detach()
    {
        BSTR s = s_;
        s_ = nullptr;
        return s;
    }
    UINT Length() const { return ::SysStringLen(s_); }
    std::wstring Str() const { return s_ ? std::wstring(s_, ::SysStringLen(s_)) : std::wstring(); }

private:
    BSTR s_ = nullptr;
};
