#pragma once
// The other half of a two-process test: the test program started again to run one of its
// registered entries instead of its tests. The test programs' main (tests/TestMain.cpp) runs the
// entry that the first argument names with the arguments after it; the entry's result is the
// process's exit code.
//
//   int Writer(const kit::ChildArgs& args) { ...; return 0; }
//   const kit::ChildEntry writer(L"ini-writer", &Writer);      // at namespace scope
//   LauncherProcess child(kit::ChildEntry::Arguments(L"ini-writer", {L"x", path}), kit::ChildEntry::Program());
#include <optional>
#include <string>
#include <vector>

namespace kit {

using ChildArgs = std::vector<std::wstring>;

class ChildEntry {
public:
    using Main = int (*)(const ChildArgs& args);

    // Registers the entry for the whole run of the program.
    ChildEntry(const wchar_t* name, Main main);
    ChildEntry(const ChildEntry&) = delete;
    ChildEntry& operator=(const ChildEntry&) = delete;

    // This program's path.
    static std::wstring Program();
    // The arguments that start this program as the named entry with these arguments.
    static std::wstring Arguments(const wchar_t* name, const ChildArgs& args);
    // When this process's command line names an entry: runs it and gives its exit code.
    static std::optional<int> RunNamed();
};

} // namespace kit
