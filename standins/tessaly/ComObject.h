#pragma once

// Reference counting for the stand-in library's objects, each of which serves one interface.

#include <windows.h>
#include <unknwn.h>

#include <atomic>
#include <new>
#include <string>

#include "login/ComPtr.h"

namespace tessaly {

// Live objects of this library; DllCanUnloadNow answers S_OK only at zero.
std::atomic<long>& LiveObjects();

// The folder of the library's file, ending in a backslash; scenario, log and state live there.
const std::wstring& LibraryFolder();
HINSTANCE LibraryInstance();

// Serves IUnknown and one interface I (identified by *Iid). Objects start with one reference,
// owned by whoever created them. With an own interface id (OwnIid) the library recognises its
// own objects when they are handed back through I (see Own).
template <class I, const IID* Iid, const IID* OwnIid = nullptr>
class ComObject : public I {
public:
    ComObject() { ++LiveObjects(); }
    virtual ~ComObject() { --LiveObjects(); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, *Iid) || IsOwnIid(riid)) {
            *out = static_cast<I*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const long left = --refs_;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // The library's own object of class T behind an interface pointer; null for anything else.
    template <class T>
    static ComPtr<T> Own(I* object)
    {
        void* raw = nullptr;
        if constexpr (OwnIid != nullptr) {
            if (object && SUCCEEDED(object->QueryInterface(*OwnIid, &raw)))
                return ComPtr<T>::Adopt(static_cast<T*>(static_cast<I*>(raw)));
        }
        return nullptr;
    }

private:
    static bool IsOwnIid(REFIID riid)
    {
        if constexpr (OwnIid == nullptr)
            return false;
        else
            return IsEqualIID(riid, *OwnIid);
    }

    std::atomic<long> refs_{1};
};

// Runs the body of a COM method: no exception crosses the interface (allocation failure
// becomes E_OUTOFMEMORY, anything else E_FAIL).
template <class F>
HRESULT Guarded(F&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

} // namespace tessaly

// A placeholder slot of an interface.
#define TESSALY_SLOT(n) HRESULT STDMETHODCALLTYPE Slot##n() override { return E_NOTIMPL; }
