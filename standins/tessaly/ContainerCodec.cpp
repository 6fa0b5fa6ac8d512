#include "standins/tessaly/ContainerCodec.h"

#include <cstring>

#include "standins/tessaly/FieldList.h"

namespace tessaly {

namespace {

constexpr uint8_t kMagic[4] = {'T', 'S', 'C', '1'};
constexpr size_t kHeaderBytes = 12;
constexpr uint8_t kItemText = 1;
constexpr uint8_t kItemContainer = 2;

uint32_t Fnv1a(const uint8_t* data, size_t size)
{
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size; ++i) {
        h ^= data[i];
        h *= 16777619u;
    }
    return h;
}

class Writer {
public:
    std::vector<uint8_t> out;

    void U8(uint8_t v) { out.push_back(v); }
    void U16(uint16_t v) { Raw(&v, 2); }
    void U32(uint32_t v) { Raw(&v, 4); }
    void Raw(const void* p, size_t n)
    {
        const auto* b = static_cast<const uint8_t*>(p);
        out.insert(out.end(), b, b + n);
    }
    void Text(const std::wstring& s)
    {
        U32(static_cast<uint32_t>(s.size()));
        Raw(s.data(), s.size() * 2);
    }

    void Body(const FieldContainer& c, int depth)
    {
        if (depth > kMaxNesting) {
            U32(0);
            return;
        }
        U32(static_cast<uint32_t>(c.All().size()));
        for (const auto& [name, v] : c.All()) {
            U8(static_cast<uint8_t>(v.type));
            U16(static_cast<uint16_t>(name.size()));
            Raw(name.data(), name.size() * 2);
            switch (v.type) {
            case FieldType::Bool:
            case FieldType::Byte: U8(static_cast<uint8_t>(v.number)); break;
            case FieldType::Word: U16(static_cast<uint16_t>(v.number)); break;
            case FieldType::DWord:
            case FieldType::Int: U32(v.number); break;
            case FieldType::Text: Text(v.text); break;
            case FieldType::Buffer:
                U32(static_cast<uint32_t>(v.bytes.size()));
                Raw(v.bytes.data(), v.bytes.size());
                break;
            case FieldType::Container:
                if (v.container)
                    Body(*v.container.Get(), depth + 1);
                else
                    U32(0);
                break;
            case FieldType::List:
                List(v.list.Get(), depth + 1);
                break;
            }
        }
    }

    void List(const FieldList* list, int depth)
    {
        if (!list) {
            U32(0);
            return;
        }
        U32(static_cast<uint32_t>(list->items.size()));
        for (const FieldList::Item& item : list->items) {
            if (item.isText) {
                U8(kItemText);
                Text(item.text);
            } else {
                U8(kItemContainer);
                if (item.container)
                    Body(*item.container.Get(), depth + 1);
                else
                    U32(0);
            }
        }
    }
};

// Every read checks the bytes left; a failed read poisons the reader.
class Reader {
public:
    Reader(const uint8_t* p, size_t n) : p_(p), left_(n) {}

    bool ok = true;
    size_t Left() const { return left_; }

    bool Raw(void* dst, size_t n)
    {
        if (!ok || n > left_)
            return ok = false;
        if (n)
            std::memcpy(dst, p_, n);
        p_ += n;
        left_ -= n;
        return true;
    }
    uint8_t U8() { uint8_t v = 0; Raw(&v, 1); return v; }
    uint16_t U16() { uint16_t v = 0; Raw(&v, 2); return v; }
    uint32_t U32() { uint32_t v = 0; Raw(&v, 4); return v; }
    bool Units(size_t count, std::wstring& s)
    {
        if (!ok || count > left_ / 2)
            return ok = false;
        s.resize(count);
        return Raw(s.data(), count * 2);
    }
    bool Text(std::wstring& s) { return Units(U32(), s); }

    bool Body(Fields& fields, int depth)
    {
        if (depth > kMaxNesting)
            return ok = false;
        const uint32_t count = U32();
        // A field needs at least 3 bytes: a count beyond that is a lie.
        if (!ok || count > left_ / 3)
            return ok = false;
        for (uint32_t i = 0; i < count && ok; ++i) {
            FieldValue v;
            const uint8_t type = U8();
            std::wstring name;
            if (!Units(U16(), name))
                return false;
            v.type = static_cast<FieldType>(type);
            switch (v.type) {
            case FieldType::Bool:
            case FieldType::Byte: v.number = U8(); break;
            case FieldType::Word: v.number = U16(); break;
            case FieldType::DWord:
            case FieldType::Int: v.number = U32(); break;
            case FieldType::Text: Text(v.text); break;
            case FieldType::Buffer: {
                const uint32_t n = U32();
                if (!ok || n > left_)
                    return ok = false;
                v.bytes.resize(n);
                Raw(v.bytes.data(), n);
                break;
            }
            case FieldType::Container: {
                Fields inner;
                if (!Body(inner, depth + 1))
                    return false;
                v.container = FieldContainer::Create();
                v.container->Replace(std::move(inner));
                break;
            }
            case FieldType::List:
                v.list = FieldList::Create();
                if (!List(*v.list.Get(), depth + 1))
                    return false;
                break;
            default:
                return ok = false;
            }
            if (!ok)
                return false;
            fields.emplace_back(std::move(name), std::move(v));
        }
        return ok;
    }

    bool List(FieldList& list, int depth)
    {
        if (depth > kMaxNesting)
            return ok = false;
        const uint32_t count = U32();
        if (!ok || count > left_ / 5)
            return ok = false;
        for (uint32_t i = 0; i < count && ok; ++i) {
            const uint8_t kind = U8();
            if (kind == kItemText) {
                std::wstring text;
                if (!Text(text))
                    return false;
                list.AddText(text);
            } else if (kind == kItemContainer) {
                Fields inner;
                if (!Body(inner, depth + 1))
                    return false;
                ComPtr<FieldContainer> c = FieldContainer::Create();
                c->Replace(std::move(inner));
                list.AddContainer(c);
            } else {
                return ok = false;
            }
        }
        return ok;
    }

private:
    const uint8_t* p_;
    size_t left_;
};

} // namespace

std::vector<uint8_t> EncodeContainer(const FieldContainer& container)
{
    Writer body;
    body.Body(container, 0);
    Writer all;
    all.Raw(kMagic, sizeof(kMagic));
    all.U32(static_cast<uint32_t>(body.out.size()));
    all.U32(Fnv1a(body.out.data(), body.out.size()));
    all.Raw(body.out.data(), body.out.size());
    return all.out;
}

bool DecodeContainer(const uint8_t* data, size_t size, Fields& out)
{
    if (!data || size < kHeaderBytes || std::memcmp(data, kMagic, sizeof(kMagic)) != 0)
        return false;
    uint32_t length = 0;
    uint32_t hash = 0;
    std::memcpy(&length, data + 4, 4);
    std::memcpy(&hash, data + 8, 4);
    if (length != size - kHeaderBytes || Fnv1a(data + kHeaderBytes, length) != hash)
        return false;
    Reader r(data + kHeaderBytes, length);
    Fields fields;
    if (!r.Body(fields, 0) || r.Left() != 0)
        return false;
    out = std::move(fields);
    return true;
}

} // namespace tessaly
