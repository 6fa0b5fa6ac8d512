// The stand-in single-sign-on library itself: its slots, its wire form with its damage, and its
// access check. Its answers (asynchronous, never inside the call) and what it keeps between runs
// are checked through the provider, whose tests depend on them.
#include "tests/login/SSOTestBed.h"

#include "foundation/StringUtil.h"
#include "kit/Fuzz.h"

namespace {

using Library = LibraryObjects;

// Calls slot `index` of an object's function table, as a caller that knows only the slot does.
template <class... A>
HRESULT CallSlot(void* object, int index, A... args)
{
    using Fn = HRESULT(STDMETHODCALLTYPE*)(void*, A...);
    return reinterpret_cast<Fn>((*static_cast<void***>(object))[index])(object, args...);
}

} // namespace

TEST(TessalyLibrary, MethodsSitAtTheirSlots)
{
    SSOTestBed bed("");
    Library lib(bed);
    ASSERT_TRUE(lib.main);
    ComPtr<ISSOFieldContainer> c;
    ComPtr<ISSOByteBuffer> b;
    ComPtr<ISSOList> l;
    ASSERT_EQ(CallSlot(lib.main.Get(), 18, c.GetAddressOf()), S_OK);
    ASSERT_EQ(CallSlot(lib.main.Get(), 19, b.GetAddressOf()), S_OK);
    ASSERT_EQ(CallSlot(lib.main.Get(), 20, l.GetAddressOf()), S_OK);

    const BStr name(L"dwValue");
    EXPECT_EQ(CallSlot(c.Get(), 34, name.Get(), DWORD(77)), S_OK);
    DWORD value = 0;
    EXPECT_EQ(CallSlot(c.Get(), 12, name.Get(), &value), S_OK);
    EXPECT_EQ(value, 77u);
    EXPECT_EQ(CallSlot(c.Get(), 30, name.Get(), BYTE(5)), S_OK);
    BYTE small = 0;
    EXPECT_EQ(CallSlot(c.Get(), 8, name.Get(), &small), S_OK);
    EXPECT_EQ(small, 5);
    EXPECT_NE(CallSlot(c.Get(), 12, name.Get(), &value), S_OK) << "a field has one type";

    const BYTE bytes[3] = {9, 8, 7};
    EXPECT_EQ(CallSlot(b.Get(), 14, &bytes[0], DWORD(3)), S_OK);
    DWORD size = 0;
    EXPECT_EQ(CallSlot(b.Get(), 13, &size), S_OK);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(CallSlot(b.Get(), 20, &bytes[0], DWORD(2), DWORD(0)), S_OK);
    const BYTE* data = nullptr;
    EXPECT_EQ(CallSlot(b.Get(), 12, &data), S_OK);
    EXPECT_EQ(b->GetSize(&size), S_OK);
    ASSERT_EQ(size, 2u);
    EXPECT_EQ(data[1], 8);

    EXPECT_EQ(CallSlot(l.Get(), 53, DWORD(0), c.Get()), S_OK);
    EXPECT_EQ(CallSlot(l.Get(), 53, DWORD(5), c.Get()), E_INVALIDARG);
    DWORD count = 0;
    EXPECT_EQ(CallSlot(l.Get(), 22, &count), S_OK);
    EXPECT_EQ(count, 1u);
    ComPtr<ISSOFieldContainer> item;
    EXPECT_EQ(CallSlot(l.Get(), 62, DWORD(0), item.GetAddressOf()), S_OK);
    EXPECT_EQ(item.Get(), c.Get()) << "the list keeps the container itself";
    EXPECT_EQ(CallSlot(l.Get(), 60, DWORD(0)), S_OK);
    EXPECT_EQ(l->GetCount(&count), S_OK);
    EXPECT_EQ(count, 0u);

    // Placeholders answer without doing anything.
    EXPECT_EQ(CallSlot(c.Get(), 9), E_NOTIMPL);
    EXPECT_EQ(CallSlot(lib.main.Get(), 11), E_NOTIMPL);
}

