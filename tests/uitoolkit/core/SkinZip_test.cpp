// Zip reader: archives built by the test kit's writer, read from memory, files and handles.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "kit/Fuzz.h"
#include "kit/TempDir.h"
#include "kit/ZipWriter.h"
#include "uitoolkit/core/SkinFileReader.h"
#include "uitoolkit/core/SkinZip.h"
#include "uitoolkit/core/SkinZipArchive.h"
#include "uitoolkit/core/SkinZipSource.h"
#include "uitoolkit/core/WinHandle.h"

using namespace SkinUI;

namespace {

using ZipPtr = OwnedSkinZip;

ZipPtr OpenMemory(const std::string& bytes) {
    return ZipPtr(OpenSkinZip(bytes.data(), static_cast<uint32_t>(bytes.size()), SkinZipMemoryKind));
}

// Text that compresses but is not trivially repetitive.
std::string SampleText(size_t size, uint32_t seed = 7) {
    std::string s;
    kit::Fuzz f(seed);
    while (s.size() < size) s += "line " + std::to_string(f.Below(100000)) + " of the skin\r\n";
    s.resize(size);
    return s;
}

// Reads a whole entry into memory in blocks of `block` bytes; the last code in `finalCode`.
std::string ExtractInBlocks(SkinZipHandle* zip, int index, uint32_t block, uint32_t* finalCode) {
    std::string out;
    std::string buf(block, '\0');
    for (int i = 0; i < 100000; ++i) {
        std::memset(buf.data(), 0, block);
        uint32_t rc = ExtractSkinZipEntry(zip, index, buf.data(), block, SkinZipMemoryKind);
        if (rc != SkinZipMoreData) {
            *finalCode = rc;
            return out;
        }
        out.append(buf.data(), strnlen(buf.data(), block));
    }
    *finalCode = 0xFFFFFFFF;
    return out;
}

// An entry extracted whole into memory, or "<rc N>" when the reader failed.
std::string Extracted(SkinZipHandle* zip, int index, uint32_t block = 4096) {
    uint32_t rc = 1;
    const std::string text = ExtractInBlocks(zip, index, block, &rc);
    return rc == 0 ? text : "<rc " + std::to_string(rc) + ">";
}

uint64_t Ticks(const FILETIME& ft) { return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime; }

// The FILETIME the reader should produce for a Unix time (through the runtime's local time).
uint64_t LocalTicksOf(uint32_t unixTime) {
    time_t t = unixTime;
    const struct tm* lt = std::localtime(&t);
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(lt->tm_year + 1900);
    st.wMonth = static_cast<WORD>(lt->tm_mon + 1);
    st.wDay = static_cast<WORD>(lt->tm_mday);
    st.wHour = static_cast<WORD>(lt->tm_hour);
    st.wMinute = static_cast<WORD>(lt->tm_min);
    st.wSecond = static_cast<WORD>(lt->tm_sec);
    FILETIME ft{};
    SystemTimeToFileTime(&st, &ft);
    return Ticks(ft);
}

bool DirectoryExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// A read-only pipe end and its writer: a handle that is no disk file and cannot be written.
struct Pipe {
    CWinHandle read, write;
    Pipe() {
        HANDLE r = nullptr, w = nullptr;
        if (CreatePipe(&r, &w, nullptr, 0)) {
            read.Reset(r);
            write.Reset(w);
        }
    }
};

CWinHandle OpenForReading(const std::wstring& path, LONGLONG offset = 0) {
    CWinHandle h(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER move{};
    move.QuadPart = offset;
    if (h) SetFilePointerEx(h.Get(), move, nullptr, FILE_BEGIN);
    return h;
}

// Runs a test body with the current directory inside a fresh temp folder (the reader creates
// folders under the current directory of the moment the archive was opened).
class CurrentDirScope {
public:
    explicit CurrentDirScope(const std::wstring& dir) {
        GetCurrentDirectoryW(MAX_PATH, m_old);
        SetCurrentDirectoryW(dir.c_str());
    }
    ~CurrentDirScope() { SetCurrentDirectoryW(m_old); }

private:
    wchar_t m_old[MAX_PATH] = {};
};

wchar_t* Target(const wchar_t* path) { return const_cast<wchar_t*>(path); }

} // namespace

// The result of a call and the last result the reader records, as one text.
std::string Results(uint32_t rc) { return std::to_string(rc) + "/" + std::to_string(SkinZipLastResult()); }
std::string Results(const ZipPtr& zip) { return (zip ? "open/" : "null/") + std::to_string(SkinZipLastResult()); }
std::string Twice(uint32_t rc) { return std::to_string(rc) + "/" + std::to_string(rc); }

TEST(SkinZip, OpenAndOtherCallsRefuseWhatIsNoArchive) {
    std::string junk = "this is not a zip archive at all, just text";
    for (uint32_t size : {static_cast<uint32_t>(junk.size()), 0u}) {
        ZipPtr zip(OpenSkinZip(junk.data(), size, SkinZipMemoryKind));
        EXPECT_TRUE(zip == nullptr && SkinZipLastResult() != 0u) << size;
    }
    EXPECT_EQ(Results(ZipPtr(OpenSkinZip(junk.data(), static_cast<uint32_t>(junk.size()), 4))),
              "null/" + std::to_string(SkinZipBadArgument));
    EXPECT_EQ(Results(ZipPtr(OpenSkinZip(L"Z:\\no\\such\\skin.zip", 0, SkinZipFileKind))),
              "null/" + std::to_string(SkinZipOpenFailed));
    Pipe pipe;  // a pipe is no disk file
    EXPECT_EQ(Results(ZipPtr(OpenSkinZip(pipe.read.Get(), 0, SkinZipHandleKind))), "null/" + std::to_string(SkinZipNotDiskFile));
    // Handles of the wrong kind.
    SkinZipHandle other;
    other.kind = 2;
    for (SkinZipHandle* h : {static_cast<SkinZipHandle*>(nullptr), &other}) {
        const std::string refused = Twice(h == nullptr ? SkinZipBadArgument : SkinZipNotArchive);
        EXPECT_EQ(Results(CloseSkinZip(h)), refused);
        EXPECT_EQ(Results(FindSkinZipEntry(h, L"a", false, nullptr, nullptr)), refused);
        EXPECT_EQ(Results(ExtractSkinZipEntry(h, 0, nullptr, 0, SkinZipMemoryKind)), refused);
    }
}

TEST(SkinZip, FindsEntriesByNameWithAndWithoutCase) {
    kit::ZipWriter w;
    w.Add("Skin/Login.xml", "<Window/>");
    w.Add("skin/bg.png", "PNGDATA", false);
    w.AddDirectory("skin/");
    const std::string bytes = w.Build();
    ZipPtr zip = OpenMemory(bytes);
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(SkinZipLastResult(), 0u);

    SkinZipEntry archive;
    ASSERT_EQ(zip->archive->GetItem(-1, &archive), 0u);
    EXPECT_EQ(archive.index, 3);
    EXPECT_EQ(archive.name[0], 0);

    int index = 99;
    SkinZipEntry e;
    EXPECT_EQ(Results(FindSkinZipEntry(zip.get(), L"skin/login.xml", false, &index, &e)), Twice(SkinZipNotFound));
    EXPECT_TRUE(index == -1 && e.index == -1);

    ASSERT_EQ(FindSkinZipEntry(zip.get(), L"skin/login.xml", true, &index, &e), 0u);
    EXPECT_TRUE(index == 0 && e.index == 0 && e.uncompressedSize == 9);
    EXPECT_STREQ(e.name, L"Skin/Login.xml");
    ASSERT_EQ(FindSkinZipEntry(zip.get(), L"skin/bg.png", false, &index, &e), 0u);
    EXPECT_TRUE(index == 1 && e.compressedSize == 7 && e.uncompressedSize == 7);

    // A failed find leaves the archive usable, and going backwards works.
    EXPECT_EQ(FindSkinZipEntry(zip.get(), L"missing", true, &index, nullptr), SkinZipNotFound);
    ASSERT_EQ(FindSkinZipEntry(zip.get(), L"Skin/Login.xml", false, &index, nullptr), 0u);
    EXPECT_EQ(index, 0);
    // Names longer than an archive can hold are simply not there.
    std::wstring longName(400, L'a');
    EXPECT_EQ(FindSkinZipEntry(zip.get(), longName.c_str(), true, &index, nullptr), SkinZipNotFound);
}

TEST(SkinZip, ExtractsIntoMemoryWholeAndInBlocks) {
    const std::string text = SampleText(70000);
    kit::ZipWriter w;
    w.Add("a.txt", text, true);
    w.Add("b.txt", "stored bytes", false);
    w.Add("empty.txt", "", true);
    const std::string bytes = w.Build();
    ZipPtr zip = OpenMemory(bytes);
    ASSERT_NE(zip, nullptr);

    // A block of exactly the entry's size: more-data once, then the end.
    std::string block(text.size(), '\0');
    const auto size = static_cast<uint32_t>(block.size());
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, block.data(), size, SkinZipMemoryKind), SkinZipMoreData);
    EXPECT_EQ(block, text);
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, block.data(), size, SkinZipMemoryKind), 0u);

    // Small blocks continue where the previous call stopped.
    for (uint32_t blockSize : {1u, 7u, 0x600u, 16384u})
        EXPECT_EQ(Extracted(zip.get(), 0, blockSize), text) << "block " << blockSize;
    EXPECT_EQ(Extracted(zip.get(), 1, 5), "stored bytes");
    EXPECT_EQ(Extracted(zip.get(), 2, 5), "");

    // Switching entries in the middle starts the new one from its beginning.
    char part[4] = {};
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, part, 4, SkinZipMemoryKind), SkinZipMoreData);
    EXPECT_EQ(std::string(part, 4), text.substr(0, 4));
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 1, part, 4, SkinZipMemoryKind), SkinZipMoreData);
    EXPECT_EQ(std::string(part, 4), "stor");

    for (const auto& [index, kind] : std::vector<std::pair<int, uint32_t>>{{3, SkinZipMemoryKind}, {-1, SkinZipMemoryKind}, {0, 9}})
        EXPECT_EQ(Results(ExtractSkinZipEntry(zip.get(), index, part, 4, kind)), Twice(SkinZipBadArgument)) << index;
}

