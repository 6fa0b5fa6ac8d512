#include "login/AccountCfgFile.h"

#include <algorithm>
#include <vector>

namespace {

// Records read per ReadFile call.
constexpr DWORD kRecordsPerRead = 256;

bool SeekTo(HANDLE file, uint64_t offset)
{
    LARGE_INTEGER pos;
    pos.QuadPart = static_cast<LONGLONG>(offset);
    return ::SetFilePointerEx(file, pos, nullptr, FILE_BEGIN) != FALSE;
}

} // namespace

AccountCfgFile::AccountCfgFile(const std::wstring& path)
    : handle_(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0 /* no sharing */, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))
{
}

uint64_t AccountCfgFile::RecordCount() const
{
    LARGE_INTEGER size;
    if (!IsOpen() || !::GetFileSizeEx(handle_.Get(), &size) || size.QuadPart < 0)
        return 0;
    return static_cast<uint64_t>(size.QuadPart) / AccountRecord::kSize;
}

bool AccountCfgFile::ForEachRecord(const std::function<bool(uint64_t, const AccountRecord&)>& visit) const
{
    if (!IsOpen() || !SeekTo(handle_.Get(), 0))
        return false;
    const uint64_t count = RecordCount();
    std::vector<uint8_t> buffer(kRecordsPerRead * AccountRecord::kSize);
    uint64_t index = 0;
    while (index < count) {
        const uint64_t left = count - index;
        const DWORD records = left < kRecordsPerRead ? static_cast<DWORD>(left) : kRecordsPerRead;
        const DWORD want = records * AccountRecord::kSize;
        DWORD got = 0;
        if (!::ReadFile(handle_.Get(), buffer.data(), want, &got, nullptr))
            return false;
        const DWORD whole = got / AccountRecord::kSize;
        for (DWORD i = 0; i < whole; ++i, ++index) {
            AccountRecord::Bytes bytes;
            std::copy_n(buffer.data() + i * AccountRecord::kSize, AccountRecord::kSize, bytes.begin());
            if (!visit(index, AccountRecord::Decode(bytes)))
                return true;
        }
        if (got < want)
            break; // the file shrank under us: nothing more to read
    }
    return true;
}

bool AccountCfgFile::WriteRecord(uint64_t index, const AccountRecord& record)
{
    return WriteAt(index * AccountRecord::kSize, record.Encode());
}

bool AccountCfgFile::AppendRecord(const AccountRecord& record)
{
    return WriteAt(RecordCount() * AccountRecord::kSize, record.Encode());
}

bool AccountCfgFile::WriteAt(uint64_t offset, const AccountRecord::Bytes& bytes)
{
    if (!IsOpen() || !SeekTo(handle_.Get(), offset))
        return false;
    DWORD written = 0;
    return ::WriteFile(handle_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}