TEST(TessalyLibrary, WireFormRoundTripsEveryFieldType)
{
    SSOTestBed bed("");
    Library lib(bed);
    ComPtr<ISSOFieldContainer> c = lib.Container();
    SSOFields f(c.Get());
    f.SetBool(L"bFlag", true);
    f.SetByte(L"cByte", 200);
    f.SetWord(L"wWord", 65000);
    f.SetDWord(L"dwDWord", 0xDEADBEEF);
    c->SetInt(BStr(L"nInt").Get(), -42);
    f.SetString(L"strText", L"h\u00e9llo \u4e16\u754c");
    f.SetBuffer(L"bufBytes", lib.Buffer(std::string("\0\1\2\xff", 4)).Get());
    ComPtr<ISSOFieldContainer> inner = lib.Container();
    SSOFields(inner.Get()).SetString(L"strInner", L"deep");
    f.SetContainer(L"dataInner", inner.Get());

    // Whatever is read back encodes to the same bytes; the fields the provider never reads from
    // an answer are checked by value.
    const std::string wire = lib.Encode(c.Get());
    ComPtr<ISSOFieldContainer> copy;
    ASSERT_EQ(lib.Decode(wire, copy), S_OK);
    EXPECT_EQ(lib.Encode(copy.Get()), wire);
    SSOFields g(copy.Get());
    DWORD dword = 0;
    LONG number = 0;
    std::wstring text;
    EXPECT_TRUE(g.GetInt(L"nInt", number) && number == -42);
    EXPECT_TRUE(g.GetString(L"strText", text) && text == L"h\u00e9llo \u4e16\u754c");
    ComPtr<ISSOByteBuffer> buffer;
    const BYTE* data = nullptr;
    DWORD size = 0;
    ASSERT_TRUE(g.GetBuffer(L"bufBytes", buffer) && ReadBufferBytes(buffer.Get(), data, size));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), size), std::string("\0\1\2\xff", 4));
    ComPtr<ISSOFieldContainer> nested;
    ASSERT_TRUE(g.GetContainer(L"dataInner", nested));
    EXPECT_TRUE(SSOFields(nested.Get()).GetString(L"strInner", text) && text == L"deep");
    EXPECT_FALSE(g.GetString(L"strMissing", text));

    // A container that fails to load keeps what it had.
    EXPECT_NE(copy->LoadFromBuffer(lib.Buffer("TSC1").Get()), S_OK);
    EXPECT_TRUE(g.GetDWord(L"dwDWord", dword));
}

TEST(TessalyLibrary, DecoderSurvivesDamagedBodiesWithValidHeaders)
{
    const uint32_t seed = kit::FuzzSeed();
    SCOPED_TRACE(kit::SeedNote(seed));
    SSOTestBed bed("");
    Library lib(bed);
    ComPtr<ISSOFieldContainer> c = lib.Container();
    SSOFields f(c.Get());
    f.SetString(L"strSSO_In_Params_strInAccountValue", L"alice@example.org");
    f.SetDWord(L"dwSSO_Account_dwAccountUin", 10001);
    f.SetBool(L"bSSO_Result_bSucceed", true);
    f.SetBuffer(L"bufSSO_Account_S2SC", lib.Buffer("s2sc:10001").Get());
    ComPtr<ISSOFieldContainer> inner = lib.Container();
    SSOFields(inner.Get()).SetBuffer(L"bufServiceTicket", lib.Buffer(std::string(40, 'x')).Get());
    SSOFields(inner.Get()).SetDWord(L"dwServiceTGTPriority", 1000);
    f.SetContainer(L"SSO_Account_ServiceInfo", inner.Get());
    const std::string body = lib.Encode(c.Get()).substr(12);

    kit::Fuzz fuzz(seed);
    int accepted = 0;
    for (int i = 0; i < 3000; ++i) {
        const std::string sealed = Library::Seal(fuzz.Mutate(body, 5));
        ComPtr<ISSOFieldContainer> out;
        if (lib.Decode(sealed, out) == S_OK) {
            ++accepted;
            // Whatever was accepted encodes again into something that loads again.
            ComPtr<ISSOFieldContainer> again;
            ASSERT_EQ(lib.Decode(lib.Encode(out.Get()), again), S_OK) << "case " << i;
        }
    }
    // Deep nesting is refused rather than followed.
    std::string deep;
    for (int i = 0; i < 64; ++i)
        deep += std::string("\1\0\0\0\x08\1\0d\0", 9);
    deep += std::string("\0\0\0\0", 4);
    ComPtr<ISSOFieldContainer> out;
    EXPECT_NE(lib.Decode(Library::Seal(deep), out), S_OK);
    std::cout << accepted << " of 3000 damaged bodies still formed a container\n";
}

