#include "standins/tessaly/Scenario.h"

#include <cwchar>

namespace tessaly {

namespace {

constexpr DWORD kValueChars = 4096;
constexpr DWORD kSectionNamesChars = 65536;

class IniReader {
public:
    explicit IniReader(const std::wstring& path) : path_(path) {}

    bool Has(const wchar_t* section, const wchar_t* key) const
    {
        wchar_t v[8] = {};
        ::GetPrivateProfileStringW(section, key, L"\x1", v, 8, path_.c_str());
        return !(v[0] == L'\x1' && v[1] == 0);
    }
    std::wstring Text(const wchar_t* section, const wchar_t* key, const wchar_t* fallback = L"") const
    {
        std::wstring v(kValueChars, L'\0');
        const DWORD n = ::GetPrivateProfileStringW(section, key, fallback, v.data(), kValueChars, path_.c_str());
        v.resize(n);
        return v;
    }
    // Numbers in decimal or 0x hexadecimal; text that is no number gives the fallback.
    uint32_t Number(const wchar_t* section, const wchar_t* key, uint32_t fallback) const
    {
        const std::wstring v = Text(section, key);
        if (v.empty())
            return fallback;
        wchar_t* end = nullptr;
        const unsigned long n = std::wcstoul(v.c_str(), &end, 0);
        return end == v.c_str() ? fallback : static_cast<uint32_t>(n);
    }
    std::vector<std::wstring> Sections() const
    {
        std::vector<wchar_t> names(kSectionNamesChars);
        const DWORD n = ::GetPrivateProfileSectionNamesW(names.data(), kSectionNamesChars, path_.c_str());
        std::vector<std::wstring> out;
        for (DWORD pos = 0; pos < n && names[pos];) {
            out.emplace_back(names.data() + pos);
            pos += static_cast<DWORD>(out.back().size()) + 1;
        }
        return out;
    }

private:
    std::wstring path_;
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
    const IniReader ini(path);
    Scenario s;
    const wchar_t* lib = L"library";
    s.startup = static_cast<HRESULT>(ini.Number(lib, L"Startup", 0));
    s.initialize = ini.Number(lib, L"Initialize", 1) != 0;
    s.loginObject = ini.Number(lib, L"LoginObject", 1) != 0;
    s.serviceObject = ini.Number(lib, L"ServiceObject", 1) != 0;
    s.hasTgtPriority = ini.Text(lib, L"TGTPriority") != L"none";
    s.tgtPriority = ini.Number(lib, L"TGTPriority", 1000);
    s.delayMs = ini.Number(lib, L"DelayMs", 0);
    s.notifyListChange = ini.Number(lib, L"NotifyListChange", 0) != 0;

    for (const std::wstring& section : ini.Sections()) {
        if (_wcsnicmp(section.c_str(), L"account", 7) != 0)
            continue;
        const wchar_t* sec = section.c_str();
        ScenarioAccount a;
        a.section = section;
        a.uin = ini.Number(sec, L"Uin", 0);
        a.aliases = SplitList(ini.Text(sec, L"Aliases"));
        a.digest = ParseDigest(ini.Text(sec, L"Digest"));
        a.nick = ini.Text(sec, L"Nick");
        a.age = static_cast<uint8_t>(ini.Number(sec, L"Age", 0));
        a.gender = static_cast<uint8_t>(ini.Number(sec, L"Gender", 0));
        a.face = static_cast<uint16_t>(ini.Number(sec, L"Face", 0));
        a.hasUinFlag = ini.Has(sec, L"UinFlag");
        a.uinFlag = ini.Number(sec, L"UinFlag", 0);
        a.listed = ini.Number(sec, L"Listed", 0) != 0;
        a.hasPriority = ini.Text(sec, L"Priority") != L"none";
        a.priority = ini.Number(sec, L"Priority", 100);
        a.result = ini.Text(sec, L"Result", L"success");
        a.errorType = static_cast<int32_t>(ini.Number(sec, L"ErrorType", 1));
        a.reason = ini.Text(sec, L"Reason");
        a.pageUrl = ini.Text(sec, L"PageUrl");
        a.afterVerify = ini.Text(sec, L"AfterVerify", L"success");
        a.ticketLength = ini.Number(sec, L"TicketLength", 64);
        a.webTicketLength = ini.Number(sec, L"WebTicketLength", 96);
        a.keyLength = ini.Number(sec, L"KeyLength", 16);
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