TEST(SkinZip, DamagedDataAndAbsurdSizesAreReadErrors) {
    kit::ZipWriter w;
    w.Add("crc.txt", SampleText(3000), true).damageCrc = true;
    w.Add("bzip.txt", "pretend", false).method = 12;
    w.Add("mismatch.txt", "abc", false).localMethodMismatch = true;
    w.Add("secret.txt", "abc", false).flags = 1;
    w.Add("huge.bin", "0123456789", false);
    std::string bytes = w.Build();
    // Patch the last central record's uncompressed size to 3 GB ("negative" as an i32).
    const size_t central = bytes.rfind("PK\x01\x02");
    ASSERT_NE(central, std::string::npos);
    const uint32_t huge = 0xC0000000u;
    std::memcpy(&bytes[central + 24], &huge, 4);
    ZipPtr zip = OpenMemory(bytes);
    ASSERT_NE(zip, nullptr);

    // The checksum shows at the end of the entry.
    EXPECT_EQ(Extracted(zip.get(), 0, 1000), "<rc " + std::to_string(SkinZipReadFailed) + ">");
    // Methods the reader cannot decode, and encrypted entries, are never handed out raw.
    char buf[64];
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 1, buf, sizeof(buf), SkinZipMemoryKind), SkinZipReadFailed);
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 3, buf, sizeof(buf), SkinZipMemoryKind), SkinZipReadFailed);
    SkinZipEntry e;
    EXPECT_EQ(zip->archive->GetItem(2, &e), SkinZipBadLocalHeader);
    EXPECT_EQ(zip->archive->GetItem(0, &e), 0u);

    EXPECT_EQ(zip->archive->GetItem(4, &e), SkinZipBadLocalHeader);
    int index = 5;
    EXPECT_NE(FindSkinZipEntry(zip.get(), L"huge.bin", false, &index, &e), 0u);
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 4, buf, sizeof(buf), SkinZipMemoryKind), SkinZipReadFailed);
}

