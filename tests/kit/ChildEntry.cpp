#include "kit/ChildEntry.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <utility>

namespace kit {

namespace {

constexpr wchar_t kSwitch[] = L"--child-entry=";

std::vector<std::pair<std::wstring, ChildEntry::Main>>& Entries()
{
    static std::vector<std::pair<std::wstring, ChildEntry::Main>> entries;
    return entries;
}

// One argument as CommandLineToArgvW reads it back whatever it holds: quoted, with the
// backslashes before a quote (the closing one too) doubled and the inner quotes escaped.
std::wstring Quoted(const std::wstring& arg)
{
    std::wstring out = L"\"";
    size_t slashes = 0;
    for (wchar_t ch : arg) {
        if (ch == L'\\') {
            ++slashes;
            continue;
        }
        out.append(ch == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        out += ch;
        slashes = 0;
    }
    out.append(slashes * 2, L'\\');
    return out + L"\"";
}

struct LocalFreeDeleter {
    void operator()(LPWSTR* argv) const { ::LocalFree(argv); }
};

} // namespace

ChildEntry::ChildEntry(const wchar_t* name, Main main)
{
    Entries().emplace_back(name, main);
}

std::wstring ChildEntry::Program()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring ChildEntry::Arguments(const wchar_t* name, const ChildArgs& args)
{
    std::wstring line = kSwitch;
    line += name;
    for (const std::wstring& arg : args)
        line += L" " + Quoted(arg);
    return line;
}

std::optional<int> ChildEntry::RunNamed()
{
    int argc = 0;
    const std::unique_ptr<LPWSTR, LocalFreeDeleter> argv(::CommandLineToArgvW(::GetCommandLineW(), &argc));
    const size_t length = std::wcslen(kSwitch);
    if (!argv || argc < 2 || std::wcsncmp(argv.get()[1], kSwitch, length) != 0)
        return std::nullopt;
    const std::wstring name = argv.get()[1] + length;
    for (const auto& [entry, main] : Entries())
        if (entry == name)
            return main(ChildArgs(argv.get() + 2, argv.get() + argc));
    std::fwprintf(stderr, L"no child entry \"%ls\" in this program\n", name.c_str());
    return 2;
}

} // namespace kit
