#pragma once

#include <windows.h>

namespace mjz {

// A lock object; the base of objects that lock themselves. Spins 4000 times
// before it sleeps, since the sections it guards are short.
class CriticalSection {
public:
    CriticalSection() { ::InitializeCriticalSectionAndSpinCount(&cs_, 4000); }
    virtual ~CriticalSection() { ::DeleteCriticalSection(&cs_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Lock() { ::EnterCriticalSection(&cs_); }
    void Unlock() { ::LeaveCriticalSection(&cs_); }
    // For SleepConditionVariableCS.
    CRITICAL_SECTION* Native() { return &cs_; }

private:
    CRITICAL_SECTION cs_;
};

// Holds a CriticalSection for one scope.
class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CriticalSection& cs) : cs_(cs) { cs_.Lock(); }
    ~CriticalSectionLock() { cs_.Unlock(); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CriticalSection& cs_;
};

}  // namespace mjz
