#include "standins/activex/ControlLog.h"

#include <cstdarg>
#include <cwchar>

namespace testax {

long g_objects = 0;
long g_references = 0;

namespace {

std::wstring& Lines()
{
    static std::wstring lines;
    return lines;
}

} // namespace

void Log(const wchar_t* format, ...)
{
    wchar_t line[256] = {};
    va_list args;
    va_start(args, format);
    std::vswprintf(line, 256, format, args);
    va_end(args);
    Lines() += line;
    Lines() += L'\n';
}

} // namespace testax

extern "C" __declspec(dllexport) const wchar_t* TestActiveXLog()
{
    static std::wstring copy;
    copy = testax::Lines();
    return copy.c_str();
}

extern "C" __declspec(dllexport) void TestActiveXClearLog()
{
    testax::Lines().clear();
}

extern "C" __declspec(dllexport) long TestActiveXObjects() { return testax::g_objects; }
extern "C" __declspec(dllexport) long TestActiveXReferences() { return testax::g_references; }
extern "C" __declspec(dllexport) long TestActiveXHostReferences() { return testax::HostReferences(); }
