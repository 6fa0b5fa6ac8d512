#pragma once

#include <functional>
#include <string>

// A file that must never be lost, changed as one step among all processes of the program: a
// change is a read-modify-write under the file's FileLock; the new contents go to a temporary
// file of their own beside it, flushed, and are moved over the old file in one step. A process
// killed at any moment leaves the old file or the new one, never an empty or half-written one,
// and two processes changing the file at once never lose each other's changes.
class LockedFile {
public:
    // Larger files are nothing this program writes; refusing them keeps a 32-bit process from
    // running out of address space on a damaged one.
    static constexpr long long kMaxBytes = 64LL * 1024 * 1024;

    // Reads the whole file. A missing file gives no bytes and true. A file held open without
    // sharing elsewhere is tried again for a short while; false when it stays unreadable (or
    // is larger than kMaxBytes): nothing must then be written from what was never read.
    static bool Read(const std::wstring& path, std::string& bytes);

    // Under the file's lock: reads the file (as Read), lets `change` edit its bytes and, when
    // `change` returns true, writes them as the file's new contents. Returns true when they were
    // written; false when the lock or the file could not be had (`change` is then not called),
    // when `change` declined, or when the write failed (the file is then as it was).
    static bool Update(const std::wstring& path, const std::function<bool(std::string& bytes)>& change);

private:
    static bool Replace(const std::wstring& path, const std::string& bytes);
    static void RemoveLeftTemporaries(const std::wstring& path);
};
