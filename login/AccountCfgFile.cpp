#include "login/AccountCfgFile.h"

#include <algorithm>
#include <utility>

#include "foundation/LockedFile.h"
#include "foundation/UniqueHandle.h"

AccountCfgFile::AccountCfgFile(std::string bytes) : bytes_(std::move(bytes)) {}

bool AccountCfgFile::Read(const std::wstring& path, AccountCfgFile& file)
{
    std::string bytes;
    const bool read = LockedFile::Read(path, bytes);
    if (read && bytes.empty()) {
        // An empty file is all a new one can be: no save can be lost by making it here.
        mjz::UniqueHandle created(::CreateFileW(path.c_str(), GENERIC_WRITE,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    file = AccountCfgFile(std::move(bytes));
    return read;
}

bool AccountCfgFile::Update(const std::wstring& path, const std::function<bool(AccountCfgFile&)>& change)
{
    return LockedFile::Update(path, [&change](std::string& bytes) {
        AccountCfgFile file(std::move(bytes));
        const bool write = change(file);
        bytes = std::move(file.bytes_);
        return write;
    });
}

uint64_t AccountCfgFile::RecordCount() const
{
    return bytes_.size() / AccountRecord::kSize;
}

void AccountCfgFile::ForEachRecord(const std::function<bool(uint64_t, const AccountRecord&)>& visit) const
{
    const uint64_t count = RecordCount();
    for (uint64_t index = 0; index < count; ++index) {
        AccountRecord::Bytes bytes;
        std::copy_n(bytes_.data() + index * AccountRecord::kSize, AccountRecord::kSize, bytes.begin());
        if (!visit(index, AccountRecord::Decode(bytes)))
            return;
    }
}

bool AccountCfgFile::WriteRecord(uint64_t index, const AccountRecord& record)
{
    if (index >= RecordCount())
        return false;
    const AccountRecord::Bytes bytes = record.Encode();
    std::copy(bytes.begin(), bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(index * AccountRecord::kSize));
    return true;
}

void AccountCfgFile::AppendRecord(const AccountRecord& record)
{
    bytes_.resize(RecordCount() * AccountRecord::kSize);
    const AccountRecord::Bytes bytes = record.Encode();
    bytes_.append(bytes.begin(), bytes.end());
}