TEST(SkinZip, MapsAttributes) {
    const uint16_t dos = 20, onUnix = 0x0314;
    const struct {
        const char* name;
        uint16_t madeBy;
        uint32_t external;
        uint32_t want;
    } cases[] = {
        {"win-archive", dos, 0x20, 0x80 | 0x20},  // Windows zips carry no Unix bits: not read-only
        {"win-readonly", dos, 0x21, 0x80 | 0x20 | 0x01},
        {"win-hidden-system", dos, 0x06, 0x80 | 0x02 | 0x04},
        {"unix-rw", onUnix, 0100644u << 16, 0x80},
        {"unix-ro", onUnix, 0100444u << 16, 0x80 | 0x01},
        {"unix-dir/", onUnix, (040755u << 16) | 0x10, 0x90},
        {"unix-dir2/", onUnix, 040755u << 16, 0x90},
        {"win-dir/", dos, 0x10, 0x90},
    };
    kit::ZipWriter w;
    for (const auto& c : cases) {
        kit::ZipWriterEntry& e = w.Add(c.name, c.name[std::strlen(c.name) - 1] == '/' ? "" : "x");
        e.madeBy = c.madeBy;
        e.externalAttributes = c.external;
    }
    const std::string bytes = w.Build();
    ZipPtr zip = OpenMemory(bytes);
    ASSERT_NE(zip, nullptr);
    for (int i = 0; i < 8; ++i) {
        SkinZipEntry e;
        ASSERT_EQ(zip->archive->GetItem(i, &e), 0u) << i;
        EXPECT_EQ(e.attributes, cases[i].want) << cases[i].name;
    }
}

