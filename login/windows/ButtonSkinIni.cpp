#include "login/windows/ButtonSkinIni.h"

#include <windows.h>
#include <shlwapi.h>

#include <cwchar>
#include <stdexcept>
#include <utility>

#include "foundation/StringUtil.h"
#include "foundation/TraceLog.h"

namespace {

constexpr DWORD kSectionNamesChars = 1000;
constexpr DWORD kValueChars = 260;

// The first `count` comma-separated numbers of the value; pieces that are missing count as 0.
// Throws std::out_of_range for a number that does not fit a long.
std::vector<long> ReadNumbers(const std::wstring& value, size_t count)
{
    const std::vector<std::wstring> pieces = SplitString(value, L',');
    std::vector<long> numbers(count, 0);
    for (size_t i = 0; i < count && i < pieces.size(); ++i)
        numbers[i] = WStringToLong(pieces[i]);
    return numbers;
}

RECT ReadRect(const std::wstring& value)
{
    const std::vector<long> n = ReadNumbers(value, 4);
    return RECT{n[0], n[1], n[2], n[3]};
}

// How one key of a button section sets its field.
struct ButtonKey {
    const wchar_t* key;
    void (*apply)(FrameButton& button, const std::wstring& value, const std::wstring& directory);
};

template <UINT State>
void SetImage(FrameButton& button, const std::wstring& value, const std::wstring& directory)
{
    button.image[State] = directory + value;
}

template <UINT State>
void SetSource(FrameButton& button, const std::wstring& value, const std::wstring&)
{
    button.source[State] = ReadRect(value);
}

const ButtonKey kButtonKeys[] = {
    {L"Pos",
     [](FrameButton& b, const std::wstring& v, const std::wstring&) {
         const std::vector<long> n = ReadNumbers(v, 2);
         b.x = n[0];
         b.y = n[1];
     }},
    {L"NormalImage", SetImage<FrameButton::kNormal>},
    {L"NormalImageSource", SetSource<FrameButton::kNormal>},
    {L"HotImage", SetImage<FrameButton::kHot>},
    {L"HotImageSource", SetSource<FrameButton::kHot>},
    {L"PushedImage", SetImage<FrameButton::kPushed>},
    {L"PushedImageSource", SetSource<FrameButton::kPushed>},
    {L"ToolTip", [](FrameButton& b, const std::wstring& v, const std::wstring&) { b.toolTip = v; }},
};

bool IsButtonSection(const std::wstring& name)
{
    return name == L"MinSize" || name == L"Close";
}

// One section's keys and values, read from the file at once: every profile call opens and
// checks the file again, which costs more than the whole section's text.
class SectionValues {
public:
    SectionValues(const wchar_t* path, const wchar_t* section)
    {
        // A full buffer may have cut the section: read again with a larger one.
        std::vector<wchar_t> text(4096);
        DWORD length = 0;
        while ((length = ::GetPrivateProfileSectionW(section, text.data(), static_cast<DWORD>(text.size()), path))
                   == text.size() - 2 && text.size() < kMaxSectionChars)
            text.resize(text.size() * 2);
        // Lines "key=value", each ending in a zero.
        for (const wchar_t* line = text.data(); line < text.data() + length && *line != L'\0'; line += wcslen(line) + 1) {
            const wchar_t* equals = wcschr(line, L'=');
            if (equals != nullptr)
                lines_.emplace_back(Trimmed(std::wstring(line, equals)), Trimmed(equals + 1));
        }
    }

    // What GetPrivateProfileStringW gives for the key: the value of its first line (keys compare
    // without case), without the quotes around it, at most kValueChars - 1 characters; empty when
    // the key is missing.
    std::wstring Get(const wchar_t* key) const
    {
        for (const auto& [name, value] : lines_) {
            if (_wcsicmp(name.c_str(), key) != 0) continue;
            std::wstring result = value;
            if (result.size() >= 2 && (result.front() == L'"' || result.front() == L'\'') && result.back() == result.front())
                result = result.substr(1, result.size() - 2);
            return result.substr(0, kValueChars - 1);
        }
        return std::wstring();
    }

private:
    static constexpr size_t kMaxSectionChars = 32767;

    static std::wstring Trimmed(std::wstring text)
    {
        WStringTrimLeft(text, L" \t");
        WStringTrimRight(text, L" \t");
        return text;
    }

    std::vector<std::pair<std::wstring, std::wstring>> lines_;
};

} // namespace

std::vector<std::unique_ptr<FrameButton>> LoadButtonSkinIni(const std::wstring& directory)
{
    std::vector<std::unique_ptr<FrameButton>> buttons;
    wchar_t path[MAX_PATH] = {};
    if (::PathCombineW(path, directory.c_str(), L"skin\\Button.ini") == nullptr || !::PathFileExistsW(path))
        return buttons;

    // Section names come as a list of zero-terminated texts ending in an empty one.
    wchar_t names[kSectionNamesChars] = {};
    const DWORD length = ::GetPrivateProfileSectionNamesW(names, kSectionNamesChars, path);
    for (const wchar_t* name = names; name < names + length && *name != L'\0'; name += wcslen(name) + 1) {
        if (!IsButtonSection(name)) continue;
        auto button = std::make_unique<FrameButton>();
        button->name = name;
        const SectionValues section(path, name);
        for (const ButtonKey& rule : kButtonKeys) {
            const std::wstring value = section.Get(rule.key);
            if (value.empty()) continue;
            try {
                rule.apply(*button, value, directory);
            } catch (const std::out_of_range&) {
                // The skin's number does not fit: the field keeps what it had.
                if (IsTraceViewerPresent())
                    TraceLog(L"LoadButtonSkinIni() [%s] %s=%s: number out of range", name, rule.key,
                             value.c_str());
            }
        }
        buttons.push_back(std::move(button));
    }
    return buttons;
}
