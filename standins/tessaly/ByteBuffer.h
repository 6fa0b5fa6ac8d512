#pragma once

#include "login/ComPtr.h"

#include <cstdint>
#include <vector>

#include "login/SSOLibraryInterfaces.h"
#include "standins/tessaly/ComObject.h"
#include "standins/tessaly/ImplIds.h"

namespace tessaly {

class ByteBuffer : public ComObject<ISSOByteBuffer, &IID_ISSOByteBuffer, &IID_ByteBufferImpl> {
public:
    static ComPtr<ByteBuffer> Create(std::vector<uint8_t> bytes = {});
    // The bytes of any byte buffer, read through its interface; false when unreadable.
    static bool ReadAll(ISSOByteBuffer* buffer, std::vector<uint8_t>& out);

    std::vector<uint8_t> bytes;

    TESSALY_SLOT(3) TESSALY_SLOT(4) TESSALY_SLOT(5) TESSALY_SLOT(6) TESSALY_SLOT(7) TESSALY_SLOT(8)
    TESSALY_SLOT(9) TESSALY_SLOT(10) TESSALY_SLOT(11)
    HRESULT STDMETHODCALLTYPE GetData(const BYTE** data) override;
    HRESULT STDMETHODCALLTYPE GetSize(DWORD* size) override;
    HRESULT STDMETHODCALLTYPE SetData(const BYTE* data, DWORD length) override;
    TESSALY_SLOT(15) TESSALY_SLOT(16) TESSALY_SLOT(17) TESSALY_SLOT(18) TESSALY_SLOT(19)
    HRESULT STDMETHODCALLTYPE TakeMessageBytes(const BYTE* data, DWORD length, DWORD flags) override;
};

} // namespace tessaly
