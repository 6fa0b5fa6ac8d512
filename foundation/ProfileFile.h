#pragma once

#include <string>
#include <vector>

// An INI file that the program reads with the system's profile functions
// (GetPrivateProfileStringW and its kin), changed as WritePrivateProfileStringW would change it
// but as one step among all processes (LockedFile): under the file's lock it is read again, the
// keys are set, and the result replaces the file through a temporary beside it. A kill leaves the
// old file or the new one, and two processes never lose each other's keys.
//
// The file stays as the profile functions know it: its encoding (a byte-order mark for UTF-16 or
// UTF-8, else the ANSI code page), every other line byte for byte (the odd last byte of a cut
// UTF-16 file made a whole character), the spelling of existing section and key names. A key is
// found as the profile functions find it: in the first section of that name, the first line whose
// name before '=' matches, both without case and outer blanks. A new key goes after the last line
// of its section, a new section at the end. A value that the ANSI code page cannot hold turns the
// file into UTF-16LE with a byte-order mark, which the profile functions read as well, rather than
// losing characters.
class ProfileFile {
public:
    struct Entry {
        std::wstring section;
        std::wstring key;
        std::wstring value;
    };

    // Sets the keys, in order, as one locked read-modify-write. True when the file holds them
    // afterwards; false when the file could not be read or replaced (it is then as it was).
    static bool Write(const std::wstring& path, const std::vector<Entry>& entries);

    // The file's text, from its bytes.
    explicit ProfileFile(const std::string& bytes);
    // Sets one key (line breaks in any part are dropped: they would break the file's lines).
    void Set(std::wstring section, std::wstring key, std::wstring value);
    std::string Bytes() const;

private:
    enum class Encoding { Ansi, Utf8, Utf16LE, Utf16BE };
    struct Line {
        std::string raw;     // the line's bytes as in the file, line break included
        std::wstring text;   // the line without its line break
        std::wstring ending; // its line break: none, "\n", "\r\n" or "\r"
    };

    void Split(const std::string& body);
    std::string Encode(const std::wstring& text) const;
    std::wstring Decode(const std::string& bytes) const;
    // The line break for a line inserted at `index`.
    std::wstring EndingAfter(size_t index) const;
    // Replaces or inserts a line with the text, keeping the encoding whole.
    void PutLine(size_t index, bool insert, const std::wstring& text, std::wstring ending);
    void ToUtf16();

    Encoding encoding_ = Encoding::Ansi;
    std::string bom_;
    std::vector<Line> lines_;
};
