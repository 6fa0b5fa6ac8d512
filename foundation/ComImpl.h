#pragma once
// The reference count and interface table of a heap COM object that serves the interfaces I...
// A single AddRef / Release here implements those of every base interface. The object starts with
// one reference, owned by whoever made it (take it with ComPtr<T>::Adopt), and deletes itself
// when the last reference goes.
//
//   class CSite : public ComImpl<IOleClientSite, IOleWindow> {
//       HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
//       {
//           return Answer(riid, out, {{&IID_IUnknown, static_cast<IOleClientSite*>(this)},
//                                     {&IID_IOleClientSite, static_cast<IOleClientSite*>(this)},
//                                     {&IID_IOleWindow, static_cast<IOleWindow*>(this)}});
//       }
//   };
#include <windows.h>
#include <unknwn.h>

#include <initializer_list>

struct InterfaceEntry {
    const IID* iid;
    void* object;  // the sub-object for that interface
};

template <class... I>
class ComImpl : public I... {
public:
    ComImpl() = default;
    virtual ~ComImpl() = default;
    ComImpl(const ComImpl&) = delete;
    ComImpl& operator=(const ComImpl&) = delete;

    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = ::InterlockedDecrement(&m_refs);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

protected:
    LONG RefCount() const { return m_refs; }

    // The entry for riid with one reference added; E_POINTER for a null out pointer.
    HRESULT Answer(REFIID riid, void** out, std::initializer_list<InterfaceEntry> table)
    {
        if (out == nullptr)
            return E_POINTER;
        for (const InterfaceEntry& entry : table) {
            if (::IsEqualIID(riid, *entry.iid)) {
                *out = entry.object;
                AddRef();
                return S_OK;
            }
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }

private:
    LONG m_refs = 1;
};
