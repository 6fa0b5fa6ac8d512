#include "foundation/IniStore.h"

#include "foundation/FileLock.h"
#include "foundation/StringUtil.h"
#include "foundation/UniqueHandle.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string_view>
#include <vector>

namespace {

// Larger files are not INI files this program writes; refusing them keeps a
// 32-bit process from running out of address space on a corrupt file.
constexpr LONGLONG kMaxFileBytes = 64LL * 1024 * 1024;
constexpr UINT kLegacyCodePage = 936;
constexpr wchar_t kBlanks[] = L" \t";

std::wstring Lower(std::wstring s)
{
    if (!s.empty())
        ::CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

std::wstring Trimmed(std::wstring_view text)
{
    std::wstring s(text);
    WStringTrimLeft(s, kBlanks);
    WStringTrimRight(s, kBlanks);
    return s;
}

std::wstring Decode(const std::vector<unsigned char>& bytes)
{
    const unsigned char* p = bytes.data();
    size_t n = bytes.size();
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        // UTF-16LE; an odd last byte is a cut character and is dropped.
        std::wstring text((n - 2) / 2, L'\0');
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<wchar_t>(p[2 + 2 * i] | (p[3 + 2 * i] << 8));
        return text;
    }
    UINT codePage = kLegacyCodePage;
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
        codePage = CP_UTF8;
        p += 3;
        n -= 3;
    }
    if (n == 0)
        return {};
    const int len = static_cast<int>(n);
    const char* src = reinterpret_cast<const char*>(p);
    const int size = ::MultiByteToWideChar(codePage, 0, src, len, nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring text(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(codePage, 0, src, len, text.data(), size);
    return text;
}

// Reads the whole file. Missing: true with no bytes; unreadable: false.
bool ReadAll(const std::wstring& path, std::vector<unsigned char>& bytes)
{
    bytes.clear();
    mjz::UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD err = ::GetLastError();
        return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxFileBytes)
        return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr))
            return false;
        if (got == 0)
            break;  // the file shrank meanwhile
        done += got;
    }
    bytes.resize(done);
    return true;
}

bool WriteAll(HANDLE file, const void* data, size_t size)
{
    const auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        DWORD written = 0;
        if (!::WriteFile(file, p, static_cast<DWORD>(size), &written, nullptr) || written == 0)
            return false;
        p += written;
        size -= written;
    }
    return true;
}

// One line of the file text would break the file's structure if it held a line break.
std::wstring OneLine(const wchar_t* text)
{
    std::wstring s = text ? text : L"";
    StripLineBreaks(s);
    return s;
}

// Section and key names as the file gives them back: one line, no outer
// blanks, lower case.
std::wstring NamePart(const wchar_t* text)
{
    return Lower(Trimmed(OneLine(text)));
}

// A temporary beside the file that no other save (of this or another process) uses.
mjz::UniqueHandle CreateUniqueTemp(const std::wstring& path, std::wstring& temp)
{
    static LONG counter = 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        wchar_t suffix[48];
        std::swprintf(suffix, 48, L".%lu-%ld.tmp", ::GetCurrentProcessId(), ::InterlockedIncrement(&counter));
        temp = path + suffix;
        mjz::UniqueHandle file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || ::GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return mjz::UniqueHandle();
}

}  // namespace

IniStore::Name IniStore::MakeName(const wchar_t* section, const wchar_t* key)
{
    return Name(NamePart(section), NamePart(key));
}

void IniStore::Store(const wchar_t* section, const wchar_t* key, std::wstring value, bool replace)
{
    if (replace)
        values_[MakeName(section, key)] = std::move(value);
    else
        values_.emplace(MakeName(section, key), std::move(value));
}

bool IniStore::Load(const std::wstring& path)
{
    path_ = path;
    values_.clear();
    unwritten_.clear();
    std::vector<unsigned char> bytes;
    {
        // Not in the middle of another process's replacement.
        FileLock lock(path);
        writable_ = ReadAll(path, bytes);
    }
    if (!writable_)
        return false;
    Parse(Decode(bytes));
    return true;
}