TEST(SkinZip, MapsDosAndExtendedTimes) {
    const uint32_t mod = 1600000000u, acc = 1600003600u, cre = 1500000000u;
    const uint16_t date = kit::ZipWriter::DosDate(2021, 6, 15), time = kit::ZipWriter::DosTime(13, 45, 30);
    FILETIME dosTime{};
    ASSERT_TRUE(DosDateTimeToFileTime(date, time, &dosTime));
    SYSTEMTIME st{};
    FileTimeToSystemTime(&dosTime, &st);
    EXPECT_TRUE(st.wYear == 2021 && st.wHour == 13 && st.wSecond == 30);
    const uint64_t d = Ticks(dosTime), m = LocalTicksOf(mod), a = LocalTicksOf(acc), c = LocalTicksOf(cre);
    const auto ut = &kit::ZipWriter::ExtendedTimestamp;
    const struct {
        const char* name;
        std::string extra;
        uint64_t want[3];  // modification, access, creation
    } cases[] = {
        {"dos", "", {d, d, d}},
        {"ut-all", std::string("\x0A\x00\x02\x00zz", 6) + ut(7, {mod, acc, cre}), {m, a, c}},  // after another block
        {"ut-mod", ut(1, {mod}), {m, d, d}},
        // Flags promise three times but the block holds one: only what is inside counts.
        {"ut-cut", ut(7, {mod}), {m, d, d}},
        // A block whose size runs past the extra field is ignored.
        {"ut-over", std::string("UT\x40\x00\x07\x01\x02", 7), {d, d, d}},
    };
    kit::ZipWriter w;
    for (const auto& tc : cases) {
        kit::ZipWriterEntry& e = w.Add(tc.name, "x");
        e.dosDate = date;
        e.dosTime = time;
        e.localExtra = tc.extra;
    }
    const std::string bytes = w.Build();
    ZipPtr zip = OpenMemory(bytes);
    ASSERT_NE(zip, nullptr);
    SkinZipEntry e;
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(zip->archive->GetItem(i, &e), 0u);
        EXPECT_EQ(Ticks(e.modificationTime), cases[i].want[0]) << cases[i].name;
        EXPECT_EQ(Ticks(e.accessTime), cases[i].want[1]) << cases[i].name;
        EXPECT_EQ(Ticks(e.creationTime), cases[i].want[2]) << cases[i].name;
    }

    // The cached description comes back unchanged; out of range is refused.
    SkinZipEntry again;
    ASSERT_EQ(zip->archive->GetItem(4, &again), 0u);
    EXPECT_EQ(std::memcmp(&again, &e, sizeof(e)), 0);
    EXPECT_EQ(zip->archive->GetItem(5, &e), SkinZipBadArgument);
    EXPECT_EQ(zip->archive->GetItem(-2, &e), SkinZipBadArgument);
}

