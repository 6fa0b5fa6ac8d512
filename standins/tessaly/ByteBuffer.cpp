#include "standins/tessaly/ByteBuffer.h"

namespace tessaly {

ComPtr<ByteBuffer> ByteBuffer::Create(std::vector<uint8_t> bytes)
{
    ComPtr<ByteBuffer> b = ComPtr<ByteBuffer>::Adopt(new ByteBuffer);
    b->bytes = std::move(bytes);
    return b;
}

bool ByteBuffer::ReadAll(ISSOByteBuffer* buffer, std::vector<uint8_t>& out)
{
    if (!buffer)
        return false;
    const BYTE* data = nullptr;
    DWORD size = 0;
    if (FAILED(buffer->GetData(&data)) || FAILED(buffer->GetSize(&size)) || (size && !data))
        return false;
    out.assign(data, data + size);
    return true;
}

HRESULT STDMETHODCALLTYPE ByteBuffer::GetData(const BYTE** data)
{
    if (!data)
        return E_POINTER;
    *data = bytes.empty() ? nullptr : bytes.data();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ByteBuffer::GetSize(DWORD* size)
{
    if (!size)
        return E_POINTER;
    *size = static_cast<DWORD>(bytes.size());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ByteBuffer::SetData(const BYTE* data, DWORD length)
{
    if (!data && length)
        return E_POINTER;
    return Guarded([&] {
        bytes.assign(data, data + length);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE ByteBuffer::TakeMessageBytes(const BYTE* data, DWORD length, DWORD flags)
{
    if (flags != 0)
        return E_INVALIDARG;
    return SetData(data, length);
}

} // namespace tessaly
