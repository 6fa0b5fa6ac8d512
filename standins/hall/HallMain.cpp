// Stand-in for the platform's hall program "Ombrel.exe": it appends its command line (UTF-8, one
// line) to "hall-command.txt" beside itself and exits with code 0.

#include <windows.h>

#include <string>

#include "foundation/Folders.h"
#include "foundation/UniqueHandle.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    const std::wstring folder = ModuleFolder();

    const wchar_t* line = ::GetCommandLineW();
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    std::string text(bytes > 0 ? static_cast<size_t>(bytes) : 1, '\0');
    if (bytes > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, line, -1, text.data(), bytes, nullptr, nullptr);
    text.back() = '\n';

    mjz::UniqueHandle file(::CreateFileW((folder + L"hall-command.txt").c_str(), FILE_APPEND_DATA,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file)
        ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return 0;
}
