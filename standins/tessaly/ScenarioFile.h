#pragma once

#include <string>
#include <vector>

namespace tessaly {

// The sections of "scenario.ini", read as editors write such a file today: UTF-16 (little or big
// endian) with its byte-order mark, or UTF-8 with or without one. A file that is not valid UTF-8
// is read in the system's ANSI code page, as the system's profile functions would read it.
// Section names are compared without case; lines keep their order, trimmed of spaces and tabs;
// comment lines (";" or "#") and lines before the first section are left out. A file that
// cannot be read has no sections.
class ScenarioFile {
public:
    struct Section {
        std::wstring name;
        std::vector<std::wstring> lines;
    };

    explicit ScenarioFile(const std::wstring& path);

    const std::vector<Section>& Sections() const { return sections_; }
    // The first section of that name; null when there is none.
    const Section* Find(const wchar_t* name) const;

    // The file's bytes as text, by the rules above.
    static std::wstring Decode(const std::string& bytes);

private:
    void Parse(const std::wstring& text);

    std::vector<Section> sections_;
};

} // namespace tessaly
