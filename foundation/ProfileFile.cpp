#include "foundation/ProfileFile.h"

#include "foundation/LockedFile.h"
#include "foundation/StringUtil.h"

#include <windows.h>

#include <cwctype>

namespace {

// Blanks as the profile functions skip them around names.
bool IsBlank(wchar_t c)
{
    return std::iswspace(c) || c == 0x1A;
}

std::wstring Trimmed(const std::wstring& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// Names compare as the profile functions compare them: without case.
bool SameName(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// A section header: '[' first (after blanks) and a ']' later; the name lies between it and the last ']'.
bool SectionHeader(const std::wstring& text, std::wstring* name = nullptr)
{
    size_t begin = 0;
    while (begin < text.size() && IsBlank(text[begin]))
        ++begin;
    if (begin == text.size() || text[begin] != L'[')
        return false;
    const size_t close = text.rfind(L']');
    if (close == std::wstring::npos || close <= begin)
        return false;
    if (name)
        *name = Trimmed(text.substr(begin + 1, close - begin - 1));
    return true;
}

// A key line's name: the text before the first '=' (the whole line without one); false for a blank line.
bool KeyName(const std::wstring& text, std::wstring& name)
{
    name = Trimmed(text.substr(0, text.find(L'=')));
    return !Trimmed(text).empty();
}

UINT CodePageOf(bool utf8)
{
    return utf8 ? CP_UTF8 : CP_ACP;
}

}  // namespace

bool ProfileFile::Write(const std::wstring& path, const std::vector<Entry>& entries)
{
    bool unchanged = false;
    const bool written = LockedFile::Update(path, [&](std::string& bytes) {
        ProfileFile file(bytes);
        for (const Entry& entry : entries)
            file.Set(entry.section, entry.key, entry.value);
        std::string changed = file.Bytes();
        // A file that holds the values already is left alone, as the profile functions leave it.
        unchanged = changed == bytes;
        bytes.swap(changed);
        return !unchanged;
    });
    return written || unchanged;
}

ProfileFile::ProfileFile(const std::string& bytes)
{
    const auto starts = [&bytes](const char* mark) { return bytes.compare(0, std::char_traits<char>::length(mark), mark) == 0; };
    if (starts("\xFF\xFE"))
        encoding_ = Encoding::Utf16LE, bom_ = "\xFF\xFE";
    else if (starts("\xFE\xFF"))
        encoding_ = Encoding::Utf16BE, bom_ = "\xFE\xFF";
    else if (starts("\xEF\xBB\xBF"))
        encoding_ = Encoding::Utf8, bom_ = "\xEF\xBB\xBF";
    Split(bytes.substr(bom_.size()));
}

void ProfileFile::Split(const std::string& file)
{
    const bool wide = encoding_ == Encoding::Utf16LE || encoding_ == Encoding::Utf16BE;
    const size_t unit = wide ? 2 : 1;
    // An odd last byte of a UTF-16 file is read by the profile functions as a character with a
    // zero byte beside it: it is kept so, made whole.
    const std::string body = wide && file.size() % 2 != 0 ? file + '\0' : file;
    const size_t units = body.size() / unit;
    const auto at = [&](size_t i) -> wchar_t {
        if (!wide)
            return static_cast<wchar_t>(static_cast<unsigned char>(body[i]));
        const auto lo = static_cast<unsigned char>(body[2 * i + (encoding_ == Encoding::Utf16LE ? 0 : 1)]);
        const auto hi = static_cast<unsigned char>(body[2 * i + (encoding_ == Encoding::Utf16LE ? 1 : 0)]);
        return static_cast<wchar_t>(lo | (hi << 8));
    };
    // A line ends at CR or LF, as the profile functions split lines; CR LF is one line break.
    size_t pos = 0;
    while (pos < units) {
        size_t end = pos;
        while (end < units && at(end) != L'\r' && at(end) != L'\n')
            ++end;
        Line line;
        size_t next = end;
        if (end < units) {
            const bool crlf = at(end) == L'\r' && end + 1 < units && at(end + 1) == L'\n';
            next = end + (crlf ? 2 : 1);
            line.ending = crlf ? L"\r\n" : std::wstring(1, at(end));
        }
        line.raw = body.substr(pos * unit, (next - pos) * unit);
        line.text = Decode(body.substr(pos * unit, (end - pos) * unit));
        lines_.push_back(std::move(line));
        pos = next;
    }
}

std::wstring ProfileFile::Decode(const std::string& bytes) const
{
    if (encoding_ == Encoding::Utf16LE || encoding_ == Encoding::Utf16BE)
        return Utf16BytesToWide(bytes, encoding_ == Encoding::Utf16BE);
    return CodePageToWide(CodePageOf(encoding_ == Encoding::Utf8), bytes);
}

std::string ProfileFile::Encode(const std::wstring& text) const
{
    if (encoding_ == Encoding::Utf16LE || encoding_ == Encoding::Utf16BE)
        return WideToUtf16Bytes(text, encoding_ == Encoding::Utf16BE);
    return WideToCodePage(CodePageOf(encoding_ == Encoding::Utf8), text);
}

void ProfileFile::ToUtf16()
{
    encoding_ = Encoding::Utf16LE;
    bom_ = "\xFF\xFE";
    for (Line& line : lines_)
        line.raw = Encode(line.text + line.ending);
}

std::wstring ProfileFile::EndingAfter(size_t index) const
{
    // The line break of the line before, so that a file keeps its one kind of line breaks.
    if (index > 0 && index <= lines_.size() && !lines_[index - 1].ending.empty())
        return lines_[index - 1].ending;
    return L"\r\n";
}

void ProfileFile::PutLine(size_t index, bool insert, const std::wstring& text, std::wstring ending)
{
    // A text that the file's code page cannot hold whole makes it UTF-16 first.
    if (Decode(Encode(text)) != text)
        ToUtf16();
    Line line;
    line.text = text;
    line.ending = std::move(ending);
    line.raw = Encode(line.text + line.ending);
    if (insert) {
        // The line before the new one gets a line break when it had none (the file's last line).
        if (index > 0 && lines_[index - 1].ending.empty()) {
            lines_[index - 1].ending = line.ending;
            lines_[index - 1].raw += Encode(line.ending);
        }
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
    } else {
        lines_[index] = std::move(line);
    }
}

void ProfileFile::Set(std::wstring section, std::wstring key, std::wstring value)
{
    StripLineBreaks(section);
    StripLineBreaks(key);
    StripLineBreaks(value);
    section = Trimmed(section);
    key = Trimmed(key);
    if (key.empty())
        return;  // no name the profile functions could find again

    // 1. The first section of that name; none: a new one at the end.
    size_t header = 0;
    std::wstring name;
    while (header < lines_.size() && !(SectionHeader(lines_[header].text, &name) && SameName(name, section)))
        ++header;
    if (header == lines_.size()) {
        const std::wstring ending = EndingAfter(lines_.size());
        PutLine(lines_.size(), true, L"[" + section + L"]", ending);
        PutLine(lines_.size(), true, key + L"=" + value, ending);
        return;
    }

    // 2. Its first line of that key takes the value, under the name as the file spells it.
    size_t last = header;
    for (size_t i = header + 1; i < lines_.size() && !SectionHeader(lines_[i].text); ++i) {
        if (!KeyName(lines_[i].text, name))
            continue;
        if (SameName(name, key)) {
            PutLine(i, false, name + L"=" + value, lines_[i].ending);
            return;
        }
        last = i;
    }

    // 3. A new key after the section's last line.
    PutLine(last + 1, true, key + L"=" + value, EndingAfter(last + 1));
}

std::string ProfileFile::Bytes() const
{
    std::string bytes = bom_;
    for (const Line& line : lines_)
        bytes += line.raw;
    return bytes;
}
