#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "login/AccountRecord.h"
#include "foundation/UniqueHandle.h"

// "Account.cfg" opened for one operation: read and write, no sharing, created when
// missing. While one launcher process holds it, every other open fails, which keeps
// the read-modify-write of an operation whole across processes.
//
// Only whole records count: a tail shorter than a record (a write cut short) is
// ignored when reading and overwritten by the next append.
class AccountCfgFile {
public:
    explicit AccountCfgFile(const std::wstring& path);

    bool IsOpen() const { return handle_.IsValid(); }

    // Number of whole records in the file.
    uint64_t RecordCount() const;

    // Calls visit(index, record) for each whole record in file order until it
    // returns false. Returns false when reading failed.
    bool ForEachRecord(const std::function<bool(uint64_t, const AccountRecord&)>& visit) const;

    // Overwrites the record at `index` in place.
    bool WriteRecord(uint64_t index, const AccountRecord& record);
    // Writes the record after the last whole one.
    bool AppendRecord(const AccountRecord& record);

private:
    bool WriteAt(uint64_t offset, const AccountRecord::Bytes& bytes);

    mjz::UniqueHandle handle_;
};
