#include "foundation/IniStore.h"

#include "foundation/LockedFile.h"
#include "foundation/StringUtil.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string_view>
#include <vector>

namespace {

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

std::wstring Decode(const std::string& bytes)
{
    // UTF-16LE; an odd last byte is a cut character and is dropped.
    if (bytes.compare(0, 2, "\xFF\xFE") == 0)
        return Utf16BytesToWide(bytes.substr(2));
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return CodePageToWide(CP_UTF8, bytes.substr(3));
    return CodePageToWide(kLegacyCodePage, bytes);
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
    std::string bytes;
    // Replacements are moves in one step: no lock is needed to read a whole file.
    writable_ = LockedFile::Read(path, bytes);
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
    //    store not written yet, then the new change, written once.
    bool changed = false;
    const bool written = LockedFile::Update(path_, [&](std::string& bytes) {
        values_.clear();
        Parse(Decode(bytes));
        for (const Change& old : unwritten_)
            Store(old.section.c_str(), old.key.c_str(), old.value, true);
        change(*this);
        changed = true;
        bytes = Encoded();
        return true;
    });
    if (!changed)
        change(*this);
    // 3. What was written is no longer pending; what was not goes with the next write.
    if (written)
        unwritten_.clear();
    return written;
}

bool IniStore::SetInt(const wchar_t* section, const wchar_t* key, int value)
{
    return SetString(section, key, std::to_wstring(value).c_str());
}

std::string IniStore::Encoded() const
{
    // The file text: sections in order, each with its keys.
    std::map<std::wstring, std::wstring> sections;  // section -> its lines
    for (const auto& [name, value] : values_)
        sections[name.first] += name.second + L"=" + value + L"\r\n";
    std::wstring text;
    for (const auto& [section, lines] : sections) {
        if (!text.empty())
            text += L"\r\n";
        text += L"[" + section + L"]\r\n" + lines;
    }
    // UTF-16LE with a byte-order mark.
    return "\xFF\xFE" + WideToUtf16Bytes(text);
}
