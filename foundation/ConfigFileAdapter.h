#pragma once

#include <functional>
#include <memory>

class IniStore;

// A virtual adapter over one IniStore: opened per operation on one file.
class CConfigFileAdapter {
public:
    CConfigFileAdapter();
    virtual ~CConfigFileAdapter();
    CConfigFileAdapter(const CConfigFileAdapter&) = delete;
    CConfigFileAdapter& operator=(const CConfigFileAdapter&) = delete;

    // Creates the store on first use and loads the file. Returns 1 when the
    // file was read or is missing (an empty store), 0 for a null path or a file
    // that exists but could not be read: the store is then empty and refuses to
    // write, so that nothing is rewritten from what was never read. The mode is
    // not used.
    virtual int Open(const wchar_t* path, int mode);
    // Result = characters copied (at most size-1), 0 when absent or not open.
    virtual int GetString(const wchar_t* section, const wchar_t* key, wchar_t* buf, int size);
    // Store and rewrite the file; false when not open or the file could not be written.
    virtual bool SetString(const wchar_t* section, const wchar_t* key, const wchar_t* value);
    virtual bool SetInt(const wchar_t* section, const wchar_t* key, int value);
    // IniStore::Update on the open store: a read-modify-write under the file's
    // lock of all processes, written once. False when not open or not written.
    virtual bool Update(const std::function<void(IniStore&)>& change);
    // Destroys the store.
    virtual void Close();

    bool IsOpen() const { return store_ != nullptr; }

private:
    std::unique_ptr<IniStore> store_;
};
