#pragma once

#include <string>

#include "foundation/UniqueHandle.h"

// A named mutex taken without waiting, to keep one process per role. Held until the object
// goes away. A mutex left behind by a process that died counts as free.
class InstanceMutex {
public:
    explicit InstanceMutex(const std::wstring& name);
    ~InstanceMutex();
    InstanceMutex(const InstanceMutex&) = delete;
    InstanceMutex& operator=(const InstanceMutex&) = delete;

    // False when another process holds the mutex (or it could not be created).
    bool Owned() const { return owned_; }

private:
    mjz::UniqueHandle mutex_;
    bool owned_ = false;
};
