#pragma once
// The digest a password login sends: MD5 of the password's bytes in the thread's ANSI code page
// (no terminator), as the sign-in library expects.
#include <array>
#include <cstdint>
#include <string>

using PasswordDigestBytes = std::array<uint8_t, 16>;

PasswordDigestBytes PasswordDigest(const std::wstring& password);
