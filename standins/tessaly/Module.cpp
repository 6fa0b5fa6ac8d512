// The stand-in library's entry points: DllGetClassObject serves the library's class.

#include <windows.h>
#include <objbase.h>

#include <string>

#include "foundation/Folders.h"
#include "login/SSOLibraryInterfaces.h"
#include "standins/tessaly/ComObject.h"
#include "standins/tessaly/Courier.h"
#include "standins/tessaly/MainObject.h"

namespace tessaly {

namespace {

HINSTANCE g_instance = nullptr;

class ClassFactory : public ComObject<IClassFactory, &IID_IClassFactory> {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return Guarded([&] {
            ComPtr<MainObject> main = MainObject::Create();
            return main->QueryInterface(riid, out);
        });
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

} // namespace

std::atomic<long>& LiveObjects()
{
    static std::atomic<long> count{0};
    return count;
}

HINSTANCE LibraryInstance()
{
    return g_instance;
}

const std::wstring& LibraryFolder()
{
    static const std::wstring folder = ModuleFolder(g_instance);
    return folder;
}

} // namespace tessaly

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        tessaly::g_instance = instance;
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        // The class names this copy's window procedure; another copy may register it anew.
        tessaly::Courier::UnregisterWindowClass();
    }
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_SSOLibrary))
        return CLASS_E_CLASSNOTAVAILABLE;
    return tessaly::Guarded([&] {
        ComPtr<tessaly::ClassFactory> factory;
        factory = ComPtr<tessaly::ClassFactory>::Adopt(new tessaly::ClassFactory);
        return factory->QueryInterface(riid, out);
    });
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return tessaly::LiveObjects().load() == 0 ? S_OK : S_FALSE;
}
