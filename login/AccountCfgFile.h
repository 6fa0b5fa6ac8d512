#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "login/AccountRecord.h"

// The records of "Account.cfg" held in memory for one operation. The file is shared by the
// launchers of every game: it is read whole (LockedFile::Read) or changed as one locked
// read-modify-write (LockedFile::Update), so that a change of this process goes into what is on
// disk at that moment and no other process's account is lost.
//
// Only whole records count: a tail shorter than a record (a write cut short by an older
// program) is ignored when reading and overwritten by the next append.
class AccountCfgFile {
public:
    explicit AccountCfgFile(std::string bytes = std::string());

    // Reads the file; false (and no records) when it exists but cannot be read. A missing file
    // is created empty.
    static bool Read(const std::wstring& path, AccountCfgFile& file);
    // Under the file's lock: the records on disk now, `change` on them, written back when it
    // returns true. False when the file could not be read or written, or nothing was to be written.
    static bool Update(const std::wstring& path, const std::function<bool(AccountCfgFile&)>& change);

    // Number of whole records.
    uint64_t RecordCount() const;

    // Calls visit(index, record) for each whole record in order until it returns false.
    void ForEachRecord(const std::function<bool(uint64_t, const AccountRecord&)>& visit) const;

    // Overwrites the record at `index`; false for an index past the last whole record.
    bool WriteRecord(uint64_t index, const AccountRecord& record);
    // Writes the record after the last whole one.
    void AppendRecord(const AccountRecord& record);

private:
    std::string bytes_;
};
