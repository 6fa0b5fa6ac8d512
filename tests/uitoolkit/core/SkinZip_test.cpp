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

bool SameTime(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// The FILETIME the reader should produce for a Unix time (through the runtime's local time).
FILETIME LocalFileTimeOf(uint32_t unixTime) {
    time_t t = unixTime;
    struct tm* lt = std::localtime(&t);
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(lt->tm_year + 1900);
    st.wMonth = static_cast<WORD>(lt->tm_mon + 1);
    st.wDay = static_cast<WORD>(lt->tm_mday);
    st.wHour = static_cast<WORD>(lt->tm_hour);
    st.wMinute = static_cast<WORD>(lt->tm_min);
    st.wSecond = static_cast<WORD>(lt->tm_sec);
    FILETIME ft{};
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

bool DirectoryExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
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

} // namespace

TEST(SkinZip, OpenRefusesWhatIsNoArchive) {
    std::string junk = "this is not a zip archive at all, just text";
    EXPECT_EQ(OpenMemory(junk), nullptr);
    EXPECT_NE(SkinZipLastResult(), 0u);

    EXPECT_EQ(OpenSkinZip(junk.data(), 0, SkinZipMemoryKind), nullptr);
    EXPECT_NE(SkinZipLastResult(), 0u);

    EXPECT_EQ(OpenSkinZip(junk.data(), static_cast<uint32_t>(junk.size()), 4), nullptr);
    EXPECT_EQ(SkinZipLastResult(), SkinZipBadArgument);

    EXPECT_EQ(OpenSkinZip(L"Z:\\no\\such\\skin.zip", 0, SkinZipFileKind), nullptr);
    EXPECT_EQ(SkinZipLastResult(), SkinZipOpenFailed);

    // A pipe is no disk file.
    HANDLE r = nullptr, w = nullptr;
    ASSERT_TRUE(CreatePipe(&r, &w, nullptr, 0));
    CWinHandle pr(r), pw(w);
    EXPECT_EQ(OpenSkinZip(pr.Get(), 0, SkinZipHandleKind), nullptr);
    EXPECT_EQ(SkinZipLastResult(), SkinZipNotDiskFile);
}

TEST(SkinZip, HandlesOfTheWrongKindAreRefused) {
    EXPECT_EQ(CloseSkinZip(nullptr), SkinZipBadArgument);
    EXPECT_EQ(SkinZipLastResult(), SkinZipBadArgument);
    EXPECT_EQ(FindSkinZipEntry(nullptr, L"a", false, nullptr, nullptr), SkinZipBadArgument);
    EXPECT_EQ(ExtractSkinZipEntry(nullptr, 0, nullptr, 0, SkinZipMemoryKind), SkinZipBadArgument);

    SkinZipHandle other;
    other.kind = 2;
    EXPECT_EQ(CloseSkinZip(&other), SkinZipNotArchive);
    EXPECT_EQ(FindSkinZipEntry(&other, L"a", false, nullptr, nullptr), SkinZipNotArchive);
    EXPECT_EQ(ExtractSkinZipEntry(&other, 0, nullptr, 0, SkinZipMemoryKind), SkinZipNotArchive);
    EXPECT_EQ(SkinZipLastResult(), SkinZipNotArchive);
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
    EXPECT_EQ(FindSkinZipEntry(zip.get(), L"skin/login.xml", false, &index, &e), SkinZipNotFound);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(e.index, -1);
    EXPECT_EQ(SkinZipLastResult(), SkinZipNotFound);

    ASSERT_EQ(FindSkinZipEntry(zip.get(), L"skin/login.xml", true, &index, &e), 0u);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(e.index, 0);
    EXPECT_STREQ(e.name, L"Skin/Login.xml");
    EXPECT_EQ(e.uncompressedSize, 9);

    ASSERT_EQ(FindSkinZipEntry(zip.get(), L"skin/bg.png", false, &index, &e), 0u);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(e.compressedSize, 7);
    EXPECT_EQ(e.uncompressedSize, 7);

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
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, block.data(), static_cast<uint32_t>(block.size()), SkinZipMemoryKind),
              SkinZipMoreData);
    EXPECT_EQ(block, text);
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, block.data(), static_cast<uint32_t>(block.size()), SkinZipMemoryKind),
              0u);

    // Small blocks continue where the previous call stopped.
    for (uint32_t size : {1u, 7u, 0x600u, 16384u}) {
        uint32_t rc = 1;
        EXPECT_EQ(ExtractInBlocks(zip.get(), 0, size, &rc), text) << "block " << size;
        EXPECT_EQ(rc, 0u);
    }
    uint32_t rc = 1;
    EXPECT_EQ(ExtractInBlocks(zip.get(), 1, 5, &rc), "stored bytes");
    EXPECT_EQ(rc, 0u);
    EXPECT_EQ(ExtractInBlocks(zip.get(), 2, 5, &rc), "");
    EXPECT_EQ(rc, 0u);

    // Switching entries in the middle starts the new one from its beginning.
    char part[4] = {};
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, part, 4, SkinZipMemoryKind), SkinZipMoreData);
    EXPECT_EQ(std::string(part, 4), text.substr(0, 4));
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 1, part, 4, SkinZipMemoryKind), SkinZipMoreData);
    EXPECT_EQ(std::string(part, 4), "stor");

    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 3, part, 4, SkinZipMemoryKind), SkinZipBadArgument);
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), -1, part, 4, SkinZipMemoryKind), SkinZipBadArgument);
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, part, 4, 9), SkinZipBadArgument);
    EXPECT_EQ(SkinZipLastResult(), SkinZipBadArgument);
}

