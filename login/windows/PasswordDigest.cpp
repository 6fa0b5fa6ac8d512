#include "login/windows/PasswordDigest.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "foundation/Md5.h"

PasswordDigestBytes PasswordDigest(const std::wstring& password)
{
    std::vector<char> bytes;
    if (!password.empty()) {
        const int length = static_cast<int>(password.size());
        const int needed = ::WideCharToMultiByte(CP_THREAD_ACP, 0, password.data(), length, nullptr, 0, nullptr, nullptr);
        if (needed > 0) {
            bytes.resize(static_cast<size_t>(needed));
            ::WideCharToMultiByte(CP_THREAD_ACP, 0, password.data(), length, bytes.data(), needed, nullptr, nullptr);
        }
    }
    MD5_CTX ctx = {};
    MD5Init(&ctx);
    MD5Update(&ctx, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned>(bytes.size()));
    MD5Final(&ctx);
    PasswordDigestBytes digest{};
    std::memcpy(digest.data(), ctx.digest, digest.size());
    ::SecureZeroMemory(bytes.data(), bytes.size());
    ::SecureZeroMemory(&ctx, sizeof(ctx));
    return digest;
}