TEST(SkinZip, ReadsFromFilesAndHandlesWithLeadingBytes) {
    kit::TempDir dir;
    const std::string text = SampleText(5000);
    kit::ZipWriter w;
    w.Add("x/y.txt", text);
    const std::string bytes = w.Build();
    const std::wstring path = dir.File(L"skin.zip");
    ASSERT_TRUE(kit::WriteBytesToFile(path, bytes));

    ZipPtr byName(OpenSkinZip(path.c_str(), 0, SkinZipFileKind));
    ASSERT_NE(byName, nullptr);
    int index = -1;
    ASSERT_EQ(FindSkinZipEntry(byName.get(), L"X/Y.TXT", true, &index, nullptr), 0u);
    EXPECT_EQ(Extracted(byName.get(), index, 999), text);

    // A handle positioned after other data: the archive starts at the handle's position.
    const std::wstring prefixed = dir.File(L"prefixed.bin");
    ASSERT_TRUE(kit::WriteBytesToFile(prefixed, std::string(100, 'J') + bytes));
    CWinHandle h = OpenForReading(prefixed, 100);
    ASSERT_TRUE(h);
    ZipPtr byHandle(OpenSkinZip(h.Get(), 0, SkinZipHandleKind));
    ASSERT_NE(byHandle, nullptr);
    h.Reset();  // the reader holds its own duplicate
    EXPECT_EQ(Extracted(byHandle.get(), 0), text);

    // Opening an open archive object again is refused.
    EXPECT_EQ(byHandle->archive->Open(bytes.data(), static_cast<uint32_t>(bytes.size()), SkinZipMemoryKind),
              SkinZipAlreadyOpen);
    EXPECT_EQ(CloseSkinZip(byHandle.release()), 0u);
}

TEST(SkinZip, ExtractsToHandlesAndFilesWithFolders) {
    kit::TempDir dir;
    CurrentDirScope cwd(dir.Path());
    const std::string text = SampleText(40000);
    const uint32_t mod = 1650000000u;
    kit::ZipWriter w;
    w.Add("data/file.txt", text).localExtra = kit::ZipWriter::ExtendedTimestamp(1, {mod});
    w.AddDirectory("made/inner/");
    w.Add("ro.txt", "read only").externalAttributes = 0x01;
    const std::string bytes = w.Build();
    ZipPtr zip = OpenMemory(bytes);
    ASSERT_NE(zip, nullptr);

    // Into an open handle.
    const std::wstring viaHandle = dir.File(L"via-handle.txt");
    {
        CWinHandle out(CreateFileW(viaHandle.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(out);
        EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, out.Get(), 0, SkinZipHandleKind), 0u);
    }
    EXPECT_EQ(kit::ReadBytesFromFile(viaHandle), text);

    // Into a file under new relative folders; the file gets the entry's times.
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, Target(L"out\\deep/file.txt"), 0, SkinZipFileKind), 0u);
    EXPECT_EQ(kit::ReadBytesFromFile(dir.File(L"out\\deep\\file.txt")), text);
    {
        CWinHandle f = OpenForReading(dir.File(L"out\\deep\\file.txt"));
        ASSERT_TRUE(f);
        FILETIME c{}, a{}, m{};
        ASSERT_TRUE(GetFileTime(f.Get(), &c, &a, &m));
        EXPECT_EQ(Ticks(m), LocalTicksOf(mod));
    }

    // Extracting an entry whose description is cached, after reading another entry.
    char part[8];
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 2, part, sizeof(part), SkinZipMemoryKind), SkinZipMoreData);
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, Target(L"again.txt"), 0, SkinZipFileKind), 0u);
    EXPECT_EQ(kit::ReadBytesFromFile(dir.File(L"again.txt")), text);

    // A directory entry becomes a folder under the base; to a handle it does nothing.
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 1, Target(L"ignored"), 0, SkinZipFileKind), 0u);
    EXPECT_TRUE(DirectoryExists(dir.File(L"made\\inner")));
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 1, GetStdHandle(STD_OUTPUT_HANDLE), 0, SkinZipHandleKind), 0u);

    // The file keeps the entry's read-only attribute.
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 2, Target(L"ro.txt"), 0, SkinZipFileKind), 0u);
    const DWORD attrs = GetFileAttributesW(dir.File(L"ro.txt").c_str());
    EXPECT_TRUE(attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY));

    // Failures: no handle, bad kinds, indexes, a handle that cannot be written.
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, INVALID_HANDLE_VALUE, 0, SkinZipHandleKind), SkinZipOpenFailed);
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, nullptr, 0, SkinZipFileKind), SkinZipOpenFailed);
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 7, Target(L"x"), 0, SkinZipFileKind), SkinZipBadArgument);
    Pipe pipe;
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, pipe.read.Get(), 0, SkinZipHandleKind), SkinZipWriteFailed);
}