TEST(SkinZip, DamagedDataIsAReadError) {
    kit::ZipWriter w;
    w.Add("crc.txt", SampleText(3000), true).damageCrc = true;
    w.Add("bzip.txt", "pretend", false).method = 12;
    w.Add("mismatch.txt", "abc", false).localMethodMismatch = true;
    w.Add("secret.txt", "abc", false).flags = 1;
    const std::string bytes = w.Build();
    ZipPtr zip = OpenMemory(bytes);
    ASSERT_NE(zip, nullptr);

    // The checksum shows at the end of the entry.
    uint32_t rc = 0;
    ExtractInBlocks(zip.get(), 0, 1000, &rc);
    EXPECT_EQ(rc, SkinZipReadFailed);

    // Methods the reader cannot decode, and encrypted entries, are never handed out raw.
    char buf[64];
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 1, buf, sizeof(buf), SkinZipMemoryKind), SkinZipReadFailed);
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 3, buf, sizeof(buf), SkinZipMemoryKind), SkinZipReadFailed);

    SkinZipEntry e;
    EXPECT_EQ(zip->archive->GetItem(2, &e), SkinZipBadLocalHeader);
    EXPECT_EQ(zip->archive->GetItem(0, &e), 0u);
}

TEST(SkinZip, AbsurdSizesAreRefused) {
    kit::ZipWriter w;
    w.Add("huge.bin", "0123456789", false);
    std::string bytes = w.Build();
    // Patch the central directory's uncompressed size to 3 GB ("negative" as an i32).
    size_t central = bytes.find("PK\x01\x02");
    ASSERT_NE(central, std::string::npos);
    const uint32_t huge = 0xC0000000u;
    std::memcpy(&bytes[central + 24], &huge, 4);
    ZipPtr zip = OpenMemory(bytes);
    ASSERT_NE(zip, nullptr);
    SkinZipEntry e;
    EXPECT_EQ(zip->archive->GetItem(0, &e), SkinZipBadLocalHeader);
    int index = 5;
    EXPECT_NE(FindSkinZipEntry(zip.get(), L"huge.bin", false, &index, &e), 0u);
    char buf[16];
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, buf, sizeof(buf), SkinZipMemoryKind), SkinZipReadFailed);
}

TEST(SkinZip, MapsAttributes) {
    kit::ZipWriter w;
    w.Add("win-archive", "x").externalAttributes = 0x20;
    w.Add("win-readonly", "x").externalAttributes = 0x21;
    w.Add("win-hidden-system", "x").externalAttributes = 0x06;
    auto& unixRw = w.Add("unix-rw", "x");
    unixRw.madeBy = 0x0314;
    unixRw.externalAttributes = 0100644u << 16;
    auto& unixRo = w.Add("unix-ro", "x");
    unixRo.madeBy = 0x0314;
    unixRo.externalAttributes = 0100444u << 16;
    auto& unixDir = w.Add("unix-dir/", "");
    unixDir.madeBy = 0x0314;
    unixDir.externalAttributes = (040755u << 16) | 0x10;
    auto& unixDirNoDos = w.Add("unix-dir2/", "");
    unixDirNoDos.madeBy = 0x0314;
    unixDirNoDos.externalAttributes = 040755u << 16;
    w.AddDirectory("win-dir/");
    const std::string bytes = w.Build();
    ZipPtr zip = OpenMemory(bytes);
    ASSERT_NE(zip, nullptr);

    const uint32_t expected[] = {
        0x80 | 0x20,  // Windows zips carry no Unix bits: not read-only
        0x80 | 0x20 | 0x01,
        0x80 | 0x02 | 0x04,
        0x80,
        0x80 | 0x01,
        0x90,
        0x90,
        0x90,
    };
    for (int i = 0; i < 8; ++i) {
        SkinZipEntry e;
        ASSERT_EQ(zip->archive->GetItem(i, &e), 0u) << i;
        EXPECT_EQ(e.attributes, expected[i]) << i;
    }
}

