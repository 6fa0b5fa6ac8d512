#pragma once
#include <windows.h>

namespace SkinUI {

using AlphaBlendFn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// The "AlphaBlend" and "GradientFill" entry points of msimg32.dll, looked up once on first use
// (the library is loaded then if no window host has loaded it yet). A missing "AlphaBlend" is
// replaced by the toolkit's software blend; a missing "GradientFill" stays null.
class CMsimgEntryPoints {
public:
    static AlphaBlendFn AlphaBlend();
    static GradientFillFn GradientFill();

    // Test seam: pretend msimg32 offers neither entry point, so the software blend and the
    // banded gradient run even where the system has both.
    static void ForceFallbacks(bool force);

private:
    static void Resolve();
};

} // namespace SkinUI
