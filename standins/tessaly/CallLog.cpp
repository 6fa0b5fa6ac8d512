#include "standins/tessaly/CallLog.h"

#include "foundation/UniqueHandle.h"
#include "standins/tessaly/ByteBuffer.h"
#include "standins/tessaly/ComObject.h"
#include "standins/tessaly/FieldContainer.h"
#include "standins/tessaly/FieldList.h"

namespace tessaly {

namespace {

using JsonWriter = rapidjson::Writer<rapidjson::StringBuffer>;

std::string Utf8(const wchar_t* text, size_t units)
{
    if (units == 0)
        return std::string();
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(units), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(units), out.data(), n, nullptr, nullptr);
    return out;
}

void WriteText(JsonWriter& w, const std::wstring& text)
{
    const std::string s = Utf8(text.data(), text.size());
    w.String(s.data(), static_cast<rapidjson::SizeType>(s.size()));
}

void WriteHex(JsonWriter& w, const std::vector<uint8_t>& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (uint8_t b : bytes) {
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    w.StartObject();
    w.Key("hex");
    w.String(hex.data(), static_cast<rapidjson::SizeType>(hex.size()));
    w.EndObject();
}

void WriteContainer(JsonWriter& w, const FieldContainer& c);

void WriteList(JsonWriter& w, const FieldList* list)
{
    w.StartArray();
    if (list) {
        for (const FieldList::Item& item : list->items) {
            if (item.isText)
                WriteText(w, item.text);
            else if (item.container)
                WriteContainer(w, *item.container.Get());
            else
                w.Null();
        }
    }
    w.EndArray();
}

void WriteContainer(JsonWriter& w, const FieldContainer& c)
{
    w.StartObject();
    for (const auto& [name, v] : c.All()) {
        const std::string key = Utf8(name.data(), name.size());
        w.Key(key.data(), static_cast<rapidjson::SizeType>(key.size()));
        switch (v.type) {
        case FieldType::Bool: w.Bool(v.number != 0); break;
        case FieldType::Byte:
        case FieldType::Word:
        case FieldType::DWord: w.Uint(v.number); break;
        case FieldType::Int: w.Int(static_cast<int32_t>(v.number)); break;
        case FieldType::Text: WriteText(w, v.text); break;
        case FieldType::Buffer: WriteHex(w, v.bytes); break;
        case FieldType::Container:
            if (v.container)
                WriteContainer(w, *v.container.Get());
            else
                w.Null();
            break;
        case FieldType::List: WriteList(w, v.list.Get()); break;
        }
    }
    w.EndObject();
}

} // namespace

std::wstring CallLog::Path()
{
    return LibraryFolder() + L"calls.log";
}

CallLog::CallLog(const char* object, int slot, const char* call) : w_(out_)
{
    w_.StartObject();
    w_.Key("obj");
    w_.String(object);
    if (slot >= 0) {
        w_.Key("slot");
        w_.Int(slot);
    }
    if (call) {
        w_.Key("call");
        w_.String(call);
    }
}

CallLog::~CallLog()
{
    try {
        w_.EndObject();
        std::string line(out_.GetString(), out_.GetSize());
        line += "\n";
        mjz::UniqueHandle file(::CreateFileW(Path().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (file)
            ::WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    } catch (...) {
        // A line that cannot be built is left out of the log.
    }
}

void CallLog::Number(const char* name, uint32_t value)
{
    Key(name);
    w_.Uint(value);
}

void CallLog::Signed(const char* name, int32_t value)
{
    Key(name);
    w_.Int(value);
}

void CallLog::Text(const char* name, BSTR value)
{
    Key(name);
    if (!value)
        w_.Null();
    else
        WriteText(w_, std::wstring(value, ::SysStringLen(value)));
}

void CallLog::Text(const char* name, const std::wstring& value)
{
    Key(name);
    WriteText(w_, value);
}

void CallLog::Bytes(const char* name, const std::vector<uint8_t>& value)
{
    Key(name);
    WriteHex(w_, value);
}

void CallLog::Buffer(const char* name, ISSOByteBuffer* value)
{
    Key(name);
    std::vector<uint8_t> bytes;
    if (!value || !ByteBuffer::ReadAll(value, bytes))
        w_.Null();
    else
        WriteHex(w_, bytes);
}

void CallLog::Container(const char* name, ISSOFieldContainer* value)
{
    Key(name);
    if (ComPtr<FieldContainer> own = FieldContainer::From(value))
        WriteContainer(w_, *own.Get());
    else
        w_.Null();
}

void CallLog::Container(const char* name, const FieldContainer& value)
{
    Key(name);
    WriteContainer(w_, value);
}

void CallLog::List(const char* name, ISSOList* value)
{
    Key(name);
    if (ComPtr<FieldList> own = FieldList::From(value))
        WriteList(w_, own.Get());
    else
        w_.Null();
}

} // namespace tessaly