// Only the registered program, by its handle and its key, gets a login object: a provider that
// passed either wrongly would fail every login test.
TEST(TessalyLibrary, LoginObjectOnlyForTheRegistration)
{
    SSOTestBed bed("");
    Library lib(bed);
    const HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_EQ(lib.main->Startup(0, 0), S_OK);
    ComPtr<ISSOFieldContainer> versions = lib.Container();
    for (const wchar_t* name : {L"cAppIMHeaderMainVer", L"cAppIMHeaderSubVer", L"cAppNonIMHeaderMainVer",
                                L"cAppNonIMHeaderSubVer"})
        SSOFields(versions.Get()).SetByte(name, 1);
    ComPtr<ISSOFieldContainer> result;
    ASSERT_EQ(lib.main->Initialize(::GetCurrentProcessId(), BStr(L"Test").Get(), window, 256, versions.Get(),
                                   result.GetAddressOf()),
              S_OK);
    DWORD handle = 0;
    std::wstring key;
    ASSERT_TRUE(SSOFields(result.Get()).GetDWord(L"dwSSO_Init_hAppHandle", handle));
    ASSERT_TRUE(SSOFields(result.Get()).GetString(L"strSSO_Init_strAccessKey", key));
    ComPtr<ISSOLogin> login;
    EXPECT_EQ(lib.main->GetLogin(handle + 1, BStr(key).Get(), login.GetAddressOf()), E_ACCESSDENIED);
    EXPECT_EQ(lib.main->GetLogin(handle, BStr(key + L"x").Get(), login.GetAddressOf()), E_ACCESSDENIED);
    EXPECT_EQ(lib.main->GetLogin(handle, BStr(key).Get(), login.GetAddressOf()), S_OK);
    login.Reset();
    EXPECT_EQ(lib.main->Shutdown(), S_OK);
    ::DestroyWindow(window);
}

// "scenario.ini" as editors save it: UTF-8 with or without its mark, UTF-16 with its mark, and
// bytes that are no UTF-8 in the ANSI code page. A Chinese reason reaches the provider as written.
TEST(TessalyLibrary, ScenarioIsReadInTheEncodingsEditorsWrite)
{
    const std::string reason = "\xE5\xB8\x90\xE5\x8F\xB7\xE5\xB7\xB2\xE5\x86\xBB\xE7\xBB\x93\xEF\xBC\x8C"
                               "\xE8\xAF\xB7\xE5\x89\x8D\xE5\xBE\x80 https://ombrel.example/appeal";  // 帐号已冻结，请前往 ...
    const auto scenario = [](const std::string& text) {
        return "[account.alice]\r\nUin=10001\r\nAliases=alice\r\nResult=fail\r\nErrorType=3\r\nReason=" + text + "\r\n";
    };
    const auto utf16 = [](const std::wstring& text, bool bigEndian) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (wchar_t ch : text) {
            const char high = static_cast<char>(ch >> 8), low = static_cast<char>(ch & 0xFF);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        return bytes;
    };
    // A byte that starts no UTF-8 sequence: the system's ANSI code page decides what it is.
    const std::string ansi = "Caf\xE9 ferm\xE9";
    wchar_t ansiWide[32] = {};
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), ansiWide, 32);
    const struct {
        const char* what;
        std::string bytes;
        std::wstring reason;
    } cases[] = {
        {"UTF-8 without a mark", scenario(reason), Utf8ToWide(reason)},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + scenario(reason), Utf8ToWide(reason)},
        {"UTF-16 little endian", utf16(Utf8ToWide(scenario(reason)), false), Utf8ToWide(reason)},
        {"UTF-16 big endian", utf16(Utf8ToWide(scenario(reason)), true), Utf8ToWide(reason)},
        {"ANSI", scenario(ansi), ansiWide},
        {"UTF-8 without a mark, LF lines", "[account.alice]\nUin=10001\nAliases=alice\nResult=fail\nReason=" + reason + "\n",
         Utf8ToWide(reason)},
    };
    StartedProvider s("");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        s.bed.WriteScenario(c.bytes);
        const std::vector<uint8_t> digest = SSOTestBed::Digest("any");
        const size_t heard = s.events.Outcomes().size();
        ASSERT_TRUE(s.provider.LoginByHashedPassword(L"alice", digest.data(), 16, 0, nullptr));
        ASSERT_TRUE(s.WaitFor(heard + 1));
        EXPECT_EQ(s.events.Outcomes().back().rfind("failed alice", 0), 0u) << s.events.Outcomes().back();
        EXPECT_TRUE(s.events.lastReason == c.reason) << WideToUtf8(s.events.lastReason);
    }
}