void IniStore::Parse(const std::wstring& text)
{
    std::wstring section;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of(L"\r\n", pos);
        if (end == std::wstring::npos)
            end = text.size();
        const std::wstring line = Trimmed(std::wstring_view(text).substr(pos, end - pos));
        pos = end + 1;

        if (line.empty() || line[0] == L';')
            continue;
        if (line[0] == L'[') {
            const size_t close = line.find(L']');
            if (close != std::wstring::npos)
                section = Trimmed(std::wstring_view(line).substr(1, close - 1));
            continue;
        }
        const size_t eq = line.find(L'=');
        if (eq == std::wstring::npos)
            continue;
        // Everything after the first '=' is the value, '=' and ';' included.
        const std::wstring key = Trimmed(std::wstring_view(line).substr(0, eq));
        if (key.empty())
            continue;
        // The first occurrence of a key wins.
        Store(section.c_str(), key.c_str(), Trimmed(std::wstring_view(line).substr(eq + 1)), false);
    }
}

bool IniStore::GetInt(const wchar_t* section, const wchar_t* key, int& out) const
{
    const auto it = values_.find(MakeName(section, key));
    if (it == values_.end() || it->second.empty())
        return false;
    out = static_cast<int>(std::wcstol(it->second.c_str(), nullptr, 10));
    return true;
}

int IniStore::GetString(const wchar_t* section, const wchar_t* key, wchar_t* buf, int size) const
{
    if (!buf || size <= 0)
        return 0;
    buf[0] = L'\0';
    const auto it = values_.find(MakeName(section, key));
    if (it == values_.end())
        return 0;
    const std::wstring& value = it->second;
    const int n = static_cast<int>(std::min<size_t>(value.size(), static_cast<size_t>(size - 1)));
    std::wmemcpy(buf, value.data(), static_cast<size_t>(n));
    buf[n] = L'\0';
    return n;
}

bool IniStore::SetString(const wchar_t* section, const wchar_t* key, const wchar_t* value)
{
    return Update([&](IniStore& store) { store.Put(section, key, value); });
}

void IniStore::Put(const wchar_t* section, const wchar_t* key, const wchar_t* value)
{
    // Kept as the file will give it back: one line, no outer blanks.
    Change change{section ? section : L"", key ? key : L"", Trimmed(OneLine(value))};
    Store(change.section.c_str(), change.key.c_str(), change.value, true);
    unwritten_.push_back(std::move(change));
}

bool IniStore::Update(const std::function<void(IniStore&)>& change)
{
    // 1. A store whose file could not be read refuses every write until a Load succeeds: what
    //    it holds is not what the file holds.
    if (path_.empty() || !writable_) {
        change(*this);
        return false;
    }
    // 2. Under the lock of all processes: what the file holds now, with the changes of this
    //    store not written yet, then the new change.
    FileLock lock(path_);
    std::vector<unsigned char> bytes;
    const bool fresh = lock.Held() && ReadAll(path_, bytes);
    if (fresh) {
        values_.clear();
        Parse(Decode(bytes));
        for (const Change& old : unwritten_)
            Store(old.section.c_str(), old.key.c_str(), old.value, true);
    }
    change(*this);
    if (!fresh)
        return false;
    // 3. One write; what it wrote is no longer pending.
    if (!Save())
        return false;
    unwritten_.clear();
    return true;
}

bool IniStore::SetInt(const wchar_t* section, const wchar_t* key, int value)
{
    return SetString(section, key, std::to_wstring(value).c_str());
}

bool IniStore::Save() const
{
    if (path_.empty() || !writable_)
        return false;

    // 1. The file text: sections in order, each with its keys.
    std::map<std::wstring, std::wstring> sections;  // section -> its lines
    for (const auto& [name, value] : values_)
        sections[name.first] += name.second + L"=" + value + L"\r\n";
    std::wstring text;
    for (const auto& [section, lines] : sections) {
        if (!text.empty())
            text += L"\r\n";
        text += L"[" + section + L"]\r\n" + lines;
    }

    // 2. Write it as UTF-16LE with a byte-order mark to a temporary beside the
    //    file, flushed to disk, so that a failure leaves the original untouched.
    std::wstring temp;
    {
        mjz::UniqueHandle file = CreateUniqueTemp(path_, temp);
        if (!file)
            return false;
        static const unsigned char bom[2] = {0xFF, 0xFE};
        const bool written = WriteAll(file.Get(), bom, sizeof bom) &&
                             WriteAll(file.Get(), text.data(), text.size() * sizeof(wchar_t)) &&
                             ::FlushFileBuffers(file.Get());
        if (!written) {
            file.Reset();
            ::DeleteFileW(temp.c_str());
            return false;
        }
    }

    // 3. Replace the original in one step.
    if (!::MoveFileExW(temp.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}