TEST(SkinZip, NeverWritesOutsideTheBaseFolder) {
    kit::TempDir dir;
    const std::wstring work = dir.File(L"work");
    ASSERT_TRUE(CreateDirectoryW(work.c_str(), nullptr));
    CurrentDirScope cwd(work);
    kit::ZipWriter w;
    w.Add("f.txt", "payload");
    for (const std::string& name : {std::string("../escape/"), std::string("..\\escape2\\"),
                                    std::string("a/../../escape3/"), std::string("/rooted/"), std::string("C:\\drive\\"),
                                    std::string("ok/..x/"), std::string(270, 'd') + "/"})
        w.AddDirectory(name);
    const std::string bytes = w.Build();
    ZipPtr zip = OpenMemory(bytes);
    ASSERT_NE(zip, nullptr);

    // A target whose folder climbs out: no folder is made, so the file cannot be created.
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, Target(L"..\\evil\\f.txt"), 0, SkinZipFileKind), SkinZipOpenFailed);
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, Target(L"sub/../../evil2/f.txt"), 0, SkinZipFileKind),
              SkinZipOpenFailed);
    // Directory entries that climb out, are rooted or name a drive are refused, and so are
    // paths of 260 units or more.
    for (int i : {1, 2, 3, 4, 5, 7})
        EXPECT_EQ(ExtractSkinZipEntry(zip.get(), i, Target(L"x"), 0, SkinZipFileKind), SkinZipOpenFailed) << i;
    const std::wstring longTarget = std::wstring(300, L'n') + L"\\f.txt";
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, Target(longTarget.c_str()), 0, SkinZipFileKind), SkinZipOpenFailed);
    for (const wchar_t* name : {L"evil", L"evil2", L"escape", L"escape2", L"escape3", L"work\\sub", L"work\\a"})
        EXPECT_FALSE(DirectoryExists(dir.File(name))) << name;
    // A name that merely contains two dots is an ordinary folder.
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 6, Target(L"x"), 0, SkinZipFileKind), 0u);
    EXPECT_TRUE(DirectoryExists(work + L"\\ok\\..x"));
}

TEST(SkinZipSource, MemorySeeksStayInsideTheBlockAndHandleSeeksRelativeToTheStart) {
    const char data[] = "0123456789";
    SkinZipSource src;
    ASSERT_EQ(src.Open(data, 10, SkinZipMemoryKind), 0u);
    char buf[16] = {};
    EXPECT_EQ(src.Read(buf, 1, 4), 4u);
    EXPECT_EQ(std::string(buf, 4), "0123");
    EXPECT_EQ(src.Tell(), 4);
    EXPECT_EQ(src.Seek(-2, 1), 0);
    EXPECT_EQ(src.Tell(), 2);
    EXPECT_NE(src.Seek(-3, 1), 0);
    EXPECT_EQ(src.Tell(), 2);
    EXPECT_NE(src.Seek(11, 0), 0);
    EXPECT_NE(src.Seek(1, 2), 0);
    EXPECT_EQ(src.Seek(-3, 2), 0);
    EXPECT_EQ(src.Read(buf, 2, 4), 1u);  // three bytes left: one whole item of two
    EXPECT_EQ(src.Seek(10, 0), 0);
    EXPECT_EQ(src.Read(buf, 1, 4), 0u);  // at the end nothing comes
    EXPECT_FALSE(src.HasError());
    EXPECT_EQ(src.Open(data, 10, 0), SkinZipBadArgument);

    // Handle sources seek relative to their start.
    kit::TempDir dir;
    const std::wstring path = dir.File(L"bytes.bin");
    ASSERT_TRUE(kit::WriteBytesToFile(path, "abcdefghij"));
    CWinHandle h = OpenForReading(path, 3);
    ASSERT_TRUE(h);
    SkinZipSource fromHandle;
    ASSERT_EQ(fromHandle.Open(h.Get(), 0, SkinZipHandleKind), 0u);
    EXPECT_EQ(fromHandle.Tell(), 0);
    EXPECT_EQ(fromHandle.Read(buf, 1, 2), 2u);
    EXPECT_EQ(std::string(buf, 2), "de");
    EXPECT_EQ(fromHandle.Seek(4, 0), 0);
    EXPECT_EQ(fromHandle.Read(buf, 1, 1), 1u);
    EXPECT_EQ(buf[0], 'h');
    EXPECT_EQ(fromHandle.Seek(-1, 2), 0);
    EXPECT_EQ(fromHandle.Tell(), 6);
    EXPECT_EQ(fromHandle.Seek(0, 5), 19);

    Pipe pipe;
    SkinZipSource fromPipe;
    ASSERT_EQ(fromPipe.Open(pipe.read.Get(), 0, SkinZipHandleKind), 0u);
    EXPECT_EQ(fromPipe.Seek(0, 0), 29);
    EXPECT_EQ(fromPipe.Tell(), 0);
    EXPECT_EQ(fromPipe.Open(nullptr, 0, SkinZipHandleKind), SkinZipDuplicateFailed);
}

