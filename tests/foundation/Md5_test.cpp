#include "foundation/Md5.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

struct Vector {
    const char* input;
    const char* digest;
};

// The test suite of RFC 1321.
const Vector kRfc1321[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

std::string Hex(const unsigned char (&digest)[16])
{
    std::string out;
    char two[3];
    for (unsigned char b : digest) {
        std::snprintf(two, sizeof two, "%02x", b);
        out += two;
    }
    return out;
}

// Digest through whatever the three entry points are now, the input fed in
// pieces of `chunk` bytes (0 = all at once).
std::string Digest(const std::string& input, size_t chunk)
{
    MD5_CTX ctx;
    MD5Init(&ctx);
    const auto* p = reinterpret_cast<const unsigned char*>(input.data());
    size_t left = input.size();
    do {
        const size_t n = chunk == 0 ? left : std::min(chunk, left);
        MD5Update(&ctx, p, static_cast<unsigned>(n));
        p += n;
        left -= n;
    } while (left > 0);
    MD5Final(&ctx);
    return Hex(ctx.digest);
}

void ExpectRfcVectors()
{
    for (const Vector& v : kRfc1321) {
        for (size_t chunk : {size_t{0}, size_t{1}, size_t{7}, size_t{64}}) {
            EXPECT_EQ(Digest(v.input, chunk), v.digest) << "input \"" << v.input << "\" in pieces of " << chunk;
        }
    }
    // A million 'a': many blocks through one context.
    EXPECT_EQ(Digest(std::string(1000000, 'a'), 4096), "7707d6ae4e027c70eea2a935c2296f21");
}

// Puts the entry points back as the program start left them.
class Md5EntryPoints : public testing::Test {
protected:
    void TearDown() override { ResolveMd5EntryPoints(L"Cryptdll.dll"); }
};

TEST_F(Md5EntryPoints, ResolvedFromCryptdllAtStart)
{
    ASSERT_NE(MD5Init, nullptr);
    // The system library has them, so the fallback is not in use.
    EXPECT_NE(MD5Init, &Md5FallbackInit);
    EXPECT_NE(MD5Update, &Md5FallbackUpdate);
    EXPECT_NE(MD5Final, &Md5FallbackFinal);
    ExpectRfcVectors();
}

TEST_F(Md5EntryPoints, MissingEntryPointsFallBackToCryptoApi)
{
    for (const wchar_t* library : {L"kernel32.dll", L"no-such-library-here.dll"}) {
        ResolveMd5EntryPoints(library);
        EXPECT_EQ(MD5Init, &Md5FallbackInit);
        EXPECT_EQ(MD5Update, &Md5FallbackUpdate);
        EXPECT_EQ(MD5Final, &Md5FallbackFinal);
        ExpectRfcVectors();
    }
}

TEST_F(Md5EntryPoints, FallbackContextsAreIndependent)
{
    ResolveMd5EntryPoints(L"no-such-library-here.dll");
    MD5_CTX first;
    MD5_CTX second;
    MD5Init(&first);
    MD5Init(&second);
    MD5Update(&first, reinterpret_cast<const unsigned char*>("ab"), 2);
    MD5Update(&second, reinterpret_cast<const unsigned char*>("message "), 8);
    MD5Update(&first, reinterpret_cast<const unsigned char*>("c"), 1);
    MD5Update(&second, reinterpret_cast<const unsigned char*>("digest"), 6);
    MD5Final(&first);
    MD5Final(&second);
    EXPECT_EQ(Hex(first.digest), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Hex(second.digest), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(first.i[0], 24u);  // bits hashed
    EXPECT_EQ(second.i[0], 112u);
}

}  // namespace
