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

// The profile functions' own reading of a key (first line of the key, quotes removed), so that
// a damaged file gives the buttons exactly what the system's INI reading gives.
std::wstring ReadValue(const wchar_t* path, const wchar_t* section, const wchar_t* key)
{
    wchar_t buffer[kValueChars] = {};
    const DWORD n = ::GetPrivateProfileStringW(section, key, L"", buffer, kValueChars, path);
    return std::wstring(buffer, n);
}

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
        for (const ButtonKey& rule : kButtonKeys) {
            const std::wstring value = ReadValue(path, name, rule.key);
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
