#pragma once

#include <string>

#include "foundation/UniqueHandle.h"

// A lock on one file shared by every process of the program: a named mutex whose name is derived
// from the file's full path (letter case ignored), held for the lifetime of the object. A
// read-modify-write of a file done under it loses nothing that another process writes.
class FileLock {
public:
    // Waits at most timeoutMs for the lock; an owner that ended without releasing it hands it on.
    explicit FileLock(const std::wstring& path, unsigned long timeoutMs = 10000);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool Held() const { return held_; }

    // The mutex name for a path: the same for every spelling of one file.
    static std::wstring MutexName(const std::wstring& path);

private:
    mjz::UniqueHandle mutex_;
    bool held_ = false;
};
