#pragma once

#include <map>
#include <string>

// An INI file held in memory. Sections and keys are matched case-insensitively
// (stored lower-cased); every change rewrites the whole file.
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
    // through a temporary beside it, so the original is never left truncated.
    // False when the file could not be replaced; the value stays stored.
    bool SetString(const wchar_t* section, const wchar_t* key, const wchar_t* value);
    bool SetInt(const wchar_t* section, const wchar_t* key, int value);

private:
    static std::wstring MakeKey(const wchar_t* section, const wchar_t* key);
    void Store(const wchar_t* section, const wchar_t* key, std::wstring value, bool replace);
    void Parse(const std::wstring& text);
    bool Save() const;

    struct Entry {
        std::wstring section;  // lower case
        std::wstring key;      // lower case
        std::wstring value;
    };

    std::wstring path_;
    bool writable_ = false;  // the file was read, or is missing
    // Keyed by "section#key" in lower case; the entry keeps both parts apart
    // so that a '#' inside either survives a rewrite.
    std::map<std::wstring, Entry> values_;
};
