#pragma once
// The verify page's message, as the page's script hands it to window.external
// NotifyStartEditContent: a JSON object {"result": "0", "ticket": "...", "randstr": "..."};
// "result" "0" means the user passed the check. Other members are ignored.
//
// The text comes from a web page and is untrusted: it is parsed without recursion, and refused
// beyond kMaxTextChars, with a zero unit inside, or with a ticket or random string beyond
// kMaxFieldChars. A missing member, or one that is no string, reads as empty.
#include <cstddef>
#include <string>

struct VerifyPageResult {
    static constexpr size_t kMaxTextChars = 32 * 1024;  // 64 KB of UTF-16
    static constexpr size_t kMaxFieldChars = 4096;
    static constexpr size_t kParsePoolChunkBytes = 65536;

    std::wstring result;
    std::wstring ticket;
    std::wstring randstr;

    // False when the text is too long, no JSON object, or carries an oversized ticket or random
    // string; `out` is then left empty.
    static bool Parse(const std::wstring& text, VerifyPageResult& out);
    bool IsSuccess() const { return result == L"0"; }
};
