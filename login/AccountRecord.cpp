#include "login/AccountRecord.h"

namespace {

constexpr size_t kDigestOffset = 8;
constexpr size_t kFlagOffset = 24;
constexpr size_t kTimeOffset = 25;

void PutLE(uint8_t* out, uint64_t value, size_t bytes)
{
    for (size_t i = 0; i < bytes; ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint64_t GetLE(const uint8_t* in, size_t bytes)
{
    uint64_t value = 0;
    for (size_t i = 0; i < bytes; ++i)
        value |= static_cast<uint64_t>(in[i]) << (8 * i);
    return value;
}

} // namespace

AccountRecord::Bytes AccountRecord::Encode() const
{
    Bytes bytes{};
    PutLE(bytes.data(), accountNumber, 8);
    for (size_t i = 0; i < passwordDigest.size(); ++i)
        bytes[kDigestOffset + i] = passwordDigest[i];
    bytes[kFlagOffset] = rememberPassword;
    PutLE(bytes.data() + kTimeOffset, lastLoginTime, 4);
    return bytes;
}

AccountRecord AccountRecord::Decode(const Bytes& bytes)
{
    AccountRecord record;
    record.accountNumber = GetLE(bytes.data(), 8);
    for (size_t i = 0; i < record.passwordDigest.size(); ++i)
        record.passwordDigest[i] = bytes[kDigestOffset + i];
    record.rememberPassword = bytes[kFlagOffset];
    record.lastLoginTime = static_cast<uint32_t>(GetLE(bytes.data() + kTimeOffset, 4));
    return record;
}
