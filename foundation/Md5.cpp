#include "foundation/Md5.h"

#include <wincrypt.h>

#include <cstring>

namespace {

// One CryptoAPI provider for the process, released at exit.
class Md5Provider {
public:
    Md5Provider()
    {
        if (!::CryptAcquireContextW(&prov_, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
            prov_ = 0;
    }
    ~Md5Provider()
    {
        if (prov_)
            ::CryptReleaseContext(prov_, 0);
    }
    Md5Provider(const Md5Provider&) = delete;
    Md5Provider& operator=(const Md5Provider&) = delete;

    HCRYPTPROV Get() const { return prov_; }

private:
    HCRYPTPROV prov_ = 0;
};

HCRYPTPROV Provider()
{
    static Md5Provider provider;
    return provider.Get();
}

// The fallback keeps its hash handle in the context's pending-input bytes,
// which only the system implementation uses.
HCRYPTHASH HashOf(const MD5_CTX* ctx)
{
    HCRYPTHASH h = 0;
    std::memcpy(&h, ctx->in, sizeof h);
    return h;
}

void SetHash(MD5_CTX* ctx, HCRYPTHASH h)
{
    std::memcpy(ctx->in, &h, sizeof h);
}

// The three entry points of one implementation.
struct Md5EntryPoints {
    MD5InitFn init = &Md5FallbackInit;
    MD5UpdateFn update = &Md5FallbackUpdate;
    MD5FinalFn final = &Md5FallbackFinal;
};

// The library's entry points when it has all three (it then stays loaded for the life of the
// process: they may be called until exit), else the CryptoAPI set.
Md5EntryPoints LookUp(const wchar_t* library)
{
    HMODULE module = ::LoadLibraryW(library);
    if (module == nullptr)
        return {};
    const auto init = reinterpret_cast<MD5InitFn>(reinterpret_cast<void*>(::GetProcAddress(module, "MD5Init")));
    const auto update = reinterpret_cast<MD5UpdateFn>(reinterpret_cast<void*>(::GetProcAddress(module, "MD5Update")));
    const auto final = reinterpret_cast<MD5FinalFn>(reinterpret_cast<void*>(::GetProcAddress(module, "MD5Final")));
    // The three work on one context, so they come from one implementation.
    if (init && update && final)
        return {init, update, final};
    ::FreeLibrary(module);
    return {};
}

// "Cryptdll.dll" is loaded on the first digest, not while the program starts: nothing before the
// first window needs it. Resolved once per process, on whichever thread comes first.
const Md5EntryPoints& SystemEntryPoints()
{
    static const Md5EntryPoints entryPoints = LookUp(L"Cryptdll.dll");
    return entryPoints;
}

void WINAPI FirstUseInit(MD5_CTX* ctx) { SystemEntryPoints().init(ctx); }
void WINAPI FirstUseUpdate(MD5_CTX* ctx, const unsigned char* data, unsigned int len)
{
    SystemEntryPoints().update(ctx, data, len);
}
void WINAPI FirstUseFinal(MD5_CTX* ctx) { SystemEntryPoints().final(ctx); }

}  // namespace

MD5InitFn MD5Init = &FirstUseInit;
MD5UpdateFn MD5Update = &FirstUseUpdate;
MD5FinalFn MD5Final = &FirstUseFinal;

void ResolveMd5EntryPoints(const wchar_t* library)
{
    const Md5EntryPoints entryPoints = LookUp(library);
    MD5Init = entryPoints.init;
    MD5Update = entryPoints.update;
    MD5Final = entryPoints.final;
}

void WINAPI Md5FallbackInit(MD5_CTX* ctx)
{
    std::memset(ctx, 0, sizeof *ctx);
    HCRYPTHASH h = 0;
    if (Provider() && !::CryptCreateHash(Provider(), CALG_MD5, 0, 0, &h))
        h = 0;
    SetHash(ctx, h);
}

void WINAPI Md5FallbackUpdate(MD5_CTX* ctx, const unsigned char* data, unsigned int len)
{
    // Bit count, low word first, as the system implementation keeps it.
    const ULONG bits = static_cast<ULONG>(len) << 3;
    ctx->i[1] += static_cast<ULONG>(len) >> 29;
    ctx->i[0] += bits;
    if (ctx->i[0] < bits)
        ++ctx->i[1];
    if (const HCRYPTHASH h = HashOf(ctx); h && len > 0)
        ::CryptHashData(h, data, len, 0);
}

void WINAPI Md5FallbackFinal(MD5_CTX* ctx)
{
    std::memset(ctx->digest, 0, sizeof ctx->digest);
    if (const HCRYPTHASH h = HashOf(ctx)) {
        DWORD size = sizeof ctx->digest;
        ::CryptGetHashParam(h, HP_HASHVAL, ctx->digest, &size, 0);
        ::CryptDestroyHash(h);
        SetHash(ctx, 0);
    }
}
