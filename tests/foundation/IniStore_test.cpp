#include "foundation/ConfigFileAdapter.h"
#include "foundation/IniStore.h"
#include "foundation/StringUtil.h"
#include "foundation/UniqueHandle.h"

#include "kit/Fuzz.h"
#include "kit/TempDir.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

// Chinese nick names and a section name as the account files hold them.
const std::wstring kNick = L"\x5F20\x4E09\x7684\x6635\x79F0";   // five CJK characters
const std::wstring kSection = L"\x8D26\x53F7";                  // two CJK characters

std::string ReadBytes(const std::wstring& path)
{
    std::string bytes;
    mjz::UniqueHandle h(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    char buf[4096];
    DWORD got = 0;
    while (h && ::ReadFile(h.Get(), buf, sizeof buf, &got, nullptr) && got > 0)
        bytes.append(buf, got);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    mjz::UniqueHandle h(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(h);
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(h.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Utf16LeWithBom(const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

std::string CodePage936(const std::wstring& text)
{
    const int n = ::WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
    return bytes;
}

std::wstring Get(const IniStore& store, const wchar_t* section, const wchar_t* key)
{
    wchar_t buf[512];
    const int n = store.GetString(section, key, buf, 512);
    EXPECT_EQ(n, static_cast<int>(wcslen(buf)));
    return std::wstring(buf, static_cast<size_t>(n));
}

std::wstring SampleText()
{
    return L"; remembered accounts\r\n[" + kSection + L"]\r\nNickName = " + kNick +
           L"\r\nItemUin1=10001\r\n\r\n[Other]\nKey=Value\n";
}

struct Encoding {
    const char* name;
    std::string (*encode)(const std::wstring&);
};

class IniStoreEncodings : public testing::TestWithParam<Encoding> {};

// Each input encoding reads back the same text; a change is written so that
// every character survives, whatever the input was.
TEST_P(IniStoreEncodings, RoundTripWithChineseText)
{
    kit::TempDir dir;
    const std::wstring path = dir.File(L"Account.cfg");
    WriteBytes(path, GetParam().encode(SampleText()));

    IniStore store;
    ASSERT_TRUE(store.Load(path));
    EXPECT_EQ(Get(store, kSection.c_str(), L"NickName"), kNick);
    EXPECT_EQ(Get(store, kSection.c_str(), L"nickname"), kNick);  // keys ignore case
    EXPECT_EQ(Get(store, L"OTHER", L"KEY"), L"Value");
    int uin = 0;
    ASSERT_TRUE(store.GetInt(kSection.c_str(), L"ItemUin1", uin));
    EXPECT_EQ(uin, 10001);

    const std::wstring newNick = L"\x674E\x56DB\xD83D\xDE00";  // with a character outside the BMP
    ASSERT_TRUE(store.SetString(kSection.c_str(), L"ItemNickName2", newNick.c_str()));
    EXPECT_EQ(ReadBytes(path).substr(0, 2), "\xFF\xFE");
    EXPECT_FALSE(Exists(path + L".tmp"));

    IniStore again;
    ASSERT_TRUE(again.Load(path));
    EXPECT_EQ(Get(again, kSection.c_str(), L"ItemNickName2"), newNick);
    EXPECT_EQ(Get(again, kSection.c_str(), L"NickName"), kNick);
    EXPECT_EQ(Get(again, L"other", L"key"), L"Value");
}

INSTANTIATE_TEST_SUITE_P(AllInputs, IniStoreEncodings,
                         testing::Values(Encoding{"Utf8Bom", [](const std::wstring& t) { return "\xEF\xBB\xBF" + WideToUtf8(t); }},
                                         Encoding{"Utf16LeBom", Utf16LeWithBom},
                                         Encoding{"CodePage936", CodePage936}),
                         [](const testing::TestParamInfo<Encoding>& info) { return std::string(info.param.name); });

TEST(IniStore, MissingFileIsAnEmptyStoreAndCreatedOnFirstChange)
{
    kit::TempDir dir;
    const std::wstring path = dir.File(L"missing.ini");
    IniStore store;
    EXPECT_TRUE(store.Load(path));
    wchar_t buf[8] = L"junk";
    EXPECT_EQ(store.GetString(L"a", L"b", buf, 8), 0);
    EXPECT_STREQ(buf, L"");
    int value = 7;
    EXPECT_FALSE(store.GetInt(L"a", L"b", value));
    EXPECT_EQ(value, 7);
    EXPECT_FALSE(Exists(path));

    ASSERT_TRUE(store.SetInt(L"12", L"ItemCount", 3));
    IniStore again;
    ASSERT_TRUE(again.Load(path));
    ASSERT_TRUE(again.GetInt(L"12", L"itemcount", value));
    EXPECT_EQ(value, 3);
}

TEST(IniStore, ValuesKeepEqualsSignsAndSemicolons)
{
    kit::TempDir dir;
    const std::wstring path = dir.File(L"v.ini");
    WriteBytes(path, "[s]\r\nurl = http://h/p?a=b;c=d \r\n;k=commented out\r\nempty=\r\n");
    IniStore store;
    ASSERT_TRUE(store.Load(path));
    EXPECT_EQ(Get(store, L"s", L"url"), L"http://h/p?a=b;c=d");
    wchar_t buf[8];
    EXPECT_EQ(store.GetString(L"s", L"k", buf, 8), 0);
    int n = 0;
    EXPECT_FALSE(store.GetInt(L"s", L"empty", n));  // present but empty

    ASSERT_TRUE(store.SetString(L"s", L"mail", L"a=b;c=d;=;"));
    IniStore again;
    ASSERT_TRUE(again.Load(path));
    EXPECT_EQ(Get(again, L"s", L"mail"), L"a=b;c=d;=;");
    EXPECT_EQ(Get(again, L"s", L"url"), L"http://h/p?a=b;c=d");
}

TEST(IniStore, RewriteKeepsOtherSectionsAndKeys)
{
    kit::TempDir dir;
    const std::wstring path = dir.File(L"r.ini");
    WriteBytes(path, "[A]\r\nx=1\r\ny=two\r\n[B]\r\nx=3\r\n[Sec#tion]\r\nk#ey=hash\r\n");
    IniStore store;
    ASSERT_TRUE(store.Load(path));
    ASSERT_TRUE(store.SetInt(L"a", L"z", -5));
    ASSERT_TRUE(store.SetString(L"B", L"X", L"replaced"));

    IniStore again;
    ASSERT_TRUE(again.Load(path));
    int v = 0;
    ASSERT_TRUE(again.GetInt(L"A", L"x", v));
    EXPECT_EQ(v, 1);
    EXPECT_EQ(Get(again, L"A", L"y"), L"two");
    ASSERT_TRUE(again.GetInt(L"A", L"z", v));
    EXPECT_EQ(v, -5);
    EXPECT_EQ(Get(again, L"b", L"x"), L"replaced");
    EXPECT_EQ(Get(again, L"sec#tion", L"k#ey"), L"hash");
}

TEST(IniStore, GetStringCopiesAtMostSizeMinusOne)
{
    kit::TempDir dir;
    const std::wstring path = dir.File(L"g.ini");
    WriteBytes(path, "[s]\r\nk=abcdef\r\n");
    IniStore store;
    ASSERT_TRUE(store.Load(path));
    wchar_t buf[4] = {L'x', L'x', L'x', L'x'};
    EXPECT_EQ(store.GetString(L"s", L"k", buf, 4), 3);
    EXPECT_EQ(std::wstring(buf), L"abc");
    EXPECT_EQ(store.GetString(L"s", L"k", buf, 1), 0);
    EXPECT_EQ(buf[0], L'\0');
    EXPECT_EQ(store.GetString(L"s", L"k", nullptr, 4), 0);
}

// A value with line breaks (a nick name is outside text) must not add sections or keys.
TEST(IniStore, LineBreaksInAValueCannotInjectKeys)
{
    kit::TempDir dir;
    const std::wstring path = dir.File(L"n.ini");
    IniStore store;
    ASSERT_TRUE(store.Load(path));
    ASSERT_TRUE(store.SetString(L"1", L"ItemNickName1", L"nick\r\n[1]\r\nItemCount=99"));
    IniStore again;
    ASSERT_TRUE(again.Load(path));
    int count = 0;
    EXPECT_FALSE(again.GetInt(L"1", L"ItemCount", count));
    EXPECT_EQ(Get(again, L"1", L"ItemNickName1"), L"nick[1]ItemCount=99");
}

// The original stays as it was when its replacement cannot be written.
TEST(IniStore, OriginalIntactWhenTheTemporaryIsBlocked)
{
    kit::TempDir dir;
    const std::wstring path = dir.File(L"keep.ini");
    const std::string original = "[s]\r\nk=old\r\n";
    WriteBytes(path, original);
    ASSERT_TRUE(::CreateDirectoryW((path + L".tmp").c_str(), nullptr));

    IniStore store;
    ASSERT_TRUE(store.Load(path));
    EXPECT_FALSE(store.SetString(L"s", L"k", L"new"));
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(Get(store, L"s", L"k"), L"new");  // kept in memory for the next write
}

TEST(IniStore, OriginalIntactWhenTheFileIsHeldOpenWithoutSharing)
{
    kit::TempDir dir;
    const std::wstring path = dir.File(L"held.ini");
    const std::string original = "[s]\r\nk=old\r\n";
    WriteBytes(path, original);

    IniStore store;
    ASSERT_TRUE(store.Load(path));
    mjz::UniqueHandle held(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    const bool written = store.SetString(L"s", L"k", L"new");
    held.Reset();
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_FALSE(Exists(path + L".tmp"));
}

// A file that exists but could not be read is never rewritten from the empty
// store that the failed read left.
TEST(IniStore, UnreadableFileIsNeverOverwritten)
{
    kit::TempDir dir;
    const std::wstring path = dir.File(L"locked.ini");
    const std::string original = "[s]\r\nk=old\r\nother=kept\r\n";
    WriteBytes(path, original);

    IniStore store;
    {
        mjz::UniqueHandle held(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_FALSE(store.Load(path));
    }
    wchar_t buf[16];
    EXPECT_EQ(store.GetString(L"s", L"other", buf, 16), 0);
    EXPECT_FALSE(store.SetString(L"s", L"k", L"new"));
    EXPECT_EQ(ReadBytes(path), original);

    ASSERT_TRUE(store.Load(path));  // readable again
    EXPECT_TRUE(store.SetString(L"s", L"k", L"new"));
    IniStore again;
    ASSERT_TRUE(again.Load(path));
    EXPECT_EQ(Get(again, L"s", L"other"), L"kept");
    EXPECT_EQ(Get(again, L"s", L"k"), L"new");
}

TEST(IniStore, FolderThatDoesNotExistFailsCleanly)
{
    kit::TempDir dir;
    const std::wstring path = dir.File(L"no\\such\\folder\\x.ini");
    IniStore store;
    EXPECT_TRUE(store.Load(path));
    EXPECT_FALSE(store.SetString(L"s", L"k", L"v"));
}

// Random bytes, cut byte-order marks, odd UTF-16 lengths and huge lines: loading
// never crashes or hangs, and a store loaded from anything can still be written.
TEST(IniStore, MalformedFilesNeverCrash)
{
    const uint32_t seed = kit::FuzzSeed();
    SCOPED_TRACE(kit::SeedNote(seed));
    kit::Fuzz fuzz(seed);
    kit::TempDir dir;
    const std::wstring path = dir.File(L"fuzz.ini");
    const std::string sample = "\xEF\xBB\xBF[s]\r\nk=v;x=y\r\n[t]\r\nn=1\r\n" + WideToUtf8(kNick);
    const char* prefixes[] = {"", "\xEF", "\xEF\xBB", "\xEF\xBB\xBF", "\xFF", "\xFF\xFE", "\xFE\xFF", "\xFF\xFE\x00"};

    const DWORD start = ::GetTickCount();
    for (int i = 0; i < 400; ++i) {
        std::string bytes;
        switch (fuzz.Below(4)) {
        case 0:  // random bytes
            for (uint32_t n = fuzz.Below(600); n > 0; --n)
                bytes += static_cast<char>(fuzz.Below(256));
            break;
        case 1:  // a mutated good file
            bytes = fuzz.Mutate(sample, 8);
            break;
        case 2:  // a huge line, with or without a section and '='
            bytes = "[s]\n" + std::string(100000 + fuzz.Below(400000), "a=[;]\x80"[fuzz.Below(6)]);
            if (fuzz.Below(2))
                bytes += "=v\n[" + std::string(fuzz.Below(70000), 'x');
            break;
        default:  // random units after a byte-order mark, cut or whole
            bytes = std::string(prefixes[fuzz.Below(8)], 0, 3);
            for (uint32_t n = fuzz.Below(300); n > 0; --n)
                bytes += "[]=;\r\n\0a\xE4\xB8\xAD\xFF"[fuzz.Below(12)];
            break;
        }
        bytes = prefixes[fuzz.Below(8)] + bytes;
        WriteBytes(path, bytes);

        IniStore store;
        ASSERT_TRUE(store.Load(path)) << "iteration " << i;
        wchar_t buf[64];
        store.GetString(L"s", L"k", buf, 64);
        int n = 0;
        store.GetInt(L"t", L"n", n);
        if (i % 20 == 0) {
            ASSERT_TRUE(store.SetString(L"s", L"written", L"yes")) << "iteration " << i;
            IniStore again;
            ASSERT_TRUE(again.Load(path));
            EXPECT_EQ(Get(again, L"s", L"written"), L"yes") << "iteration " << i;
        }
    }
    EXPECT_LT(::GetTickCount() - start, 20000u);
}

TEST(ConfigFileAdapter, OpenReadWriteClose)
{
    kit::TempDir dir;
    const std::wstring first = dir.File(L"first.cfg");
    const std::wstring second = dir.File(L"second.cfg");
    WriteBytes(first, "[100]\r\nItemCount=1\r\nItemUin1=0x2711\r\n");

    CConfigFileAdapter adapter;
    wchar_t buf[260] = L"junk";
    EXPECT_EQ(adapter.GetString(L"100", L"ItemCount", buf, 260), 0);  // not open
    EXPECT_STREQ(buf, L"");
    EXPECT_EQ(adapter.Open(nullptr, 0), 0);

    EXPECT_EQ(adapter.Open(first.c_str(), 0), 1);
    EXPECT_EQ(adapter.GetString(L"100", L"ItemUin1", buf, 260), 6);
    EXPECT_EQ(WStringToULong(buf), 10001UL);
    EXPECT_EQ(adapter.GetString(L"100", L"ItemNickName1", buf, 40), 0);

    // Opening another file replaces what the store held.
    EXPECT_EQ(adapter.Open(second.c_str(), 0), 1);  // missing: still 1
    EXPECT_EQ(adapter.GetString(L"100", L"ItemCount", buf, 260), 0);
    EXPECT_TRUE(adapter.SetInt(L"100", L"ItemCount", 1));
    EXPECT_TRUE(adapter.SetString(L"100", L"ItemNickName1", kNick.c_str()));
    adapter.Close();
    EXPECT_FALSE(adapter.IsOpen());
    EXPECT_EQ(adapter.GetString(L"100", L"ItemCount", buf, 260), 0);
    EXPECT_FALSE(adapter.SetInt(L"100", L"ItemCount", 2));

    CConfigFileAdapter reader;
    EXPECT_EQ(reader.Open(second.c_str(), 0), 1);
    EXPECT_EQ(reader.GetString(L"100", L"ItemNickName1", buf, 260), static_cast<int>(kNick.size()));
    EXPECT_EQ(std::wstring(buf), kNick);
}

}  // namespace
