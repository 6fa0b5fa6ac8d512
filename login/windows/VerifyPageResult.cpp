#include "login/windows/VerifyPageResult.h"

#include <rapidjson/document.h>
#include <rapidjson/encodings.h>

namespace {

using Utf16 = rapidjson::UTF16<wchar_t>;
using Pool = rapidjson::MemoryPoolAllocator<>;
using Document = rapidjson::GenericDocument<Utf16, Pool>;
using Value = rapidjson::GenericValue<Utf16, Pool>;

// Iterative: nesting depth costs heap, never stack. Encoding checked: a lone surrogate is an error.
constexpr unsigned kParseFlags = rapidjson::kParseIterativeFlag | rapidjson::kParseValidateEncodingFlag;

// The member's text; empty when it is missing or no string.
std::wstring StringMember(const Value& object, const wchar_t* name)
{
    const auto member = object.FindMember(name);
    if (member == object.MemberEnd() || !member->value.IsString())
        return std::wstring();
    return std::wstring(member->value.GetString(), member->value.GetStringLength());
}

} // namespace

bool VerifyPageResult::Parse(const std::wstring& text, VerifyPageResult& out)
{
    out = VerifyPageResult();
    // The parser reads up to the terminating zero: a text with one inside is refused whole.
    if (text.size() > kMaxTextChars || text.find(L'\0') != std::wstring::npos)
        return false;

    Pool pool(kParsePoolChunkBytes);
    Document document(&pool);
    document.Parse<kParseFlags>(text.c_str());
    if (document.HasParseError() || !document.IsObject())
        return false;

    VerifyPageResult read;
    read.result = StringMember(document, L"result");
    read.ticket = StringMember(document, L"ticket");
    read.randstr = StringMember(document, L"randstr");
    if (read.ticket.size() > kMaxFieldChars || read.randstr.size() > kMaxFieldChars)
        return false;
    out = std::move(read);
    return true;
}
