#pragma once
// Owner of one kernel handle (file, event, ...): closed when the owner goes away.
#include <windows.h>

namespace SkinUI {

class CWinHandle {
public:
    CWinHandle() = default;
    explicit CWinHandle(HANDLE h) : m_h(h) {}
    ~CWinHandle() { Reset(); }
    CWinHandle(const CWinHandle&) = delete;
    CWinHandle& operator=(const CWinHandle&) = delete;
    CWinHandle(CWinHandle&& other) noexcept : m_h(other.Release()) {}
    CWinHandle& operator=(CWinHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    HANDLE Get() const { return m_h; }
    // Both null and INVALID_HANDLE_VALUE mean "no handle".
    bool IsValid() const { return m_h != nullptr && m_h != INVALID_HANDLE_VALUE; }
    explicit operator bool() const { return IsValid(); }

    void Reset(HANDLE h = nullptr) {
        if (IsValid()) ::CloseHandle(m_h);
        m_h = h;
    }
    HANDLE Release() {
        HANDLE h = m_h;
        m_h = nullptr;
        return h;
    }

private:
    HANDLE m_h = nullptr;
};

} // namespace SkinUI
