#pragma once

#include "login/ComPtr.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "login/SSOLibraryInterfaces.h"
#include "standins/tessaly/ComObject.h"
#include "standins/tessaly/ImplIds.h"

namespace tessaly {

class FieldContainer;
class FieldList;

enum class FieldType : uint8_t { Bool = 1, Byte, Word, DWord, Int, Text, Buffer, Container, List };

struct FieldValue {
    FieldType type = FieldType::DWord;
    uint32_t number = 0;               // Bool, Byte, Word, DWord, Int (as its bits)
    std::wstring text;                 // Text
    std::vector<uint8_t> bytes;        // Buffer
    ComPtr<FieldContainer> container;  // Container
    ComPtr<FieldList> list;            // List
};

using Fields = std::vector<std::pair<std::wstring, FieldValue>>;

// Named, typed fields in the order they were first set. A getter fails for an absent field or
// one of another type. Nested containers are stored as copies.
class FieldContainer : public ComObject<ISSOFieldContainer, &IID_ISSOFieldContainer, &IID_FieldContainerImpl> {
public:
    static ComPtr<FieldContainer> Create() { return ComPtr<FieldContainer>::Adopt(new FieldContainer); }
    static ComPtr<FieldContainer> From(ISSOFieldContainer* container) { return Own<FieldContainer>(container); }
    ComPtr<FieldContainer> Clone() const;

    const Fields& All() const { return fields_; }
    void Replace(Fields fields) { fields_ = std::move(fields); }
    const FieldValue* Find(const std::wstring& name) const;
    void Put(const std::wstring& name, FieldValue value);

    // Typed shortcuts for the library's own use.
    void PutBool(const std::wstring& name, bool v);
    void PutByte(const std::wstring& name, uint8_t v);
    void PutWord(const std::wstring& name, uint16_t v);
    void PutDWord(const std::wstring& name, uint32_t v);
    void PutInt(const std::wstring& name, int32_t v);
    void PutText(const std::wstring& name, const std::wstring& v);
    void PutBytes(const std::wstring& name, std::vector<uint8_t> v);
    void PutContainer(const std::wstring& name, const FieldContainer& v);
    void PutList(const std::wstring& name, ComPtr<FieldList> v);
    bool ReadDWord(const std::wstring& name, uint32_t& v) const;
    bool ReadBool(const std::wstring& name, bool& v) const;
    bool ReadText(const std::wstring& name, std::wstring& v) const;
    bool ReadBytes(const std::wstring& name, std::vector<uint8_t>& v) const;
    const FieldContainer* ReadContainer(const std::wstring& name) const;

    TESSALY_SLOT(3) TESSALY_SLOT(4) TESSALY_SLOT(5) TESSALY_SLOT(6)
    HRESULT STDMETHODCALLTYPE GetBool(BSTR name, BOOL* value) override;
    HRESULT STDMETHODCALLTYPE GetByte(BSTR name, BYTE* value) override;
    TESSALY_SLOT(9)
    HRESULT STDMETHODCALLTYPE GetWord(BSTR name, WORD* value) override;
    TESSALY_SLOT(11)
    HRESULT STDMETHODCALLTYPE GetDWord(BSTR name, DWORD* value) override;
    HRESULT STDMETHODCALLTYPE GetInt(BSTR name, LONG* value) override;
    HRESULT STDMETHODCALLTYPE GetString(BSTR name, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE GetBuffer(BSTR name, ISSOByteBuffer** value) override;
    TESSALY_SLOT(16) TESSALY_SLOT(17) TESSALY_SLOT(18) TESSALY_SLOT(19) TESSALY_SLOT(20) TESSALY_SLOT(21)
    TESSALY_SLOT(22) TESSALY_SLOT(23) TESSALY_SLOT(24) TESSALY_SLOT(25) TESSALY_SLOT(26) TESSALY_SLOT(27)
    TESSALY_SLOT(28)
    HRESULT STDMETHODCALLTYPE SetBool(BSTR name, BOOL value) override;
    HRESULT STDMETHODCALLTYPE SetByte(BSTR name, BYTE value) override;
    TESSALY_SLOT(31)
    HRESULT STDMETHODCALLTYPE SetWord(BSTR name, WORD value) override;
    TESSALY_SLOT(33)
    HRESULT STDMETHODCALLTYPE SetDWord(BSTR name, DWORD value) override;
    HRESULT STDMETHODCALLTYPE SetInt(BSTR name, LONG value) override;
    HRESULT STDMETHODCALLTYPE SetString(BSTR name, BSTR value) override;
    HRESULT STDMETHODCALLTYPE SetBuffer(BSTR name, ISSOByteBuffer* value) override;
    TESSALY_SLOT(38) TESSALY_SLOT(39)
    HRESULT STDMETHODCALLTYPE SetContainer(BSTR name, ISSOFieldContainer* value) override;
    TESSALY_SLOT(41) TESSALY_SLOT(42) TESSALY_SLOT(43) TESSALY_SLOT(44)
    HRESULT STDMETHODCALLTYPE LoadFromBuffer(ISSOByteBuffer* buffer) override;
    HRESULT STDMETHODCALLTYPE SaveToBuffer(ISSOByteBuffer* buffer) override;
    HRESULT STDMETHODCALLTYPE GetContainer(BSTR name, ISSOFieldContainer** value) override;
    HRESULT STDMETHODCALLTYPE GetList(BSTR name, ISSOList** value) override;

private:
    static FieldValue NumberValue(FieldType type, uint32_t number);
    const FieldValue* FindOfType(const std::wstring& name, FieldType type) const;
    const FieldValue* FindTyped(BSTR name, FieldType type) const;
    template <class T>
    HRESULT GetNumber(BSTR name, FieldType type, T* value) const;
    HRESULT SetNumber(BSTR name, FieldType type, uint32_t value);

    Fields fields_;
};

} // namespace tessaly
