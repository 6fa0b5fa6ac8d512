#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

// An INI file held in memory. Sections and keys are matched case-insensitively
// (stored lower-cased); every change rewrites the whole file. Several processes
// may change one file at once: each change reads the file again and writes it
// under a lock shared by all processes (LockedFile), so no process loses a key
// that another one wrote.
class IniStore {
public:
    // Reads the whole file. A byte-order mark selects UTF-8 or UTF-16LE, other
    // files are read in code page 936. A missing file gives an empty store and
    // true. A file that exists but cannot be read gives an empty store, false,
    // and a store that refuses to write: rewriting it from an empty store
    // would wipe what the file holds.
    bool Load(const std::wstring& path);

    // False when the value is absent or empty.
    bool GetInt(const wchar_t* section, const wchar_t* key, int& out) const;
    // Copies at most size-1 characters and terminates; returns the number of
    // characters copied, 0 when the value is absent.
    int GetString(const wchar_t* section, const wchar_t* key, wchar_t* buf, int size) const;

    // Stores the value and rewrites the file (UTF-16LE with a byte-order mark)
    // through a temporary of its own beside it, so the original is never left
    // truncated. False when the file could not be read again or replaced (or the
    // last Load failed); the value stays stored and goes with the next write.
    bool SetString(const wchar_t* section, const wchar_t* key, const wchar_t* value);
    bool SetInt(const wchar_t* section, const wchar_t* key, int value);

    // A read-modify-write of several values as one step: under the file's lock
    // the store is read from the file again, `change` runs on it (reading with
    // GetString and changing with Put), and the result is written once. The
    // result is that of SetString.
    bool Update(const std::function<void(IniStore&)>& change);
    // Changes a value in memory only; Update writes it.
    void Put(const wchar_t* section, const wchar_t* key, const wchar_t* value);

private:
    using Name = std::pair<std::wstring, std::wstring>;  // section, key: lower case
    struct Change {
        std::wstring section;
        std::wstring key;
        std::wstring value;
    };

    static Name MakeName(const wchar_t* section, const wchar_t* key);
    void Store(const wchar_t* section, const wchar_t* key, std::wstring value, bool replace);
    void Parse(const std::wstring& text);
    // The file's bytes for what the store holds.
    std::string Encoded() const;

    std::wstring path_;
    bool writable_ = false;  // the file was read, or is missing
    // Section and key kept apart, so that no character inside either makes two
    // names meet.
    std::map<Name, std::wstring> values_;
    // Changes not yet written: applied again after every fresh read.
    std::vector<Change> unwritten_;
};
