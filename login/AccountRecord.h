#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// One record of the machine-wide "Account.cfg": 29 bytes, little-endian, no padding.
//   0-7   account number (below 10001: an empty or deleted record)
//   8-23  password digest
//   24    remember-password flag
//   25-28 last-login time, seconds since 1970
struct AccountRecord {
    static constexpr size_t kSize = 29;
    // Records whose number is below this hold no account.
    static constexpr uint64_t kFirstAccountNumber = 10001;

    uint64_t accountNumber = 0;
    std::array<uint8_t, 16> passwordDigest{};
    uint8_t rememberPassword = 0;
    uint32_t lastLoginTime = 0;

    using Bytes = std::array<uint8_t, kSize>;

    bool HoldsAccount() const { return accountNumber >= kFirstAccountNumber; }

    // Byte-exact encoding, independent of the compiler's struct layout.
    Bytes Encode() const;
    static AccountRecord Decode(const Bytes& bytes);
};