TEST(SkinZip, CorruptedArchivesNeverCrash) {
    kit::ZipWriter w;
    w.Add("skin/a.xml", SampleText(3000, 1));
    w.Add("skin/b.png", SampleText(500, 2), false);
    w.AddDirectory("skin/");
    w.Add("c.txt", "tiny").localExtra = kit::ZipWriter::ExtendedTimestamp(7, {1, 2, 3});
    const std::string sample = w.Build();

    kit::FuzzRun fuzz;
    std::string buf(1024, '\0');
    int opened = 0;
    const size_t tail = sample.size() - 260;  // central directory and end record
    for (int round = 0; round < 4000; ++round) {
        // Damage anywhere, in the directory only, or in the first local header only.
        std::string bytes;
        switch (round % 3) {
        case 0: bytes = fuzz.Mutate(sample, 6); break;
        case 1: bytes = sample.substr(0, tail) + fuzz.Mutate(sample.substr(tail), 4); break;
        default: bytes = fuzz.Mutate(sample.substr(0, 60), 3) + sample.substr(60); break;
        }
        ZipPtr zip = OpenMemory(bytes);
        if (!zip) continue;
        ++opened;
        SkinZipEntry e;
        zip->archive->GetItem(-1, &e);
        const int count = e.index > 64 ? 64 : e.index;
        for (int i = 0; i < count; ++i) {
            zip->archive->GetItem(i, &e);
            int calls = 0;
            while (ExtractSkinZipEntry(zip.get(), i, buf.data(), static_cast<uint32_t>(buf.size()),
                                       SkinZipMemoryKind) == SkinZipMoreData) {
                ASSERT_LT(++calls, 70000) << "round " << round << " entry " << i;
            }
        }
        int index = 0;
        FindSkinZipEntry(zip.get(), L"SKIN/A.XML", true, &index, &e);
    }
    // Most damage lands in the entry data, so most archives still open and get read.
    EXPECT_GT(opened, 1000);
}

// A deflated entry whose stream ends before its declared size is refused, into memory (whole,
// in blocks, through the skin reader) and into a file, instead of being handed out zero-filled.
TEST(SkinZip, EntryCutShortIsRefused) {
    kit::ZipWriter w;
    w.Add("short.xml", SampleText(500), true);
    std::string bytes = w.Build();
    const uint32_t declared = 5000;
    std::memcpy(&bytes[bytes.find("PK\x03\x04") + 22], &declared, 4);
    std::memcpy(&bytes[bytes.rfind("PK\x01\x02") + 24], &declared, 4);
    ZipPtr zip = OpenMemory(bytes);
    ASSERT_NE(zip, nullptr);
    const std::string refused = "<rc " + std::to_string(SkinZipReadFailed) + ">";
    EXPECT_EQ(Extracted(zip.get(), 0, declared), refused);
    EXPECT_EQ(Extracted(zip.get(), 0, 64), refused);
    EXPECT_FALSE(ReadSkinZipEntry(zip.get(), L"short.xml"));
    kit::TempDir dir;
    const std::wstring out = dir.File(L"short.xml");
    EXPECT_NE(ExtractSkinZipEntry(zip.get(), 0, const_cast<wchar_t*>(out.c_str()), 0, SkinZipFileKind), 0u);
}