TEST(SkinZip, MapsDosAndExtendedTimes) {
    const uint32_t mod = 1600000000u, acc = 1600003600u, cre = 1500000000u;
    kit::ZipWriter w;
    auto& dosOnly = w.Add("dos", "x");
    dosOnly.dosDate = kit::ZipWriter::DosDate(2021, 6, 15);
    dosOnly.dosTime = kit::ZipWriter::DosTime(13, 45, 30);
    auto& all = w.Add("ut-all", "x");
    all.dosDate = dosOnly.dosDate;
    all.localExtra = std::string("\x0A\x00\x02\x00zz", 6) + kit::ZipWriter::ExtendedTimestamp(7, {mod, acc, cre});
    auto& modOnly = w.Add("ut-mod", "x");
    modOnly.dosDate = dosOnly.dosDate;
    modOnly.dosTime = dosOnly.dosTime;
    modOnly.localExtra = kit::ZipWriter::ExtendedTimestamp(1, {mod});
    // Flags promise three times but the block holds one: only what is inside counts.
    auto& cut = w.Add("ut-cut", "x");
    cut.dosDate = dosOnly.dosDate;
    cut.dosTime = dosOnly.dosTime;
    cut.localExtra = kit::ZipWriter::ExtendedTimestamp(7, {mod});
    // A block whose size runs past the extra field is ignored.
    auto& over = w.Add("ut-over", "x");
    over.dosDate = dosOnly.dosDate;
    over.dosTime = dosOnly.dosTime;
    over.localExtra = std::string("UT\x40\x00\x07\x01\x02", 7);
    const std::string bytes = w.Build();
    ZipPtr zip = OpenMemory(bytes);
    ASSERT_NE(zip, nullptr);

    FILETIME dos{};
    ASSERT_TRUE(DosDateTimeToFileTime(dosOnly.dosDate, dosOnly.dosTime, &dos));
    SYSTEMTIME st{};
    FileTimeToSystemTime(&dos, &st);
    EXPECT_EQ(st.wYear, 2021);
    EXPECT_EQ(st.wHour, 13);
    EXPECT_EQ(st.wSecond, 30);

    SkinZipEntry e;
    ASSERT_EQ(zip->archive->GetItem(0, &e), 0u);
    EXPECT_TRUE(SameTime(e.modificationTime, dos));
    EXPECT_TRUE(SameTime(e.accessTime, dos));
    EXPECT_TRUE(SameTime(e.creationTime, dos));

    ASSERT_EQ(zip->archive->GetItem(1, &e), 0u);
    EXPECT_TRUE(SameTime(e.modificationTime, LocalFileTimeOf(mod)));
    EXPECT_TRUE(SameTime(e.accessTime, LocalFileTimeOf(acc)));
    EXPECT_TRUE(SameTime(e.creationTime, LocalFileTimeOf(cre)));

    ASSERT_EQ(zip->archive->GetItem(2, &e), 0u);
    EXPECT_TRUE(SameTime(e.modificationTime, LocalFileTimeOf(mod)));
    EXPECT_TRUE(SameTime(e.accessTime, dos));

    ASSERT_EQ(zip->archive->GetItem(3, &e), 0u);
    EXPECT_TRUE(SameTime(e.modificationTime, LocalFileTimeOf(mod)));
    EXPECT_TRUE(SameTime(e.accessTime, dos));
    EXPECT_TRUE(SameTime(e.creationTime, dos));

    ASSERT_EQ(zip->archive->GetItem(4, &e), 0u);
    EXPECT_TRUE(SameTime(e.modificationTime, dos));

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
    uint32_t rc = 1;
    EXPECT_EQ(ExtractInBlocks(byName.get(), index, 999, &rc), text);
    EXPECT_EQ(rc, 0u);

    // A handle positioned after other data: the archive starts at the handle's position.
    const std::wstring prefixed = dir.File(L"prefixed.bin");
    ASSERT_TRUE(kit::WriteBytesToFile(prefixed, std::string(100, 'J') + bytes));
    CWinHandle h(CreateFileW(prefixed.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(h);
    LARGE_INTEGER move{};
    move.QuadPart = 100;
    ASSERT_TRUE(SetFilePointerEx(h.Get(), move, nullptr, FILE_BEGIN));
    ZipPtr byHandle(OpenSkinZip(h.Get(), 0, SkinZipHandleKind));
    ASSERT_NE(byHandle, nullptr);
    h.Reset();  // the reader holds its own duplicate
    EXPECT_EQ(ExtractInBlocks(byHandle.get(), 0, 4096, &rc), text);
    EXPECT_EQ(rc, 0u);

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
    auto& file = w.Add("data/file.txt", text);
    file.localExtra = kit::ZipWriter::ExtendedTimestamp(1, {mod});
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
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, const_cast<wchar_t*>(L"out\\deep/file.txt"), 0, SkinZipFileKind), 0u);
    EXPECT_EQ(kit::ReadBytesFromFile(dir.File(L"out\\deep\\file.txt")), text);
    {
        CWinHandle f(CreateFileW(dir.File(L"out\\deep\\file.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(f);
        FILETIME c{}, a{}, m{};
        ASSERT_TRUE(GetFileTime(f.Get(), &c, &a, &m));
        EXPECT_TRUE(SameTime(m, LocalFileTimeOf(mod)));
    }

    // Extracting an entry whose description is cached, after reading another entry.
    char part[8];
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 2, part, sizeof(part), SkinZipMemoryKind), SkinZipMoreData);
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, const_cast<wchar_t*>(L"again.txt"), 0, SkinZipFileKind), 0u);
    EXPECT_EQ(kit::ReadBytesFromFile(dir.File(L"again.txt")), text);

    // A directory entry becomes a folder under the base; to a handle it does nothing.
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 1, const_cast<wchar_t*>(L"ignored"), 0, SkinZipFileKind), 0u);
    EXPECT_TRUE(DirectoryExists(dir.File(L"made\\inner")));
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 1, GetStdHandle(STD_OUTPUT_HANDLE), 0, SkinZipHandleKind), 0u);

    // The file keeps the entry's read-only attribute.
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 2, const_cast<wchar_t*>(L"ro.txt"), 0, SkinZipFileKind), 0u);
    DWORD attrs = GetFileAttributesW(dir.File(L"ro.txt").c_str());
    EXPECT_NE(attrs, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attrs & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(dir.File(L"ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);

    // Failures: no handle, bad kinds, indexes.
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, INVALID_HANDLE_VALUE, 0, SkinZipHandleKind), SkinZipOpenFailed);
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, nullptr, 0, SkinZipFileKind), SkinZipOpenFailed);
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 7, const_cast<wchar_t*>(L"x"), 0, SkinZipFileKind), SkinZipBadArgument);
    // A read-only pipe end cannot be written.
    HANDLE r = nullptr, pw = nullptr;
    ASSERT_TRUE(CreatePipe(&r, &pw, nullptr, 0));
    CWinHandle pr(r), pwh(pw);
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, pr.Get(), 0, SkinZipHandleKind), SkinZipWriteFailed);
}

