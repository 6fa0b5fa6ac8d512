#pragma once

#include <windows.h>

namespace mjz {

// Owner of one kernel handle (thread, file, event ...): closed when the owner goes away.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : h_(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    HANDLE Get() const { return h_; }
    // Both null and INVALID_HANDLE_VALUE mean "no handle".
    bool IsValid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    explicit operator bool() const { return IsValid(); }

    void Reset(HANDLE h = nullptr)
    {
        if (IsValid())
            ::CloseHandle(h_);
        h_ = h;
    }
    HANDLE Release()
    {
        HANDLE h = h_;
        h_ = nullptr;
        return h;
    }

private:
    HANDLE h_ = nullptr;
};

}  // namespace mjz
