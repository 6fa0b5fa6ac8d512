#include "standins/tessaly/Scenario.h"

#include <cwchar>

#include "standins/tessaly/ScenarioFile.h"

namespace tessaly {

namespace {

// One section's keys (compared without case); an absent section has none.
class Section {
public:
    explicit Section(const ScenarioFile::Section* section)
    {
        if (section == nullptr)
            return;
        for (const std::wstring& line : section->lines) {
            const size_t eq = line.find(L'=');
            if (eq == std::wstring::npos)
                continue;
            std::wstring key = line.substr(0, eq);
            while (!key.empty() && key.back() == L' ')
                key.pop_back();
            std::wstring value = line.substr(eq + 1);
            while (!value.empty() && value.front() == L' ')
                value.erase(value.begin());
            values_.emplace_back(std::move(key), std::move(value));
        }
    }

    bool Has(const wchar_t* key) const { return Find(key) != nullptr; }
    std::wstring Text(const wchar_t* key, const wchar_t* fallback = L"") const
    {
        const std::wstring* v = Find(key);
        return v ? *v : fallback;
    }
    // Numbers in decimal or 0x hexadecimal; text that is no number gives the fallback.
    uint32_t Number(const wchar_t* key, uint32_t fallback) const
    {
        const std::wstring v = Text(key);
        if (v.empty())
            return fallback;
        wchar_t* end = nullptr;
        const unsigned long n = std::wcstoul(v.c_str(), &end, 0);
        return end == v.c_str() ? fallback : static_cast<uint32_t>(n);
    }

private:
    const std::wstring* Find(const wchar_t* key) const
    {
        for (const auto& [k, v] : values_) {
            if (_wcsicmp(k.c_str(), key) == 0)
                return &v;
        }
        return nullptr;
    }

    std::vector<std::pair<std::wstring, std::wstring>> values_;
};

std::vector<std::wstring> SplitList(const std::wstring& text)
{
    std::vector<std::wstring> out;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(L',', start);
        std::wstring piece = text.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start);
        while (!piece.empty() && piece.front() == L' ')
            piece.erase(piece.begin());
        while (!piece.empty() && piece.back() == L' ')
            piece.pop_back();
        if (!piece.empty())
            out.push_back(piece);
        if (comma == std::wstring::npos)
            break;
        start = comma + 1;
    }
    return out;
}

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// 32 hex digits, else nothing.
std::vector<uint8_t> ParseDigest(const std::wstring& hex)
{
    std::vector<uint8_t> out;
    if (hex.size() != 32)
        return out;
    for (size_t i = 0; i < 32; i += 2) {
        const int hi = HexDigit(hex[i]);
        const int lo = HexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return {};
        out.push_back(static_cast<uint8_t>(hi * 16 + lo));
    }
    return out;
}

} // namespace

Scenario Scenario::Load(const std::wstring& path)
{
    Scenario s;
    const ScenarioFile file(path);
    const Section lib(file.Find(L"library"));
    s.startup = static_cast<HRESULT>(lib.Number(L"Startup", 0));
    s.initialize = lib.Number(L"Initialize", 1) != 0;
    s.loginObject = lib.Number(L"LoginObject", 1) != 0;
    s.serviceObject = lib.Number(L"ServiceObject", 1) != 0;
    s.hasTgtPriority = lib.Text(L"TGTPriority") != L"none";
    s.tgtPriority = lib.Number(L"TGTPriority", 1000);
    s.delayMs = lib.Number(L"DelayMs", 0);
    s.notifyListChange = lib.Number(L"NotifyListChange", 0) != 0;

    for (const ScenarioFile::Section& section : file.Sections()) {
        if (_wcsnicmp(section.name.c_str(), L"account", 7) != 0)
            continue;
        const Section sec(&section);
        ScenarioAccount a;
        a.section = section.name;
        a.uin = sec.Number(L"Uin", 0);
        a.aliases = SplitList(sec.Text(L"Aliases"));
        a.digest = ParseDigest(sec.Text(L"Digest"));
        a.nick = sec.Text(L"Nick");
        a.age = static_cast<uint8_t>(sec.Number(L"Age", 0));
        a.gender = static_cast<uint8_t>(sec.Number(L"Gender", 0));
        a.face = static_cast<uint16_t>(sec.Number(L"Face", 0));
        a.hasUinFlag = sec.Has(L"UinFlag");
        a.uinFlag = sec.Number(L"UinFlag", 0);
        a.listed = sec.Number(L"Listed", 0) != 0;
        a.hasPriority = sec.Text(L"Priority") != L"none";
        a.priority = sec.Number(L"Priority", 100);
        a.result = sec.Text(L"Result", L"success");
        a.errorType = static_cast<int32_t>(sec.Number(L"ErrorType", 1));
        a.reason = sec.Text(L"Reason");
        a.pageUrl = sec.Text(L"PageUrl");
        a.afterVerify = sec.Text(L"AfterVerify", L"success");
        a.verifyRequests = sec.Number(L"VerifyRequests", 1);
        a.ticketLength = sec.Number(L"TicketLength", 64);
        a.webTicketLength = sec.Number(L"WebTicketLength", 96);
        a.keyLength = sec.Number(L"KeyLength", 16);
        s.accounts.push_back(std::move(a));
    }
    return s;
}

const ScenarioAccount* Scenario::Find(const std::wstring& text) const
{
    for (const ScenarioAccount& a : accounts) {
        if (text == std::to_wstring(a.uin))
            return &a;
        for (const std::wstring& alias : a.aliases) {
            if (_wcsicmp(alias.c_str(), text.c_str()) == 0)
                return &a;
        }
    }
    return nullptr;
}

const ScenarioAccount* Scenario::FindByUin(uint32_t uin) const
{
    for (const ScenarioAccount& a : accounts) {
        if (a.uin == uin)
            return &a;
    }
    return nullptr;
}

} // namespace tessaly