TEST(SkinZip, NeverWritesOutsideTheBaseFolder) {
    kit::TempDir dir;
    const std::wstring work = dir.File(L"work");
    ASSERT_TRUE(CreateDirectoryW(work.c_str(), nullptr));
    CurrentDirScope cwd(work);
    kit::ZipWriter w;
    w.Add("f.txt", "payload");
    w.AddDirectory("../escape/");
    w.AddDirectory("..\\escape2\\");
    w.AddDirectory("a/../../escape3/");
    w.AddDirectory("/rooted/");
    w.AddDirectory("C:\\drive\\");
    w.AddDirectory("ok/..x/");
    w.AddDirectory(std::string(270, 'd') + "/");
    const std::string bytes = w.Build();
    ZipPtr zip = OpenMemory(bytes);
    ASSERT_NE(zip, nullptr);

    // A target whose folder climbs out: no folder is made, so the file cannot be created.
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, const_cast<wchar_t*>(L"..\\evil\\f.txt"), 0, SkinZipFileKind),
              SkinZipOpenFailed);
    EXPECT_FALSE(DirectoryExists(dir.File(L"evil")));
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, const_cast<wchar_t*>(L"sub/../../evil2/f.txt"), 0, SkinZipFileKind),
              SkinZipOpenFailed);
    EXPECT_FALSE(DirectoryExists(dir.File(L"evil2")));
    EXPECT_FALSE(DirectoryExists(work + L"\\sub"));

    // Directory entries that climb out, are rooted or name a drive are refused.
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(ExtractSkinZipEntry(zip.get(), i, const_cast<wchar_t*>(L"x"), 0, SkinZipFileKind), SkinZipOpenFailed)
            << i;
    EXPECT_FALSE(DirectoryExists(dir.File(L"escape")));
    EXPECT_FALSE(DirectoryExists(dir.File(L"escape2")));
    EXPECT_FALSE(DirectoryExists(dir.File(L"escape3")));
    EXPECT_FALSE(DirectoryExists(work + L"\\a"));
    // A name that merely contains two dots is an ordinary folder.
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 6, const_cast<wchar_t*>(L"x"), 0, SkinZipFileKind), 0u);
    EXPECT_TRUE(DirectoryExists(work + L"\\ok\\..x"));

    // Paths of 260 units or more are refused.
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 7, const_cast<wchar_t*>(L"x"), 0, SkinZipFileKind), SkinZipOpenFailed);
    std::wstring longTarget = std::wstring(300, L'n') + L"\\f.txt";
    EXPECT_EQ(ExtractSkinZipEntry(zip.get(), 0, const_cast<wchar_t*>(longTarget.c_str()), 0, SkinZipFileKind),
              SkinZipOpenFailed);
}

