#pragma once

#include <cstdint>

// Proxy settings a login may carry to the single-sign-on library.
struct SSOProxySettings {
    static constexpr int kTextUnits = 128;
    static constexpr uint32_t kKindHttp = 1;
    static constexpr uint32_t kKindSocks5 = 2;

    uint32_t unused;
    uint32_t enabled;
    uint32_t kind;          // 1 or 2
    uint16_t port;
    wchar_t address[kTextUnits];
    wchar_t userName[kTextUnits];
    wchar_t password[kTextUnits];
    wchar_t domain[kTextUnits];
};
