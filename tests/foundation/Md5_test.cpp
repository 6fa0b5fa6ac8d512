#include "foundation/Md5.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// The test suite of RFC 1321.
const std::pair<const char*, const char*> kRfc1321[] = {
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

// Digest through whatever the three entry points are now, the input fed in pieces of `chunk`
// bytes (0 = all at once).
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

// The entry points as the program start resolved them (from the system library, which has
// them), then resolved from libraries without them: the CryptoAPI fallback. Every source gives
// the reference digests, whole or in pieces, over many blocks through one context too.
TEST(Md5, EntryPointsFromCryptdllOrTheFallbackGiveTheReferenceDigests)
{
    const std::pair<const wchar_t*, bool> sources[] = {
        {nullptr, false}, {L"kernel32.dll", true}, {L"no-such-library-here.dll", true}, {L"Cryptdll.dll", false}};
    for (const auto& [library, fallback] : sources) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(library ? library : L"<start>")));
        if (library)
            ResolveMd5EntryPoints(library);
        ASSERT_NE(MD5Init, nullptr);
        EXPECT_EQ(MD5Init == &Md5FallbackInit, fallback);
        EXPECT_EQ(MD5Update == &Md5FallbackUpdate, fallback);
        EXPECT_EQ(MD5Final == &Md5FallbackFinal, fallback);
        for (const auto& [input, digest] : kRfc1321)
            for (size_t chunk : {size_t{0}, size_t{1}, size_t{7}, size_t{64}})
                EXPECT_EQ(Digest(input, chunk), digest) << "input \"" << input << "\" in pieces of " << chunk;
        EXPECT_EQ(Digest(std::string(1000000, 'a'), 4096), "7707d6ae4e027c70eea2a935c2296f21");
    }
}

// Two fallback contexts in use at once keep their own hashes.
TEST(Md5, FallbackContextsAreIndependent)
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
    ResolveMd5EntryPoints(L"Cryptdll.dll");
    EXPECT_EQ(Hex(first.digest), kRfc1321[2].second);
    EXPECT_EQ(Hex(second.digest), kRfc1321[3].second);
    EXPECT_EQ(first.i[0], 24u);  // bits hashed
    EXPECT_EQ(second.i[0], 112u);
}

}  // namespace
