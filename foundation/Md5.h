#pragma once

#include <windows.h>

// MD5 context laid out as the system library's.
struct MD5_CTX {
    ULONG i[2];              // number of bits hashed, low word first
    ULONG buf[4];            // state
    unsigned char in[64];    // pending input
    unsigned char digest[16];// result after MD5Final
};

using MD5InitFn = void(WINAPI*)(MD5_CTX*);
using MD5UpdateFn = void(WINAPI*)(MD5_CTX*, const unsigned char*, unsigned int);
using MD5FinalFn = void(WINAPI*)(MD5_CTX*);

// The MD5 entry points of "Cryptdll.dll", resolved on the first call (once per
// process). Callers run init; update with the bytes; final, and read ctx.digest.
// Never null: when the library or an entry point is missing, all three use the
// CryptoAPI implementation below.
extern MD5InitFn MD5Init;
extern MD5UpdateFn MD5Update;
extern MD5FinalFn MD5Final;

// Resolves the three entry points from the named library at once; falls back to
// the CryptoAPI set unless all three are found.
void ResolveMd5EntryPoints(const wchar_t* library);

// The CryptoAPI implementation (CALG_MD5). It keeps its hash handle inside the
// context between init and final.
void WINAPI Md5FallbackInit(MD5_CTX* ctx);
void WINAPI Md5FallbackUpdate(MD5_CTX* ctx, const unsigned char* data, unsigned int len);
void WINAPI Md5FallbackFinal(MD5_CTX* ctx);
