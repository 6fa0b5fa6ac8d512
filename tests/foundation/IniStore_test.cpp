#include "foundation/ConfigFileAdapter.h"
#include "foundation/FileLock.h"
#include "foundation/IniStore.h"
#include "foundation/StringUtil.h"
#include "foundation/UniqueHandle.h"

#include "kit/ChildEntry.h"
#include "kit/FileBytes.h"
#include "kit/Fuzz.h"
#include "kit/TempDir.h"
#include "tests/launcher/LauncherProcess.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Chinese nick names and a section name as the account files hold them.
const std::wstring kNick = L"\x5F20\x4E09\x7684\x6635\x79F0";   // five CJK characters
const std::wstring kSection = L"\x8D26\x53F7";                  // two CJK characters

constexpr wchar_t kWriterEntry[] = L"ini-writer";
constexpr int kWriterKeys = 200;

// The writer half of TwoProcessesWritingAtOnceLoseNoKey: its keys "<prefix>0".. into the file.
// Arguments: prefix, file.
int WriteKeys(const kit::ChildArgs& args)
{
    if (args.size() != 2)
        return 2;
    IniStore store;
    if (!store.Load(args[1]))
        return 3;
    for (int i = 0; i < kWriterKeys; ++i)
        if (!store.SetInt(L"s", (args[0] + std::to_wstring(i)).c_str(), i))
            return 4;
    return 0;
}
const kit::ChildEntry writerEntry(kWriterEntry, &WriteKeys);

