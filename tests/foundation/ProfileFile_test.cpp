// Profile files changed as one locked step: the keys written are the keys the system's profile
// functions read back, every other line stays byte for byte, the file keeps its encoding, and
// the replacement goes through a temporary that a later save clears away when a kill left it.
#include "foundation/LockedFile.h"
#include "foundation/ProfileFile.h"
#include "foundation/StringUtil.h"
#include "foundation/UniqueHandle.h"

#include "kit/FileBytes.h"
#include "kit/Fuzz.h"
#include "kit/TempDir.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::wstring kChinese = L"\x5F20\x4E09\x7684\x6635\x79F0";  // five CJK characters

std::string Utf16(const std::wstring& text)
{
    std::string bytes;
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

// What the system's profile functions read.
std::wstring Read(const std::wstring& path, const std::wstring& section, const std::wstring& key)
{
    wchar_t buf[1024] = {};
    ::GetPrivateProfileStringW(section.c_str(), key.c_str(), L"<absent>", buf, 1024, path.c_str());
    return buf;
}

int TempsBeside(const std::wstring& path)
{
    return kit::CountMatching(path + L".*.tmp");
}

struct EditCase {
    const char* name;
    std::string before;  // "" with `missing`: no file at all
    bool missing;
    std::vector<ProfileFile::Entry> entries;
    std::string after;
};

}  // namespace