TEST(SkinZipSource, MemorySeeksStayInsideTheBlock) {
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
}

TEST(SkinZipSource, HandleSourcesSeekRelativeToTheirStart) {
    kit::TempDir dir;
    const std::wstring path = dir.File(L"bytes.bin");
    ASSERT_TRUE(kit::WriteBytesToFile(path, "abcdefghij"));
    CWinHandle h(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(h);
    LARGE_INTEGER move{};
    move.QuadPart = 3;
    SetFilePointerEx(h.Get(), move, nullptr, FILE_BEGIN);
    SkinZipSource src;
    ASSERT_EQ(src.Open(h.Get(), 0, SkinZipHandleKind), 0u);
    EXPECT_EQ(src.Tell(), 0);
    char buf[4] = {};
    EXPECT_EQ(src.Read(buf, 1, 2), 2u);
    EXPECT_EQ(std::string(buf, 2), "de");
    EXPECT_EQ(src.Seek(4, 0), 0);
    EXPECT_EQ(src.Read(buf, 1, 1), 1u);
    EXPECT_EQ(buf[0], 'h');
    EXPECT_EQ(src.Seek(-1, 2), 0);
    EXPECT_EQ(src.Tell(), 6);
    EXPECT_EQ(src.Seek(0, 5), 19);

    HANDLE r = nullptr, w = nullptr;
    ASSERT_TRUE(CreatePipe(&r, &w, nullptr, 0));
    CWinHandle pr(r), pw(w);
    SkinZipSource pipe;
    ASSERT_EQ(pipe.Open(pr.Get(), 0, SkinZipHandleKind), 0u);
    EXPECT_EQ(pipe.Seek(0, 0), 29);
    EXPECT_EQ(pipe.Tell(), 0);
    EXPECT_EQ(pipe.Open(nullptr, 0, SkinZipHandleKind), SkinZipDuplicateFailed);
}

TEST(SkinZip, CorruptedArchivesNeverCrash) {
    kit::ZipWriter w;
    w.Add("skin/a.xml", SampleText(3000, 1));
    w.Add("skin/b.png", SampleText(500, 2), false);
    w.AddDirectory("skin/");
    w.Add("c.txt", "tiny").localExtra = kit::ZipWriter::ExtendedTimestamp(7, {1, 2, 3});
    const std::string sample = w.Build();

    const uint32_t seed = kit::FuzzSeed();
    SCOPED_TRACE(kit::SeedNote(seed));
    kit::Fuzz fuzz(seed);
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
