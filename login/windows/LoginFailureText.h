#pragma once
// What the failure page of the login dialog says for a failed login, and what the report of the
// failure carries.
#include <cstdint>
#include <string>

struct LoginFailureText {
    static constexpr int32_t kNetworkError = 0x9007;     // always the formatted message
    static constexpr int32_t kDamagedInstall = 0x9010;   // its own message unless a reason came
    static constexpr size_t kMaxFormattedUnits = 259;

    std::wstring text;          // for the page
    std::string reportText;     // UTF-8; the reason when the page shows it, else empty

    // Precedence: the network code's formatted message; a non-empty reason (without CR and LF);
    // the damaged-install message; the formatted message with the code.
    static LoginFailureText For(int32_t code, const wchar_t* reason);
};
