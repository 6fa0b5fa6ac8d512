// The verify page's message as untrusted text: well-formed results, members of other types,
// broken and hostile texts (deep nesting, huge strings, zero units, lone surrogates), and
// randomly damaged messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "kit/Fuzz.h"
#include "login/windows/VerifyPageResult.h"

namespace {

const std::wstring kSample = L"{\"result\":\"0\",\"ticket\":\"T\",\"randstr\":\"R\"}";

std::wstring WithTicket(const std::wstring& ticket)
{
    return L"{\"result\":\"0\",\"ticket\":\"" + ticket + L"\",\"randstr\":\"R\"}";
}

} // namespace

TEST(VerifyPageResult, ReadsTheThreeMembers)
{
    const struct {
        std::wstring text;
        bool parsed;
        const wchar_t* result;
        const wchar_t* ticket;
        const wchar_t* randstr;
    } cases[] = {
        {kSample, true, L"0", L"T", L"R"},
        {L" { \"randstr\" : \"R2\", \"extra\": [1, {\"a\": null}], \"ticket\":\"T2\",\"result\":\"0\" } ", true, L"0",
         L"T2", L"R2"},
        {L"{\"result\":\"1\",\"ticket\":\"T\",\"randstr\":\"R\"}", true, L"1", L"T", L"R"},
        {L"{\"result\":0,\"ticket\":\"T\",\"randstr\":\"R\"}", true, L"", L"T", L"R"},  // a number
        {L"{\"result\":\"0\",\"ticket\":5,\"randstr\":null}", true, L"0", L"", L""},
        {L"{\"result\":\"0\"}", true, L"0", L"", L""},
        {L"{\"ticket\":\"\\u0054\\u00e9\",\"result\":\"0\",\"result\":\"1\"}", true, L"0", L"T\u00e9", L""},
        {L"{}", true, L"", L"", L""},
        {L"{", false, L"", L"", L""},
        {L"", false, L"", L"", L""},
        {L"[\"0\"]", false, L"", L"", L""},
        {L"\"0\"", false, L"", L"", L""},
        {L"{\"result\":\"0\"} {}", false, L"", L"", L""},
        {std::wstring(L"{\"result\":\"0\"}\0", 15) + L"xx", false, L"", L"", L""},
        {L"{\"result\":\"0\",\"ticket\":\"\xD800x\"}", false, L"", L"", L""},  // lone surrogate
        {WithTicket(std::wstring(VerifyPageResult::kMaxFieldChars, L't')), true, L"0", nullptr, L"R"},
        {WithTicket(std::wstring(VerifyPageResult::kMaxFieldChars + 1, L't')), false, L"", L"", L""},
        {L"{\"result\":\"0\",\"randstr\":\"" + std::wstring(20000, L'r') + L"\"}", false, L"", L"", L""},
        {std::wstring(100000, L'['), false, L"", L"", L""},                               // over the size cap
        {std::wstring(30000, L'['), false, L"", L"", L""},                                // deep, under the cap
        {L"{\"a\":" + std::wstring(30000, L'[') + L"}", false, L"", L"", L""},
        {std::wstring(VerifyPageResult::kMaxTextChars, L' ') + L"{}", false, L"", L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.text.size()) + " units: " +
                     std::string(c.text.begin(), c.text.begin() + std::min<size_t>(c.text.size(), 60)));
        VerifyPageResult out;
        out.ticket = L"stale";
        EXPECT_EQ(VerifyPageResult::Parse(c.text, out), c.parsed);
        EXPECT_EQ(out.result, c.result);
        if (c.ticket != nullptr) {
            EXPECT_EQ(out.ticket, c.ticket);
        }
        EXPECT_EQ(out.randstr, c.randstr);
        EXPECT_EQ(out.IsSuccess(), std::wstring(c.result) == L"0");
    }
}

TEST(VerifyPageResult, DamagedMessagesAreReadOrRefusedWhole)
{
    kit::FuzzRun fuzz;
    const std::wstring samples[] = {kSample, WithTicket(std::wstring(200, L'x')),
                                    L"{\"result\":\"0\",\"ticket\":\"T\",\"randstr\":\"R\",\"x\":[[{\"y\":[1,2.5e3]}]]}"};
    for (int i = 0; i < 3000; ++i) {
        const std::wstring text = fuzz.Mutate(samples[i % 3], 6);
        VerifyPageResult out;
        if (VerifyPageResult::Parse(text, out)) {
            EXPECT_LE(out.ticket.size(), VerifyPageResult::kMaxFieldChars);
            EXPECT_LE(out.randstr.size(), VerifyPageResult::kMaxFieldChars);
        } else {
            EXPECT_TRUE(out.result.empty() && out.ticket.empty() && out.randstr.empty());
        }
    }
}
