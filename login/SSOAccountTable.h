#pragma once

#include <cstdint>

// One account of the single-sign-on library's account list, as the login dialog shows it.
struct SSOAccountEntry {
    static constexpr int kAccountValueUnits = 64;   // at most 63 characters and a zero
    static constexpr int kNickNameUnits = 40;       // at most 39 characters and a zero

    uint64_t accountNumber;
    uint32_t reserved;
    wchar_t accountValue[kAccountValueUnits];
    wchar_t nickName[kNickNameUnits];
};

// The provider's table of the library's stored accounts.
struct SSOAccountTable {
    static constexpr uint32_t kMaxEntries = 120;

    uint32_t count;
    SSOAccountEntry entries[kMaxEntries];
};

static_assert(alignof(SSOAccountEntry) == 8);
static_assert(sizeof(SSOAccountEntry) == 8 + 4 + 128 + 80 + 4);