// Each edit as the profile functions would make it: the bytes written, and the values read back.
TEST(ProfileFile, EditsTable)
{
    const std::string bomLE = "\xFF\xFE";
    const std::string bom8 = "\xEF\xBB\xBF";
    const std::vector<EditCase> cases = {
        {"missing file: a new ANSI file", "", true, {{L"s", L"k", L"v"}}, "[s]\r\nk=v\r\n"},
        {"existing key: the value changes, the spelling stays", "[S]\r\nKey=old\r\nx=1\r\n", false,
         {{L"s", L"key", L"new"}}, "[S]\r\nKey=new\r\nx=1\r\n"},
        {"blanks around names", "[s]\r\n  k  =  old  \r\n", false, {{L"s", L"k", L"v"}}, "[s]\r\nk=v\r\n"},
        {"new key after the section's last line, before its blank lines",
         "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n", false, {{L"a", L"k", L"v"}}, "[a]\r\nx=1\r\nk=v\r\n\r\n[b]\r\ny=2\r\n"},
        {"new key in a section without keys", "[a]\r\n[b]\r\ny=2\r\n", false, {{L"a", L"k", L"v"}},
         "[a]\r\nk=v\r\n[b]\r\ny=2\r\n"},
        {"last line without a line break", "[a]\r\nx=1", false, {{L"a", L"k", L"v"}}, "[a]\r\nx=1\r\nk=v\r\n"},
        {"new section at the end", "[a]\r\nx=1\r\n", false, {{L"b", L"k", L"v"}}, "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
        {"LF line breaks stay LF", "[a]\nx=1\n", false, {{L"a", L"k", L"v"}, {L"b", L"k", L"w"}},
         "[a]\nx=1\nk=v\n[b]\nk=w\n"},
        {"only the first section of a name", "[a]\r\nx=1\r\n[A]\r\nk=old\r\n", false, {{L"a", L"x", L"2"}},
         "[a]\r\nx=2\r\n[A]\r\nk=old\r\n"},
        {"keys before any section are no section's", "k=top\r\n[a]\r\n", false, {{L"a", L"k", L"v"}},
         "k=top\r\n[a]\r\nk=v\r\n"},
        {"comments and other lines stay", "; note\r\n[a]\r\n;k=c\r\nk=1\r\nnoise\r\n", false,
         {{L"a", L"k", L"2"}}, "; note\r\n[a]\r\n;k=c\r\nk=2\r\nnoise\r\n"},
        {"a value keeps '=' and ';' but no line break", "[a]\r\n", false, {{L"a", L"k", L"x=1;\r\ny"}},
         "[a]\r\nk=x=1;y\r\n"},
        {"several keys in one step", "[Public]\r\nLastKwiUin=1\r\n", false,
         {{L"Public", L"LastKwiUin", L"20002"}, {L"LoginSet", L"LastKwiUin", L"20002"}},
         "[Public]\r\nLastKwiUin=20002\r\n[LoginSet]\r\nLastKwiUin=20002\r\n"},
        {"UTF-16LE stays UTF-16LE", bomLE + Utf16(L"[a]\r\nn=" + kChinese + L"\r\n"), false,
         {{L"a", L"k", kChinese}}, bomLE + Utf16(L"[a]\r\nn=" + kChinese + L"\r\nk=" + kChinese + L"\r\n")},
        {"UTF-8 stays UTF-8", bom8 + WideToUtf8(L"[a]\r\nn=" + kChinese + L"\r\n"), false, {{L"a", L"k", kChinese}},
         bom8 + WideToUtf8(L"[a]\r\nn=" + kChinese + L"\r\nk=" + kChinese + L"\r\n")},
        {"a value the ANSI code page cannot hold makes the file UTF-16LE", "[a]\r\nx=1\r\n", false,
         {{L"a", L"k", kChinese}}, bomLE + Utf16(L"[a]\r\nx=1\r\nk=" + kChinese + L"\r\n")},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        kit::TempDir dir;
        const std::wstring path = dir.File(L"p.ini");
        if (!c.missing) {
            ASSERT_TRUE(kit::WriteBytesToFile(path, c.before));
        }
        ASSERT_TRUE(ProfileFile::Write(path, c.entries));
        EXPECT_EQ(kit::ReadBytesFromFile(path), c.after);
        std::map<std::pair<std::wstring, std::wstring>, std::wstring> last;
        for (const ProfileFile::Entry& e : c.entries)
            last[{e.section, e.key}] = e.value;
        for (const auto& [name, value] : last) {
            std::wstring expected = value;
            StripLineBreaks(expected);
            EXPECT_EQ(Read(path, name.first, name.second), expected);
        }
        EXPECT_EQ(TempsBeside(path), 0);
    }
}

// A file that holds the values already is not written at all; temporaries that a killed save
// left beside the file go with the next save, other files that look alike stay.
TEST(ProfileFile, UnchangedFileStaysAndLeftTemporariesGo)
{
    kit::TempDir dir;
    const std::wstring path = dir.File(L"settings.ini");
    ASSERT_TRUE(kit::WriteBytesToFile(path, "[1001]\r\nCheckAgreeBoxSelected=1\r\n"));
    FILETIME before{};
    {
        mjz::UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ::GetFileTime(file.Get(), nullptr, nullptr, &before);
    }
    ::Sleep(20);
    ASSERT_TRUE(ProfileFile::Write(path, {{L"1001", L"CheckAgreeBoxSelected", L"1"}}));
    FILETIME after{};
    {
        mjz::UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ::GetFileTime(file.Get(), nullptr, nullptr, &after);
    }
    EXPECT_EQ(::CompareFileTime(&before, &after), 0);

    const std::vector<std::wstring> left = {path + L".77-1.tmp", path + L".4242-19.tmp"};
    const std::vector<std::wstring> kept = {path + L".tmp", path + L".x-1.tmp", path + L".12.tmp",
                                            dir.File(L"other.ini.77-1.tmp")};
    for (const std::wstring& name : left)
        ASSERT_TRUE(kit::WriteBytesToFile(name, "[1001]\r\n"));
    for (const std::wstring& name : kept)
        ASSERT_TRUE(kit::WriteBytesToFile(name, "x"));
    ASSERT_TRUE(ProfileFile::Write(path, {{L"1002", L"CheckAgreeBoxSelected", L"1"}}));
    for (const std::wstring& name : left)
        EXPECT_EQ(::GetFileAttributesW(name.c_str()), INVALID_FILE_ATTRIBUTES);
    for (const std::wstring& name : kept)
        EXPECT_NE(::GetFileAttributesW(name.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Read(path, L"1001", L"CheckAgreeBoxSelected"), L"1");
    EXPECT_EQ(Read(path, L"1002", L"CheckAgreeBoxSelected"), L"1");
}

// A file held open elsewhere without sharing is waited for a moment; held longer, it is left as
// it was and the write reports failure. A folder that is not there fails at once.
TEST(ProfileFile, HeldFileIsWaitedForOrLeftWhole)
{
    kit::TempDir dir;
    const std::wstring path = dir.File(L"Info.ini");
    const std::string original = "[Public]\r\nLastKwiUin=10001\r\n";
    ASSERT_TRUE(kit::WriteBytesToFile(path, original));
    for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
        SCOPED_TRACE(share);
        mjz::UniqueHandle held(::CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_FALSE(ProfileFile::Write(path, {{L"Public", L"LastKwiUin", L"20002"}}));
        held.Reset();
        EXPECT_EQ(kit::ReadBytesFromFile(path), original);
        EXPECT_EQ(TempsBeside(path), 0);
    }
    // Let go after a moment: the write goes through.
    mjz::UniqueHandle held(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    std::thread release([&held] {
        ::Sleep(120);
        held.Reset();
    });
    EXPECT_TRUE(ProfileFile::Write(path, {{L"Public", L"LastKwiUin", L"20002"}}));
    release.join();
    EXPECT_EQ(Read(path, L"Public", L"LastKwiUin"), L"20002");

    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(ProfileFile::Write(dir.File(L"no\\such\\Config.ini"), {{L"LoginSet", L"IfIncog", L"1"}}));
    EXPECT_LT(::GetTickCount() - start, 300u);
}

namespace {

// A random profile file: lines of names, '=', brackets, comments, blanks and CJK text, with LF,
// CRLF or lone CR line breaks, in one of the encodings the profile functions read.
std::string RandomProfile(kit::Fuzz& fuzz, std::wstring& text)
{
    static const wchar_t* const pieces[] = {L"[", L"]", L"=", L";", L" ", L"\t", L"a", L"k", L"s", L"K", L"S",
                                            L"1", L"x", L"\x4E2D", L"\x6587", L"\r\n", L"\n", L"\r\n", L"[s]",
                                            L"[a]", L"[ s ]", L"k=", L"a=1", L"\r", L"\"", L"\x1A", L"[s]]"};
    text.clear();
    for (uint32_t n = fuzz.Below(60); n > 0; --n)
        text += pieces[fuzz.Below(sizeof pieces / sizeof *pieces)];
    switch (fuzz.Below(4)) {
    case 0: {
        // ANSI: bytes of the code page, the upper half included.
        std::string bytes;
        for (wchar_t c : text)
            bytes += static_cast<char>(c < 0x80 ? c : 0x80 + c % 0x80);
        return bytes;
    }
    case 1:  // UTF-16LE, now and then with the odd byte of a cut character at its end
        return "\xFF\xFE" + Utf16(text) + (fuzz.Below(3) == 0 ? "\x41" : "");
    case 2: {  // UTF-16BE
        std::string bytes = "\xFE\xFF";
        for (wchar_t c : text) {
            bytes += static_cast<char>(c >> 8);
            bytes += static_cast<char>(c & 0xFF);
        }
        return bytes;
    }
    default:
        return "\xEF\xBB\xBF" + WideToUtf8(text);
    }
}

using Name = std::pair<std::wstring, std::wstring>;

// A (section, key) as the profile functions match it: without case.
Name NameOf(std::wstring section, std::wstring key)
{
    ::CharLowerBuffW(section.data(), static_cast<DWORD>(section.size()));
    ::CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
    return {section, key};
}

// Every (section, key) the profile functions see in the file, with its value.
std::map<Name, std::wstring> AllValues(const std::wstring& path)
{
    std::map<Name, std::wstring> all;
    std::vector<wchar_t> names(65536);
    const DWORD n = ::GetPrivateProfileSectionNamesW(names.data(), 65536, path.c_str());
    for (DWORD pos = 0; pos < n && names[pos];) {
        const std::wstring section = names.data() + pos;
        pos += static_cast<DWORD>(section.size()) + 1;
        std::vector<wchar_t> keys(65536);
        const DWORD m = ::GetPrivateProfileStringW(section.c_str(), nullptr, L"", keys.data(), 65536, path.c_str());
        for (DWORD at = 0; at < m && keys[at];) {
            const std::wstring key = keys.data() + at;
            at += static_cast<DWORD>(key.size()) + 1;
            all[NameOf(section, key)] = Read(path, section, key);
        }
    }
    return all;
}

}  // namespace

// Random and damaged files: a write never crashes, the profile functions read every value
// written, and every other value they read before is read the same afterwards.
TEST(ProfileFile, RandomFilesKeepEveryOtherValue)
{
    kit::FuzzRun fuzz;
    kit::TempDir dir;
    const std::wstring path = dir.File(L"r.ini");
    static const wchar_t* const sections[] = {L"s", L"S", L"a", L"new", L"1001"};
    static const wchar_t* const keys[] = {L"k", L"K", L"a", L"x", L"LastKwiUin"};
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::wstring text;
        const std::string bytes = RandomProfile(fuzz, text);
        // The odd last byte of a UTF-16 file is read with whatever byte lies beyond it; the
        // write keeps it with a zero byte, which is read the same wherever the file goes.
        const bool cut = bytes.size() % 2 != 0 && bytes.compare(0, 2, "\xFF\xFE") == 0;
        ASSERT_TRUE(kit::WriteBytesToFile(path, cut ? bytes + '\0' : bytes));
        const auto before = AllValues(path);
        ASSERT_TRUE(kit::WriteBytesToFile(path, bytes));

        std::vector<ProfileFile::Entry> entries;
        for (uint32_t n = 1 + fuzz.Below(3); n > 0; --n) {
            std::wstring value = std::to_wstring(fuzz.Below(100000));
            if (fuzz.Below(3) == 0)
                value += kChinese;
            entries.push_back({sections[fuzz.Below(5)], keys[fuzz.Below(5)], value});
        }
        ASSERT_TRUE(ProfileFile::Write(path, entries));

        std::map<Name, std::wstring> written;
        for (const ProfileFile::Entry& e : entries)
            written[NameOf(e.section, e.key)] = e.value;
        for (const auto& [name, value] : written)
            EXPECT_EQ(Read(path, name.first, name.second), value) << "[" << testing::PrintToString(name.first) << "] "
                                                                 << testing::PrintToString(name.second);
        for (const auto& [name, value] : before) {
            if (written.count(name) == 0) {
                EXPECT_EQ(Read(path, name.first, name.second), value) << testing::PrintToString(name.second);
            }
        }
        if (HasFailure()) {
            ADD_FAILURE() << "input: " << testing::PrintToString(text);
            break;
        }
    }
}
