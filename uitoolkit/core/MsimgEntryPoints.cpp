#include "uitoolkit/core/MsimgEntryPoints.h"
#include "uitoolkit/core/RenderKit.h"

namespace SkinUI {

namespace {
bool g_resolved = false;
bool g_forced = false;
AlphaBlendFn g_alphaBlend = nullptr;
GradientFillFn g_gradientFill = nullptr;
} // namespace

void CMsimgEntryPoints::Resolve()
{
    if (g_resolved) return;
    g_resolved = true;
    HMODULE module = ::GetModuleHandleW(L"msimg32.dll");
    if (module == nullptr) {
        // Drawing may come before the first window host loads the library; the reference is
        // kept for the life of the process, as the host's own load is.
        module = ::LoadLibraryW(L"msimg32.dll");
    }
    if (module == nullptr) return;
    g_alphaBlend = reinterpret_cast<AlphaBlendFn>(
        reinterpret_cast<void*>(::GetProcAddress(module, "AlphaBlend")));
    g_gradientFill = reinterpret_cast<GradientFillFn>(
        reinterpret_cast<void*>(::GetProcAddress(module, "GradientFill")));
}

AlphaBlendFn CMsimgEntryPoints::AlphaBlend()
{
    Resolve();
    if (g_forced || g_alphaBlend == nullptr) return &CRenderKit::AlphaBlendFallback;
    return g_alphaBlend;
}

GradientFillFn CMsimgEntryPoints::GradientFill()
{
    Resolve();
    return g_forced ? nullptr : g_gradientFill;
}

void CMsimgEntryPoints::ForceFallbacks(bool force)
{
    g_forced = force;
}

} // namespace SkinUI