std::string CodePage936(const std::wstring& text)
{
    std::string bytes(text.size() * 2, '\0');
    bytes.resize(static_cast<size_t>(::WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()),
                                                           bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

// Another process holding the file open for reading, sharing only `share`, while the handle lives.
mjz::UniqueHandle Hold(const std::wstring& path, DWORD share = 0)
{
    return mjz::UniqueHandle(::CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
}

// Temporaries a save left beside the file.
int TempsBeside(const std::wstring& path)
{
    return kit::CountMatching(path + L"*.tmp");
}

std::wstring Get(const IniStore& store, const wchar_t* section, const wchar_t* key)
{
    wchar_t buf[512];
    const int n = store.GetString(section, key, buf, 512);
    EXPECT_EQ(n, static_cast<int>(wcslen(buf)));
    return std::wstring(buf, static_cast<size_t>(n));
}

// A store loaded from the bytes written to a fresh file "t.ini".
struct IniFile {
    explicit IniFile(const std::string& bytes = "", bool write = true) : path(dir.File(L"t.ini"))
    {
        if (write)
            kit::WriteBytesToFile(path, bytes);
        EXPECT_TRUE(store.Load(path));
    }
    IniStore Reloaded() const
    {
        IniStore again;
        EXPECT_TRUE(again.Load(path));
        return again;
    }
    kit::TempDir dir;
    std::wstring path;
    IniStore store;
};

struct Encoding {
    const char* name;
    std::string (*encode)(const std::wstring&);
};

class IniStoreEncodings : public testing::TestWithParam<Encoding> {};

// Each input encoding reads back the same text; a change is written so that every character
// survives, whatever the input was, and the rest of the file stays. Sections and keys are apart
// by structure: a '#' in either never makes two names meet.
TEST_P(IniStoreEncodings, RoundTripWithChineseText)
{
    IniFile f(GetParam().encode(L"; remembered accounts\r\n[" + kSection + L"]\r\nNickName = " + kNick +
                                L"\r\nItemUin1=10001\r\n\r\n[Other]\nKey=Value\n[a#b]\r\nc=first\r\n[a]\r\nb#c=second\r\n"));
    EXPECT_EQ(Get(f.store, kSection.c_str(), L"nickname"), kNick);  // keys ignore case
    EXPECT_EQ(Get(f.store, L"OTHER", L"KEY"), L"Value");
    int uin = 0;
    ASSERT_TRUE(f.store.GetInt(kSection.c_str(), L"ItemUin1", uin));
    EXPECT_EQ(uin, 10001);

    const std::wstring newNick = L"\x674E\x56DB\xD83D\xDE00";  // with a character outside the BMP
    ASSERT_TRUE(f.store.SetString(kSection.c_str(), L"ItemNickName2", newNick.c_str()));
    ASSERT_TRUE(f.store.SetInt(L"other", L"z", -5));
    ASSERT_TRUE(f.store.SetString(L"a", L"b#c", L"changed"));
    EXPECT_EQ(kit::ReadBytesFromFile(f.path).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(TempsBeside(f.path), 0);

    const IniStore again = f.Reloaded();
    EXPECT_EQ(Get(again, kSection.c_str(), L"ItemNickName2"), newNick);
    EXPECT_EQ(Get(again, kSection.c_str(), L"NickName"), kNick);
    EXPECT_EQ(Get(again, L"other", L"key"), L"Value");
    EXPECT_EQ(Get(again, L"other", L"z"), L"-5");
    EXPECT_EQ(Get(again, L"a#b", L"c"), L"first");
    EXPECT_EQ(Get(again, L"a", L"b#c"), L"changed");
}

INSTANTIATE_TEST_SUITE_P(AllInputs, IniStoreEncodings,
                         testing::Values(Encoding{"Utf8Bom", [](const std::wstring& t) { return "\xEF\xBB\xBF" + WideToUtf8(t); }},
                                         Encoding{"Utf16LeBom", [](const std::wstring& t) {
                                             return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(t.data()), t.size() * 2);
                                         }},
                                         Encoding{"CodePage936", CodePage936}),
                         [](const testing::TestParamInfo<Encoding>& info) { return std::string(info.param.name); });

TEST(IniStore, MissingFileIsAnEmptyStoreAndCreatedOnFirstChange)
{
    IniFile f("", false);
    wchar_t buf[8] = L"junk";
    EXPECT_EQ(f.store.GetString(L"a", L"b", buf, 8), 0);
    EXPECT_STREQ(buf, L"");
    int value = 7;
    EXPECT_FALSE(f.store.GetInt(L"a", L"b", value));
    EXPECT_EQ(value, 7);
    EXPECT_EQ(::GetFileAttributesW(f.path.c_str()), INVALID_FILE_ATTRIBUTES);

    ASSERT_TRUE(f.store.SetInt(L"12", L"ItemCount", 3));
    ASSERT_TRUE(f.Reloaded().GetInt(L"12", L"itemcount", value));
    EXPECT_EQ(value, 3);
}

TEST(IniStore, ValuesKeepEqualsSignsAndSemicolonsButNoLineBreaks)
{
    IniFile f("[s]\r\nurl = http://h/p?a=b;c=d \r\n;k=commented out\r\nempty=\r\nlong=abcdef\r\n");
    EXPECT_EQ(Get(f.store, L"s", L"url"), L"http://h/p?a=b;c=d");
    wchar_t buf[4] = {L'x', L'x', L'x', L'x'};
    EXPECT_EQ(f.store.GetString(L"s", L"k", buf, 4), 0);
    int n = 0;
    EXPECT_FALSE(f.store.GetInt(L"s", L"empty", n));  // present but empty
    // At most size-1 characters are copied.
    EXPECT_EQ(f.store.GetString(L"s", L"long", buf, 4), 3);
    EXPECT_EQ(std::wstring(buf), L"abc");
    EXPECT_EQ(f.store.GetString(L"s", L"long", buf, 1), 0);
    EXPECT_EQ(buf[0], L'\0');
    EXPECT_EQ(f.store.GetString(L"s", L"long", nullptr, 4), 0);

    ASSERT_TRUE(f.store.SetString(L"s", L"mail", L"a=b;c=d;=;"));
    // A value with line breaks (a nick name is outside text) must not add sections or keys.
    ASSERT_TRUE(f.store.SetString(L"1", L"ItemNickName1", L"nick\r\n[1]\r\nItemCount=99"));
    const IniStore again = f.Reloaded();
    EXPECT_EQ(Get(again, L"s", L"mail"), L"a=b;c=d;=;");
    EXPECT_EQ(Get(again, L"s", L"url"), L"http://h/p?a=b;c=d");
    EXPECT_FALSE(again.GetInt(L"1", L"ItemCount", n));
    EXPECT_EQ(Get(again, L"1", L"ItemNickName1"), L"nick[1]ItemCount=99");
}

// Whatever stops the file from being read or replaced, the original stays as it was, the failure
// is reported, and the change goes with the next write once the file is free.
TEST(IniStore, HeldFileIsNeverDamaged)
{
    const std::string original = "[s]\r\nk=old\r\nother=kept\r\n";
    // Another process holding the file while it is replaced, without any sharing or reading it
    // without letting it be replaced: the change stays in memory for the next write.
    for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
        IniFile f(original);
        ::CreateDirectoryW((f.path + L".tmp").c_str(), nullptr);  // an old fixed temporary is no obstacle
        mjz::UniqueHandle held = Hold(f.path, share);
        ASSERT_TRUE(held);
        EXPECT_FALSE(f.store.SetString(L"s", L"k", L"new"));
        held.Reset();
        EXPECT_EQ(kit::ReadBytesFromFile(f.path), original);
        EXPECT_EQ(TempsBeside(f.path), 1) << "only the old folder, no temporary left behind";
        EXPECT_EQ(Get(f.store, L"s", L"k"), L"new");
        ASSERT_TRUE(f.store.SetString(L"s", L"two", L"2"));
        EXPECT_EQ(Get(f.Reloaded(), L"s", L"k"), L"new");
        EXPECT_EQ(Get(f.Reloaded(), L"s", L"other"), L"kept");
    }
    // Held while it loads: the empty store that the failed read left never rewrites the file.
    IniFile f(original);
    {
        mjz::UniqueHandle held = Hold(f.path);
        EXPECT_FALSE(f.store.Load(f.path));
    }
    EXPECT_EQ(Get(f.store, L"s", L"other"), L"");
    EXPECT_FALSE(f.store.SetString(L"s", L"k", L"new"));
    EXPECT_EQ(kit::ReadBytesFromFile(f.path), original);
    ASSERT_TRUE(f.store.Load(f.path));  // readable again
    EXPECT_TRUE(f.store.SetString(L"s", L"k", L"new"));
    EXPECT_EQ(Get(f.Reloaded(), L"s", L"other"), L"kept");
    EXPECT_EQ(Get(f.Reloaded(), L"s", L"k"), L"new");

    IniStore nowhere;
    EXPECT_TRUE(nowhere.Load(f.dir.File(L"no\\such\\folder\\x.ini")));
    EXPECT_FALSE(nowhere.SetString(L"s", L"k", L"v"));
}

// Random bytes, cut byte-order marks, odd UTF-16 lengths and huge lines: loading never crashes
// or hangs, and a store loaded from anything can still be written.
TEST(IniStore, MalformedFilesNeverCrash)
{
    kit::FuzzRun fuzz;
    IniFile f;
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
        kit::WriteBytesToFile(f.path, prefixes[fuzz.Below(8)] + bytes);

        IniStore store;
        ASSERT_TRUE(store.Load(f.path)) << "iteration " << i;
        wchar_t buf[64];
        store.GetString(L"s", L"k", buf, 64);
        int n = 0;
        store.GetInt(L"t", L"n", n);
        if (i % 20 == 0) {
            ASSERT_TRUE(store.SetString(L"s", L"written", L"yes")) << "iteration " << i;
            EXPECT_EQ(Get(f.Reloaded(), L"s", L"written"), L"yes") << "iteration " << i;
        }
    }
    EXPECT_LT(::GetTickCount() - start, 20000u);
}

// A change reads the file again under the lock of all processes: what another store (another
// process) wrote meanwhile stays.
TEST(IniStore, ChangesMergeWithWhatOthersWroteMeanwhile)
{
    IniFile f("[s]\r\nk=0\r\n");
    IniStore other;
    ASSERT_TRUE(other.Load(f.path));
    ASSERT_TRUE(other.SetString(L"s", L"fromOther", L"1"));
    ASSERT_TRUE(f.store.Update([](IniStore& s) {
        int k = 0;
        s.GetInt(L"s", L"k", k);
        s.Put(L"s", L"k", std::to_wstring(k + 1).c_str());
        s.Put(L"t", L"mine", L"2");
    }));
    const IniStore again = f.Reloaded();
    EXPECT_EQ(Get(again, L"s", L"fromOther"), L"1");
    EXPECT_EQ(Get(again, L"s", L"k"), L"1");
    EXPECT_EQ(Get(again, L"t", L"mine"), L"2");
    EXPECT_EQ(FileLock::MutexName(f.path), FileLock::MutexName(f.dir.File(L"T.INI")));
}

// Two processes (this executable started again) write 200 distinct keys each into one file at
// the same time: every one of the 400 keys is there afterwards.
TEST(IniStore, TwoProcessesWritingAtOnceLoseNoKey)
{
    kit::TempDir dir;
    const std::wstring path = dir.File(L"settings.ini");
    std::vector<std::unique_ptr<LauncherProcess>> writers;
    for (const wchar_t* prefix : {L"x", L"y"}) {
        writers.push_back(std::make_unique<LauncherProcess>(kit::ChildEntry::Arguments(kWriterEntry, {prefix, path}),
                                                            kit::ChildEntry::Program()));
        ASSERT_TRUE(writers.back()->Started());
    }
    for (const auto& writer : writers)
        EXPECT_EQ(writer->Wait(60000), 0);
    IniStore store;
    ASSERT_TRUE(store.Load(path));
    int missing = 0;
    for (const wchar_t* prefix : {L"x", L"y"})
        for (int i = 0; i < kWriterKeys; ++i)
            missing += Get(store, L"s", (prefix + std::to_wstring(i)).c_str()) == std::to_wstring(i) ? 0 : 1;
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(TempsBeside(path), 0);
}

TEST(ConfigFileAdapter, OpenReadWriteClose)
{
    kit::TempDir dir;
    const std::wstring first = dir.File(L"first.cfg");
    const std::wstring second = dir.File(L"second.cfg");
    const std::string firstBytes = "[100]\r\nItemCount=1\r\nItemUin1=0x2711\r\n";
    kit::WriteBytesToFile(first, firstBytes);

    CConfigFileAdapter adapter;
    wchar_t buf[260] = L"junk";
    EXPECT_EQ(adapter.GetString(L"100", L"ItemCount", buf, 260), 0);  // not open
    EXPECT_STREQ(buf, L"");
    EXPECT_EQ(adapter.Open(nullptr, 0), 0);

    EXPECT_EQ(adapter.Open(first.c_str(), 0), 1);
    EXPECT_EQ(adapter.GetString(L"100", L"ItemUin1", buf, 260), 6);
    EXPECT_EQ(WStringToULong(buf), 10001UL);

    // Opening another file replaces what the store held.
    EXPECT_EQ(adapter.Open(second.c_str(), 0), 1);  // missing: still 1
    EXPECT_EQ(adapter.GetString(L"100", L"ItemCount", buf, 260), 0);
    EXPECT_TRUE(adapter.SetString(L"100", L"ItemNickName1", kNick.c_str()));
    adapter.Close();
    EXPECT_EQ(adapter.GetString(L"100", L"ItemNickName1", buf, 260), 0);
    EXPECT_FALSE(adapter.SetInt(L"100", L"ItemCount", 2));

    // A file that exists but cannot be read is reported, and nothing is written into it.
    {
        mjz::UniqueHandle held = Hold(first);
        EXPECT_EQ(adapter.Open(first.c_str(), 0), 0);
        EXPECT_FALSE(adapter.SetString(L"100", L"ItemCount", L"0"));
    }
    EXPECT_EQ(kit::ReadBytesFromFile(first), firstBytes);

    CConfigFileAdapter reader;
    EXPECT_EQ(reader.Open(second.c_str(), 0), 1);
    EXPECT_EQ(reader.GetString(L"100", L"ItemNickName1", buf, 260), static_cast<int>(kNick.size()));
    EXPECT_EQ(std::wstring(buf), kNick);
}

}  // namespace
